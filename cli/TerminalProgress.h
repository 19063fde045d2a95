#pragma once

#include "startup/RunProgress.h"

namespace brindle::cli {

class Console;
class TerminalPrompts;

// The progress of a run on a terminal: one line on standard error with a
// bar, the percentage and the lblProgress caption (or the waiting panel's
// message). Without a terminal nothing is drawn. A first Ctrl-C reaches the
// run at its next pump as a confirmed Cancel. There is no window to keep
// live, so the pause returns at once.
class TerminalProgress : public RunProgress
{
public:
    TerminalProgress(Console& console, TerminalPrompts& prompts)
        : m_console(console), m_prompts(prompts)
    {}

    void show(Controls& controls) override;
    void unload() override;
    void setCaption(const QString& caption) override;
    void setValue(double value) override;
    void setPanelVisible(Panel panel, bool visible) override;
    void setPointer(Pointer) override {}
    void setButtonsEnabled(bool cancel, bool help) override;
    void pumpMessages() override;
    void pause(int) override { pumpMessages(); }

private:
    void draw();

    Console& m_console;
    TerminalPrompts& m_prompts;
    Controls* m_controls = nullptr;
    QString m_caption;
    QString m_panelMessage[2];
    int m_percent = 0;
    bool m_cancelEnabled = true;
    QString m_lastLine;
};

} // namespace brindle::cli
