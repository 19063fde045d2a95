#include "Form.h"

#include "startup/RunSettings.h"

namespace brindle {

bool Form::programExiting() const
{
    return m_settings.gbExiting;
}

void Form::Load()
{
    if (!m_loaded) {
        m_loaded = true;
        Form_Load();
    }
}

void Form::Show()
{
    Load();
    const bool comesUp = !Visible;
    Visible = true;
    if (comesUp) {
        Form_Activate();
    }
    refreshWindow();
}

void Form::Hide()
{
    Visible = false;
    refreshWindow();
}

void Form::refreshWindow()
{
    if (m_refresh) {
        m_refresh();
    }
}

} // namespace brindle
