#include "FMain.h"

#include "ScreenTexts.h"
#include "startup/MMain.h"

namespace brindle {

void FMain::Form_Load()
{
    SetLastConnected();
    lblVersion = versionLabel();
}

void FMain::SetLastConnected()
{
    if (const auto caption = lastConnectedCaption(m_context)) {
        lblLastConnect = *caption;
    }
}

bool FMain::Form_QueryUnload()
{
    Visible = false;
    return MMain::ExitApplication(m_context, m_settings);
}

} // namespace brindle
