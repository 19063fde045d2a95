#pragma once

#include "startup/UiPort.h"

namespace brindle {

// The wizard's answer to the program's questions: message boxes and screens.
class WidgetsUi : public UiPort
{
public:
    Answer messageBox(const QString& text, Buttons buttons, Icon icon, const QString& title,
                      bool systemModal) override;
    void showInformationScreen() override;
    bool activateWindow(const QString& titlePrefix) override;
    void unloadAllForms() override;
};

} // namespace brindle
