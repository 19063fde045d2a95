#include "InformationWindow.h"

#include "FMain.h"
#include "ScreenParts.h"
#include "WidgetPrompts.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace brindle {

InformationWindow::InformationWindow(FMain& form, QWidget* parent) : QWidget(parent), m_form(form)
{
    setObjectName(QStringLiteral("FMain"));
    auto [connect, body] = panelWithLayout<QVBoxLayout>(QStringLiteral("picConnect"));
    for (const char* text :
         {"This software is used by VEXO accounting software to synchronise VEXO cards with MS "
          "Outlook contacts.",
          "You can only use this software from within your VEXO accounting software.",
          "For more information on how to synchronise VEXO cards with MS Outlook contacts, see "
          "your VEXO user documentation."}) {
        body->addWidget(screenLabel(QStringLiteral("lblBody"), QString::fromLatin1(text)));
    }
    body->addStretch();

    auto* close = screenButton(QStringLiteral("cmdStart"), QStringLiteral("&Close"));
    QObject::connect(close, &QPushButton::clicked, this, &QWidget::close);

    auto* content = new QVBoxLayout;
    content->addWidget(
        headingLabel(QStringLiteral("lblHeader"), QStringLiteral("Brindle Information")));
    content->addWidget(connect, 1);
    content->addWidget(screenLabel(QStringLiteral("lblLastConnect"), QString()));
    content->addLayout(releaseDetails());
    layoutWithBanner(this, content, footer(QStringLiteral("picFooter"), {close}));
    close->setDefault(true);
    m_form.setRefresh([this] { render(); });
    render();
}

void InformationWindow::render()
{
    setWindowTitle(m_form.caption);
    setLabelText(this, QStringLiteral("lblLastConnect"), m_form.lblLastConnect);
    setLabelText(this, QStringLiteral("lblVersion"), m_form.lblVersion);
    followForm(this, m_form);
}

void InformationWindow::closeEvent(QCloseEvent* event)
{
    if (m_form.Form_QueryUnload()) {
        unloadAllForms();
    }
    event->accept();
}

} // namespace brindle
