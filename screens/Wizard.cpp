#include "Wizard.h"

#include "ChooseActionWindow.h"
#include "InformationWindow.h"
#include "SettingsWindow.h"
#include "startup/MMain.h"

namespace brindle {

Wizard::Wizard(ProgramContext& context, RunSettings& settings)
    : m_context(context), m_runSettings(settings),
      m_forms((context.setPrompts(&m_prompts), context), m_runSettings, m_progress)
{}

Wizard::~Wizard()
{
    m_context.setPrompts(nullptr);
}

bool Wizard::start(const QString& commandLine)
{
    switch (MMain::Main(m_context, m_runSettings, commandLine)) {
    case MMain::FirstScreen::Information:
        m_forms.fMain.Load();
        m_information = std::make_unique<InformationWindow>(m_forms.fMain);
        m_forms.fMain.Show();
        return true;
    case MMain::FirstScreen::ChooseAction:
        m_forms.LoadForNormalStart();
        m_information = std::make_unique<InformationWindow>(m_forms.fMain);
        m_settings = std::make_unique<SettingsWindow>(m_forms.fAdvanced);
        m_chooseAction = std::make_unique<ChooseActionWindow>(m_forms.fChooseAction);
        m_forms.fChooseAction.Show();
        return true;
    case MMain::FirstScreen::None:
        break;
    }
    return false;
}

} // namespace brindle
