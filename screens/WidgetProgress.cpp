#include "WidgetProgress.h"

#include "ScreenParts.h"
#include "startup/MMain.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace brindle {

WidgetProgress::WidgetProgress(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("FProcess"));
    setWindowTitle(QStringLiteral("Brindle - Matching VEXO Cards"));

    m_progressPanel = new QWidget;
    m_progressPanel->setObjectName(QStringLiteral("picProgress"));
    auto* progress = new QVBoxLayout(m_progressPanel);
    m_caption = screenLabel(QStringLiteral("lblProgress"), QString());
    m_bar = new QProgressBar;
    m_bar->setObjectName(QStringLiteral("prgProgress"));
    m_bar->setRange(0, 100);
    progress->addWidget(m_caption);
    progress->addWidget(m_bar);
    progress->addWidget(screenLabel(QStringLiteral("lblWait"), QStringLiteral("Please wait...")));
    progress->addStretch();

    m_vexoWaiting =
        waitingPanel(QStringLiteral("picVEXOWaiting"), QStringLiteral("lblVEXOTitle"),
                     QStringLiteral("VEXO Data Connection"), QStringLiteral("lblVEXOMessage"),
                     QStringLiteral("Connecting to the VEXO Company File... "));
    m_outlookWaiting =
        waitingPanel(QStringLiteral("picOutlookWaiting"), QStringLiteral("lblOutlookWaiting"),
                     QStringLiteral("Outlook Data Connection"), QStringLiteral("lblOutlookMsg"),
                     QStringLiteral("Connecting to the Outlook application..."));
    m_panels = new QStackedWidget;
    for (QWidget* panel : {m_progressPanel, m_vexoWaiting, m_outlookWaiting}) {
        m_panels->addWidget(panel);
    }

    m_cancel = screenButton(QStringLiteral("cmdCancel"), QStringLiteral("Cancel"));
    m_help = screenButton(QStringLiteral("cmdHelp"), QStringLiteral("Help"));
    connect(m_cancel, &QPushButton::clicked, this, [this] {
        if (m_controls) {
            m_controls->cmdCancel_Click();
        }
    });
    connect(m_help, &QPushButton::clicked, this, [this] {
        if (m_controls) {
            m_controls->cmdHelp_Click();
        }
    });

    auto* content = new QVBoxLayout;
    content->addWidget(m_panels, 1);
    layoutWithBanner(this, content, footer(QStringLiteral("picFooter"), {m_cancel, m_help}), 60);
}

QWidget* WidgetProgress::waitingPanel(const QString& name, const QString& titleName,
                                      const QString& title, const QString& messageName,
                                      const QString& message)
{
    auto* panel = new QWidget;
    panel->setObjectName(name);
    panel->setVisible(false);
    auto* layout = new QVBoxLayout(panel);
    layout->addWidget(headingLabel(titleName, title));
    layout->addWidget(screenLabel(messageName, message));
    layout->addStretch();
    return panel;
}

void WidgetProgress::showCurrentPanel()
{
    // A waiting panel covers the progress panel while it is shown.
    if (m_vexoWaiting->property("shown").toBool()) {
        m_panels->setCurrentWidget(m_vexoWaiting);
    } else if (m_outlookWaiting->property("shown").toBool()) {
        m_panels->setCurrentWidget(m_outlookWaiting);
    } else {
        m_panels->setCurrentWidget(m_progressPanel);
    }
}

void WidgetProgress::show(Controls& controls)
{
    m_controls = &controls;
    m_bar->setValue(0);
    m_caption->clear();
    m_vexoWaiting->setProperty("shown", false);
    m_outlookWaiting->setProperty("shown", false);
    showCurrentPanel();
    setButtonsEnabled(true, true);
    QWidget::show();
    raise();
    activateWindow();
    m_cancel->setFocus(Qt::OtherFocusReason);
}

void WidgetProgress::unload()
{
    m_controls = nullptr;
    unsetCursor();
    hide();
}

void WidgetProgress::setCaption(const QString& caption)
{
    m_caption->setText(caption);
}

void WidgetProgress::setValue(double value)
{
    m_bar->setValue(qBound(0, qRound(value), 100));
}

void WidgetProgress::setPanelVisible(Panel panel, bool visible)
{
    QWidget* widget = panel == Panel::VEXOWaiting ? m_vexoWaiting : m_outlookWaiting;
    widget->setProperty("shown", visible);
    showCurrentPanel();
}

void WidgetProgress::setPointer(Pointer pointer)
{
    if (pointer == Pointer::Hourglass) {
        setCursor(Qt::WaitCursor);
    } else {
        unsetCursor();
    }
}

void WidgetProgress::setButtonsEnabled(bool cancel, bool help)
{
    m_cancel->setEnabled(cancel);
    m_help->setEnabled(help);
}

void WidgetProgress::pumpMessages()
{
    QCoreApplication::processEvents();
}

void WidgetProgress::pause(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

void WidgetProgress::keyPressEvent(QKeyEvent* event)
{
    // Escape is the keyboard's way to Cancel.
    if (event->key() == Qt::Key_Escape) {
        m_cancel->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void WidgetProgress::closeEvent(QCloseEvent* event)
{
    // During a run the close box only asks; the run unloads the window.
    if (m_controls && !m_controls->programExiting() && m_controls->closeRequested()) {
        event->ignore();
        return;
    }
    event->accept();
}

} // namespace brindle
