#pragma once

#include "startup/RunProgress.h"

#include <QHash>
#include <QStringList>
#include <functional>

namespace brindle::test {

// A progress window that remembers what it was told and lets a script use
// its buttons and close box at chosen pumps of the message loop.
class ScriptedProgress : public RunProgress
{
public:
    using Action = std::function<void(Controls&)>;

    QStringList events;        // "show", "unload", "caption:<text>", "panel:<n>:<0|1>"...
    QHash<int, Action> atPump; // 1-based number of the pump
    QList<double> values;      // every value the bar was given
    int pumps = 0;
    int pausedMilliseconds = 0;
    bool cancelEnabled = true;
    bool helpEnabled = true;
    Controls* controls = nullptr;

    static Action cancel()
    {
        return [](Controls& c) { c.cmdCancel_Click(); };
    }
    // The close box; refused tells whether the window stayed.
    static Action close(bool* refused)
    {
        return [refused](Controls& c) { *refused = c.closeRequested(); };
    }

    void show(Controls& shownControls) override
    {
        controls = &shownControls;
        events << "show";
    }
    void unload() override { events << "unload"; }
    void setCaption(const QString& caption) override { events << "caption:" + caption; }
    void setValue(double value) override { values << value; }
    void setPanelVisible(Panel panel, bool visible) override
    {
        events << QString("panel:%1:%2").arg(int(panel)).arg(int(visible));
    }
    void setPointer(Pointer pointer) override { events << QString("pointer:%1").arg(int(pointer)); }
    void setButtonsEnabled(bool cancel, bool help) override
    {
        cancelEnabled = cancel;
        helpEnabled = help;
    }
    void pumpMessages() override
    {
        ++pumps;
        if (const auto action = atPump.find(pumps); action != atPump.end() && controls) {
            action.value()(*controls);
        }
    }
    void pause(int milliseconds) override { pausedMilliseconds += milliseconds; }
};

} // namespace brindle::test
