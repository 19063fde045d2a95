#include "FMain.h"

#include "ScreenParts.h"
#include "ScreenTexts.h"
#include "WidgetPrompts.h"
#include "startup/MMain.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace brindle {

FMain::FMain(QWidget* parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("VEXO Brindle"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto* header = screenLabel(QStringLiteral("lblHeader"), QStringLiteral("Brindle Information"));
    header->setStyleSheet(QStringLiteral("font-size: 14pt; font-weight: bold;"));

    auto* connect = new QWidget;
    connect->setObjectName(QStringLiteral("picConnect"));
    auto* body = new QVBoxLayout(connect);
    for (const char* text :
         {"This software is used by VEXO accounting software to synchronise VEXO cards with MS "
          "Outlook contacts.",
          "You can only use this software from within your VEXO accounting software.",
          "For more information on how to synchronise VEXO cards with MS Outlook contacts, see "
          "your VEXO user documentation."}) {
        body->addWidget(screenLabel(QStringLiteral("lblBody"), QString::fromLatin1(text)));
    }

    m_lastConnect =
        screenLabel(QStringLiteral("lblLastConnect"), QStringLiteral("Last Connected:"));
    auto* close = new QPushButton(QStringLiteral("&Close"));
    close->setObjectName(QStringLiteral("cmdStart"));
    QObject::connect(close, &QPushButton::clicked, this, &QWidget::close);

    auto* content = new QVBoxLayout;
    content->addWidget(header);
    content->addWidget(connect, 1);
    content->addWidget(m_lastConnect);
    content->addLayout(releaseDetails());
    layoutWithBanner(this, content, footer(QStringLiteral("picFooter"), {close}));

    SetLastConnected();
}

void FMain::SetLastConnected()
{
    if (const auto caption = lastConnectedCaption()) {
        m_lastConnect->setText(*caption);
    }
}

void FMain::closeEvent(QCloseEvent* event)
{
    if (MMain::ExitApplication()) {
        unloadAllForms();
    }
    event->accept();
}

} // namespace brindle
