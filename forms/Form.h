#pragma once

#include <QString>
#include <functional>

namespace brindle {

struct RunSettings;

// What one control of a screen shows.
struct Control
{
    QString caption;
    bool visible = true;
    bool enabled = true;
};

// The window state every screen's logic shares. A form is loaded once,
// on first use, and shown and hidden by the screens' handlers; the window
// that renders it follows through the refresh hook.
class Form
{
public:
    enum class Pointer
    {
        Default,
        Hourglass
    };

    explicit Form(const RunSettings& settings) : m_settings(settings) {}
    virtual ~Form() = default;

    // Runs Form_Load the first time only.
    void Load();
    // Loads the form if needed; Form_Activate runs when it comes up.
    void Show();
    void Hide();
    // Called whenever the logic changed what the window shows outside the
    // window's own event handlers (another screen showed or hid it, or a
    // handler is about to block in a check or a run).
    void setRefresh(std::function<void()> refresh) { m_refresh = std::move(refresh); }

    bool Loaded() const { return m_loaded; }
    bool Visible = false;
    bool Enabled = true;
    Pointer MousePointer = Pointer::Default;
    // The object name of the control that takes the focus when it comes up.
    QString focus;

    // True once the program is shutting down: closing a window then ends
    // nothing.
    bool programExiting() const;

protected:
    virtual void Form_Load() {}
    virtual void Form_Activate() {}
    void refreshWindow();

private:
    const RunSettings& m_settings;
    std::function<void()> m_refresh;
    bool m_loaded = false;
};

} // namespace brindle
