// brindle-screenshots DIR: a PNG of every screen and dialog of the wizard in
// its typical states, drawn on whatever platform Qt runs on (offscreen in CI).
#include "contactstore/Application.h"
#include "contactstore/ContactItem.h"
#include "review/FUpdateChoice.h"
#include "screens/ChooseActionWindow.h"
#include "screens/Forms.h"
#include "screens/InformationWindow.h"
#include "screens/NoticeDialog.h"
#include "screens/Notices.h"
#include "screens/SettingsWindow.h"
#include "screens/SummaryWindow.h"
#include "screens/UpdateChoiceDialog.h"
#include "screens/WidgetProgress.h"
#include "screens/WidgetPrompts.h"
#include "startup/MMain.h"

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QTemporaryDir>
#include <cstdio>

namespace {

using namespace brindle;

class Shots
{
public:
    explicit Shots(const QString& folder) : m_folder(folder) {}

    // The window with a plain title bar above it, as there is no window manager to draw one.
    void take(QWidget& window, const char* name)
    {
        window.show();
        QApplication::processEvents();
        const QPixmap content = window.grab();
        const int bar = window.fontMetrics().height() + 10;
        QPixmap shot(content.width(), content.height() + bar);
        shot.fill(QColor(0x3c, 0x3c, 0x3c));
        QPainter painter(&shot);
        painter.setPen(Qt::white);
        painter.drawText(QRect(8, 0, content.width() - 16, bar), Qt::AlignVCenter,
                         window.windowTitle());
        painter.drawPixmap(0, bar, content);
        painter.end();
        const QString file = m_folder.filePath(QString::fromLatin1(name) + ".png");
        if (!shot.save(file)) {
            std::fprintf(stderr, "brindle-screenshots: cannot write %s\n", qPrintable(file));
            m_failed = true;
        }
        window.hide();
    }
    bool failed() const { return m_failed; }

private:
    QDir m_folder;
    bool m_failed = false;
};

class NoControls : public RunProgress::Controls
{
public:
    void cmdCancel_Click() override {}
    void cmdHelp_Click() override {}
    bool closeRequested() override { return true; }
};

Differences changes(int count, bool blank)
{
    const char* keys[] = {"LastName", "Phone1", "StreetLine1", "City", "Email", "WWW"};
    const char* existing[] = {"Acme Trading", "02 9555 0100",       "12 Main St",
                              "Sydney",       "sales@acme.example", "www.acme.example"};
    const char* updated[] = {"Acme Traders", "02 9555 0199",        "14 Main Street",
                             "Newcastle",    "orders@acme.example", "acme.example"};
    Differences list;
    for (int i = 0; i < count; ++i) {
        list.append({QString::fromLatin1(keys[i]), QString::fromLatin1(existing[i]),
                     blank ? QString() : QString::fromLatin1(updated[i])});
    }
    return list;
}

TarvoCards::CCard card(bool person)
{
    TarvoCards::CCard card;
    card.IsIndividual = person ? QStringLiteral("Y") : QStringLiteral("N");
    card.LastName = person ? QStringLiteral("Smith") : QStringLiteral("Acme Traders");
    card.FirstName = person ? QStringLiteral("Jo") : QString();
    card.CardIdentification = QStringLiteral("CUS001");
    return card;
}

void confirmation(Shots& shots, Prompts& prompts, const char* name, const Differences& list,
                  qint32 direction, bool newCard,
                  const std::shared_ptr<contacts::ContactItem>& contact)
{
    FUpdateChoice logic(prompts);
    logic.objVEXOCard = card(direction == 1 && !newCard);
    logic.OutlookContact = contact;
    logic.setDifferences(list);
    logic.TransferAction = direction;
    logic.NewVEXOCard = newCard;
    logic.Form_Activate();
    UpdateChoiceDialog dialog(logic);
    shots.take(dialog, name);
}

std::shared_ptr<contacts::ContactItem> exportContact(const QString& root)
{
    contacts::Application app(root);
    const auto folder = app.GetNamespace(QStringLiteral("MAPI"))->GetDefaultFolder(10);
    auto contact = folder->Items().Add(2);
    contact->setProperty(QStringLiteral("CompanyName"), QStringLiteral("Acme Traders"));
    contact->setProperty(QStringLiteral("FirstName"), QStringLiteral("Jo"));
    contact->setProperty(QStringLiteral("LastName"), QStringLiteral("Smith"));
    contact->setProperty(QStringLiteral("User1"), QStringLiteral("CUS001"));
    return contact;
}

void summary(Shots& shots, ProgramContext& context, const char* name, qint32 direction,
             bool cancelled)
{
    RunSettings settings;
    settings.glTransferAction = direction;
    FSummary logic(context, settings);
    logic.SetCaption(cancelled, false);
    logic.TotalCards = 15;
    logic.AddedCards = cancelled ? 4 : 12;
    logic.UpdatedCards = 2;
    logic.RejectedCards = logic.TotalCards - logic.AddedCards - logic.UpdatedCards;
    logic.UpdateCounters(false);
    SummaryWindow window(logic);
    shots.take(window, name);
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (app.arguments().size() != 2) {
        std::fprintf(stderr, "Usage: brindle-screenshots DIR\n");
        return 2;
    }
    const QString folder = app.arguments().at(1);
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "brindle-screenshots: cannot make %s\n", qPrintable(folder));
        return 1;
    }
    // A registry and program folder of its own: the user's settings stay untouched.
    QTemporaryDir scratch;
    qputenv("BRINDLE_REGISTRY", scratch.filePath(QStringLiteral("hklm.ini")).toUtf8());
    qputenv("BRINDLE_APP_DIR", scratch.path().toUtf8());

    Shots shots(folder);
    WidgetPrompts prompts;
    ProgramContext context({.prompts = &prompts});
    RunSettings runSettings;
    WidgetProgress progress;
    Forms forms(context, runSettings, progress);
    runSettings.gobjOptions.emplace();
    runSettings.glRulesFilter = 3;
    runSettings.gbShowOutlookWarning = true;
    runSettings.glCustomField1 = 1;
    runSettings.glCustomField2 = 3;
    forms.LoadForNormalStart();

    InformationWindow information(forms.fMain);
    shots.take(information, "01-information");
    ChooseActionWindow action(forms.fChooseAction);
    forms.fChooseAction.Show();
    shots.take(action, "02-action");
    SettingsWindow settings(forms.fAdvanced);
    forms.fChooseAction.cmdSettings_Click();
    shots.take(settings, "03-settings");

    NoControls controls;
    progress.show(controls);
    progress.setCaption(QStringLiteral("Exporting Customer cards..."));
    progress.setValue(45);
    shots.take(progress, "04-progress");
    progress.setPanelVisible(RunProgress::Panel::VEXOWaiting, true);
    shots.take(progress, "05-progress-company-file");
    progress.unload();

    FOutlookWarning security(runSettings);
    security.Form_Load();
    FVEXOEmptyMsg blankFields(context);
    FOutlookCategories categories(context);
    const std::pair<Notice*, const char*> notices[] = {{&security, "06-notice-security"},
                                                       {&blankFields, "07-notice-blank-field"},
                                                       {&categories, "08-notice-category"}};
    for (const auto& [notice, name] : notices) {
        NoticeDialog dialog(*notice);
        shots.take(dialog, name);
    }

    confirmation(shots, prompts, "09-confirm-addition", {}, 1, true, nullptr);
    confirmation(shots, prompts, "10-confirm-update-two", changes(2, false), 1, false, nullptr);
    confirmation(shots, prompts, "11-confirm-update-six", changes(6, false), 2, false,
                 exportContact(scratch.filePath(QStringLiteral("contacts"))));
    confirmation(shots, prompts, "12-confirm-blank-field", changes(3, true), 1, false, nullptr);

    summary(shots, context, "13-summary-import", 1, false);
    summary(shots, context, "14-summary-export-cancelled", 2, true);
    return shots.failed() ? 1 : 0;
}
