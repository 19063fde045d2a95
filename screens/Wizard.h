#pragma once

#include "Forms.h"
#include "WidgetProgress.h"
#include "WidgetPrompts.h"

#include <memory>

namespace brindle {

class ChooseActionWindow;
class InformationWindow;
class SettingsWindow;

// The wizard as one piece: the forms, their windows and the widget ports.
// It answers the program's questions while it lives.
class Wizard
{
public:
    Wizard(ProgramContext& context, RunSettings& settings);
    ~Wizard();
    Q_DISABLE_COPY(Wizard)

    // Runs the program's start and opens the screen it asks for; false
    // when the program ends at once.
    bool start(const QString& commandLine);

    Forms& forms() { return m_forms; }
    WidgetPrompts& prompts() { return m_prompts; }
    WidgetProgress& progress() { return m_progress; }
    InformationWindow* informationWindow() const { return m_information.get(); }
    ChooseActionWindow* chooseActionWindow() const { return m_chooseAction.get(); }
    SettingsWindow* settingsWindow() const { return m_settings.get(); }

private:
    ProgramContext& m_context;
    RunSettings& m_runSettings;
    WidgetPrompts m_prompts;
    WidgetProgress m_progress;
    Forms m_forms;
    std::unique_ptr<InformationWindow> m_information;
    std::unique_ptr<ChooseActionWindow> m_chooseAction;
    std::unique_ptr<SettingsWindow> m_settings;
};

} // namespace brindle
