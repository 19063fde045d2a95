#include "FMain.h"

#include "startup/MMain.h"
#include "startup/Settings.h"

namespace brindle {

void FMain::Form_Load()
{
    SetLastConnected();
    lblVersion = MMain::versionLabel();
}

void FMain::SetLastConnected()
{
    if (const auto caption = MMain::lastConnectedCaption()) {
        lblLastConnect = *caption;
    }
}

bool FMain::Form_QueryUnload()
{
    Visible = false;
    return MMain::ExitApplication();
}

} // namespace brindle
