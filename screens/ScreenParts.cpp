#include "ScreenParts.h"

#include "ScreenTexts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace brindle {

QLabel* screenLabel(const QString& objectName, const QString& text)
{
    auto* label = new QLabel(text);
    label->setObjectName(objectName);
    label->setWordWrap(true);
    return label;
}

QLayout* releaseDetails()
{
    auto* row = new QHBoxLayout;
    row->addWidget(screenLabel(QStringLiteral("lblRelease"), QStringLiteral("Release Details")));
    row->addStretch();
    row->addWidget(screenLabel(QStringLiteral("lblVersion"), versionLabel()));
    return row;
}

QWidget* footer(const QString& objectName, const QList<QPushButton*>& buttons)
{
    auto* panel = new QWidget;
    panel->setObjectName(objectName);
    auto* row = new QHBoxLayout(panel);
    row->addStretch();
    for (QPushButton* button : buttons) {
        row->addWidget(button);
    }
    return panel;
}

void layoutWithBanner(QWidget* screen, QLayout* content, QWidget* footerPanel)
{
    auto* banner = new QLabel;
    banner->setObjectName(QStringLiteral("imgVerticalBanner"));
    banner->setFixedWidth(72);
    banner->setStyleSheet(QStringLiteral(
        "background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #1d4e89, stop:1 #7fb3d5);"));

    auto* top = new QHBoxLayout;
    top->addWidget(banner);
    top->addLayout(content, 1);

    auto* outer = new QVBoxLayout(screen);
    outer->addLayout(top, 1);
    outer->addWidget(footerPanel);
    screen->resize(560, 360);
}

} // namespace brindle
