#pragma once

#include "startup/Prompts.h"

#include <memory>

namespace brindle {

class SummaryWindow;

// The wizard's answers to the program's questions: message boxes, the
// confirmation and the notices as modal dialogs, the summary as a window.
class WidgetPrompts : public Prompts
{
public:
    WidgetPrompts();
    ~WidgetPrompts() override;

    Answer messageBox(const QString& text, Buttons buttons, Icon icon, const QString& title,
                      bool systemModal) override;
    void showUpdateChoice(FUpdateChoice& dialog) override;
    void showNotice(Notice& notice) override;
    void showSummary(FSummary& summary) override;
    qint32 openFile(const QString& file, const QString& parameters) override;

    // The summary's window, once a run has ended.
    SummaryWindow* summaryWindow() const;

private:
    std::unique_ptr<SummaryWindow> m_summary;
};

// Closes every top-level window of the wizard: the forms unload.
void unloadAllForms();

} // namespace brindle
