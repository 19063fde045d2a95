#pragma once

#include "startup/Prompts.h"

#include <QSet>
#include <QTextStream>

namespace brindle::cli {

class Console;

// The program's questions on a terminal: messages on standard error,
// Yes/No and the confirmation answered with one key, the notices printed
// once, the summary on standard output. Without a terminal, and when the
// input ends or Ctrl-C interrupts a question, the cautious answer is taken:
// a run is cancelled rather than written on somebody's behalf.
class TerminalPrompts : public Prompts
{
public:
    explicit TerminalPrompts(Console& console) : m_console(console) {}

    Answer messageBox(const QString& text, Buttons buttons, Icon icon, const QString& title,
                      bool systemModal) override;
    void showUpdateChoice(FUpdateChoice& dialog) override;
    void showNotice(Notice& notice) override;
    void showSummary(FSummary& summary) override;

    // The next "Cancel this operation? " is answered Yes: Ctrl-C asked for it.
    void confirmNextCancel() { m_cancelConfirmed = true; }

private:
    using KeyAnswer = std::pair<QChar, Answer>;
    // Waits for one of the keys; the cautious answer when nobody can answer.
    Answer ask(const QString& question, const QList<KeyAnswer>& keys, Answer cautious);
    // Why a question was answered without a key.
    QString noAnswer() const;
    QTextStream& beginOutput();
    void printDialog(const FUpdateChoice& dialog);
    QString keyLine(const FUpdateChoice& dialog) const;
    // Runs the button of a key; false for a key that answers nothing.
    bool press(FUpdateChoice& dialog, QChar key);

    Console& m_console;
    QSet<QString> m_noticesShown;
    bool m_cancelConfirmed = false;
};

} // namespace brindle::cli
