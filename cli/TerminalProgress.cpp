#include "TerminalProgress.h"

#include "Console.h"
#include "Interrupt.h"
#include "TerminalPrompts.h"
#include "startup/TextHelpers.h"

namespace brindle::cli {

namespace {

constexpr int barWidth = 24;

} // namespace

void TerminalProgress::show(Controls& controls)
{
    m_controls = &controls;
    m_caption.clear();
    m_panelMessage[0].clear();
    m_panelMessage[1].clear();
    m_percent = 0;
    m_cancelEnabled = true;
    m_lastLine.clear();
    draw();
}

void TerminalProgress::unload()
{
    m_controls = nullptr;
    if (!m_lastLine.isEmpty()) {
        m_console.err() << "\r\x1b[K";
        m_console.err().flush();
        m_lastLine.clear();
    }
}

void TerminalProgress::setCaption(const QString& caption)
{
    m_caption = caption;
    draw();
}

void TerminalProgress::setValue(double value)
{
    m_percent = qBound(0, qRound(value), 100);
    draw();
}

void TerminalProgress::setPanelVisible(Panel panel, bool visible)
{
    const bool company = panel == Panel::VEXOWaiting;
    m_panelMessage[company ? 0 : 1] =
        !visible  ? QString()
        : company ? QStringLiteral("Connecting to the VEXO Company File...")
                  : QStringLiteral("Connecting to the Outlook application...");
    draw();
}

void TerminalProgress::setButtonsEnabled(bool cancel, bool)
{
    m_cancelEnabled = cancel;
}

void TerminalProgress::pumpMessages()
{
    if (m_controls && m_cancelEnabled && interrupt::takePending()) {
        m_prompts.confirmNextCancel();
        m_controls->cmdCancel_Click();
    }
}

void TerminalProgress::draw()
{
    if (!m_controls || !m_console.interactive()) {
        return;
    }
    const int filled = m_percent * barWidth / 100;
    const QString text = !m_panelMessage[0].isEmpty()   ? m_panelMessage[0]
                         : !m_panelMessage[1].isEmpty() ? m_panelMessage[1]
                                                        : m_caption;
    const QString line =
        QStringLiteral("[%1%2] %3% %4")
            .arg(QString(filled, QLatin1Char('#')), QString(barWidth - filled, QLatin1Char('-')))
            .arg(m_percent, 3)
            .arg(firstCharacters(text, 60));
    if (line == m_lastLine) {
        return;
    }
    m_lastLine = line;
    m_console.err() << "\r\x1b[K" << line;
    m_console.err().flush();
}

} // namespace brindle::cli
