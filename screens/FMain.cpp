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
    if (const auto caption = lastConnectedCaption()) {
        lblLastConnect = *caption;
    }
}

bool FMain::Form_QueryUnload()
{
    Visible = false;
    return MMain::ExitApplication();
}

} // namespace brindle
