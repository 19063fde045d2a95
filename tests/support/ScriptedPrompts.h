#pragma once

#include "dialogs/FSummary.h"
#include "dialogs/FUpdateChoice.h"
#include "dialogs/Notices.h"
#include "startup/Prompts.h"

#include <QHash>
#include <QList>
#include <QStringList>
#include <stdexcept>

namespace brindle::test {

// A user who answers from a script and remembers what was shown.
class ScriptedPrompts : public Prompts
{
public:
    struct Message
    {
        QString text;
        Buttons buttons;
        Icon icon;
        QString title;
        bool systemModal;
    };
    // How the user leaves the confirmation dialog: one of its buttons
    // (FUpdateChoice::Choice), or the close box (CloseBox).
    static constexpr qint32 CloseBox = -1;

    QList<Answer> answers; // taken from the front; Ok when empty
    QList<Message> messages;
    QList<qint32> choices;      // the confirmation's buttons, taken from the front
    QList<FUpdateChoice> shown; // each confirmation as it was shown
    QList<bool> noticeTicks;    // "Do not show this notice again", taken from the front
    QStringList notices;        // object names of the notices shown
    QList<FSummary> summaries;
    QStringList openedFiles;
    qint32 openFileCode = 42;

    Answer messageBox(const QString& text, Buttons buttons, Icon icon, const QString& title,
                      bool systemModal) override
    {
        messages.append({text, buttons, icon, title, systemModal});
        return answers.isEmpty() ? Ok : answers.takeFirst();
    }
    void showUpdateChoice(FUpdateChoice& dialog) override
    {
        dialog.Form_Activate();
        shown.append(dialog);
        if (choices.isEmpty()) {
            throw std::runtime_error("the script has no answer for a confirmation");
        }
        using Button = void (FUpdateChoice::*)();
        static const QHash<qint32, Button> buttons{
            {FUpdateChoice::Update, &FUpdateChoice::cmdOK_Click},
            {FUpdateChoice::Skip, &FUpdateChoice::cmdReject_Click},
            {FUpdateChoice::UpdateAll, &FUpdateChoice::cmdUpdateAll_Click},
            {FUpdateChoice::CancelRun, &FUpdateChoice::cmdCancel_Click}};
        (dialog.*buttons.value(choices.takeFirst(), &FUpdateChoice::Form_QueryUnload))();
    }
    void showNotice(Notice& notice) override
    {
        notices.append(notice.objectName());
        if (!noticeTicks.isEmpty()) {
            notice.chkShowNotice = noticeTicks.takeFirst();
        }
        notice.cmdOK_Click();
    }
    void showSummary(FSummary& summary) override { summaries.append(summary); }
    qint32 openFile(const QString& file, const QString&) override
    {
        openedFiles.append(file);
        return openFileCode;
    }
};

} // namespace brindle::test
