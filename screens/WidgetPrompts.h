#pragma once

#include "startup/Prompts.h"

namespace brindle {

// The wizard's answers to the program's questions.
class WidgetPrompts : public Prompts
{
public:
    Answer messageBox(const QString& text, Buttons buttons, Icon icon, const QString& title,
                      bool systemModal) override;
    void showUpdateChoice(FUpdateChoice& dialog) override;
    void showNotice(Notice& notice) override;
    void showSummary(FSummary& summary) override;
    qint32 openFile(const QString& file, const QString& parameters) override;
};

// Closes every top-level window of the wizard: the forms unload.
void unloadAllForms();

} // namespace brindle
