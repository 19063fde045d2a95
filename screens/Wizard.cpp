#include "Wizard.h"

#include "ChooseActionWindow.h"
#include "InformationWindow.h"
#include "SettingsWindow.h"
#include "startup/MMain.h"

namespace brindle {

Wizard::Wizard() : m_forms(m_prompts, m_progress)
{
    MMain::setPrompts(&m_prompts);
}

Wizard::~Wizard()
{
    MMain::setPrompts(nullptr);
}

bool Wizard::start(const QString& commandLine)
{
    switch (MMain::Main(commandLine)) {
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
