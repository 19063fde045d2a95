#pragma once

#include <QString>

namespace brindle {

// How the program reaches the user. The wizard answers with widgets,
// brindle-cli with the terminal, tests with scripted answers.
class UiPort
{
public:
    enum class Buttons
    {
        Ok,
        OkCancel,
        YesNo
    };
    enum class Icon
    {
        None,
        Critical,
        Question,
        Exclamation,
        Information
    };
    // Answers keep the values the program compares against.
    enum Answer
    {
        Ok = 1,
        Cancel = 2,
        Yes = 6,
        No = 7
    };

    virtual ~UiPort() = default;

    virtual Answer messageBox(const QString& text, Buttons buttons, Icon icon, const QString& title,
                              bool systemModal = false) = 0;
    // The information screen FMain, shown modelessly.
    virtual void showInformationScreen() = 0;
    // Brings forward the top-level window whose title begins with the
    // prefix; false when there is none.
    virtual bool activateWindow(const QString& titlePrefix) = 0;
    virtual void unloadAllForms() = 0;
};

} // namespace brindle
