#pragma once

#include <QString>

namespace brindle {

// How a run shows its progress and hears the user while it works: the
// progress window of the wizard, a progress line on the terminal, or a
// script in the tests. The run never pumps messages or sleeps by itself.
class RunProgress
{
public:
    enum class Panel
    {
        VEXOWaiting,   // picVEXOWaiting: the company file is opened and read
        OutlookWaiting // picOutlookWaiting: the contacts are opened and read
    };
    enum class Pointer
    {
        Default = 0,
        Hourglass = 11
    };

    // The buttons and the close box of the progress window, answered by
    // the run. The front end calls them when the user uses them, which can
    // only happen while messages are pumped.
    class Controls
    {
    public:
        virtual ~Controls() = default;
        virtual void cmdCancel_Click() = 0;
        virtual void cmdHelp_Click() = 0;
        // The user closes the window (unload mode 0); true refuses the close.
        virtual bool closeRequested() = 0;
        // True once the program is shutting down: every window then closes.
        virtual bool programExiting() const { return false; }
    };

    virtual ~RunProgress() = default;

    virtual void show(Controls& controls) = 0;
    virtual void unload() = 0;
    // lblProgress.
    virtual void setCaption(const QString& caption) = 0;
    // prgProgress, 0 to 100.
    virtual void setValue(double value) = 0;
    virtual void setPanelVisible(Panel panel, bool visible) = 0;
    virtual void setPointer(Pointer pointer) = 0;
    virtual void setButtonsEnabled(bool cancel, bool help) = 0;
    // Lets the window serve its events (DoEvents).
    virtual void pumpMessages() = 0;
    // The pause that keeps the window live while cards are written: the
    // wizard waits while serving events; a front end without a window
    // returns at once.
    virtual void pause(int milliseconds) = 0;
};

} // namespace brindle
