#pragma once

#include "startup/UiPort.h"

#include <QList>
#include <QStringList>

namespace brindle::test {

// A user who answers from a script and remembers what was shown.
class ScriptedUi : public UiPort
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
    QStringList events; // "FMain", "activate:<prefix>", "unload"

    Answer messageBox(const QString& text, Buttons buttons, Icon icon, const QString& title,
                      bool systemModal) override
    {
        messages.append({text, buttons, icon, title, systemModal});
        return answers.isEmpty() ? Ok : answers.takeFirst();
    }
    void showInformationScreen() override { events.append(QStringLiteral("FMain")); }
    bool activateWindow(const QString& titlePrefix) override
    {
        events.append(QStringLiteral("activate:") + titlePrefix);
        return false;
    }
    void unloadAllForms() override { events.append(QStringLiteral("unload")); }
};

} // namespace brindle::test
