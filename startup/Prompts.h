#pragma once

#include <QString>
#include <functional>

namespace brindle {

class FSummary;
class FUpdateChoice;
class Notice;

// How the program asks and tells the user something. The wizard answers
// with widgets, brindle-cli on the terminal, tests from a script.
class Prompts
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

    virtual ~Prompts() = default;

    virtual Answer messageBox(const QString& text, Buttons buttons, Icon icon, const QString& title,
                              bool systemModal = false) = 0;
    // Shows the dialog modally, after its Form_Activate, until one of its
    // buttons hides it or the user closes its window (Form_QueryUnload).
    virtual void showUpdateChoice(FUpdateChoice& dialog) = 0;
    // Shows a notice modally, after its Form_Load, until Continue or its
    // close box, both of which end in its cmdOK_Click.
    virtual void showNotice(Notice& notice) = 0;
    // Shows the summary of a finished run; returns at once.
    virtual void showSummary(FSummary& summary) = 0;
    // Opens a file with the desktop's default application. Returns the
    // shell's code: above 32 on success, FileNotFound, or NoAssociation when
    // no application opens it. By default the desktop's xdg-open does it,
    // which serves a front end with no desktop service of its own.
    enum ShellCode : qint32
    {
        FileNotFound = 2,
        NoAssociation = 31,
        FileOpened = 42
    };
    virtual qint32 openFile(const QString& file, const QString& parameters);

protected:
    // openFile's code, where open is the front end's way to hand an
    // existing file to the desktop.
    static qint32 openExisting(const QString& file,
                               const std::function<bool(const QString&)>& open);
};

} // namespace brindle
