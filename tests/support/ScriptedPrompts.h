#pragma once

#include "startup/Prompts.h"

#include <QList>
#include <QStringList>

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

    QList<Answer> answers; // taken from the front; Ok when empty
    QList<Message> messages;
    QStringList openedFiles;
    qint32 openFileCode = 42;

    Answer messageBox(const QString& text, Buttons buttons, Icon icon, const QString& title,
                      bool systemModal) override
    {
        messages.append({text, buttons, icon, title, systemModal});
        return answers.isEmpty() ? Ok : answers.takeFirst();
    }
    qint32 openFile(const QString& file, const QString&) override
    {
        openedFiles.append(file);
        return openFileCode;
    }
};

} // namespace brindle::test
