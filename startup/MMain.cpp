#include "MMain.h"

#include "Environment.h"
#include "ErrorLog.h"
#include "Prompts.h"
#include "Settings.h"
#include "TextHelpers.h"
#include "platform/AppInfo.h"
#include "platform/InstanceGuard.h"
#include "platform/PlatformError.h"
#include "registry/IniHive.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <cstdio>

namespace brindle::MMain {

namespace {

// Used until a front end sets its own: there is nobody to ask, and a
// question answered on the user's behalf could lose data.
class NoPrompts : public Prompts
{
public:
    Answer messageBox(const QString& text, Buttons, Icon, const QString&, bool) override
    {
        refuse(QStringLiteral("message \"%1\"").arg(text));
    }
    void showUpdateChoice(FUpdateChoice&) override { refuse(QStringLiteral("confirmation")); }
    void showNotice(Notice&) override { refuse(QStringLiteral("notice")); }
    void showSummary(FSummary&) override { refuse(QStringLiteral("summary")); }
    qint32 openFile(const QString& file, const QString&) override
    {
        refuse(QStringLiteral("file ") + file);
    }

private:
    [[noreturn]] static void refuse(const QString& what)
    {
        const QString description = QStringLiteral("No user interface to show the ") + what;
        logError(QStringLiteral("MMain.prompts"), ErrorNumber::Unspecified, description);
        fprintf(stderr, "brindle: %s\n", qPrintable(description));
        throw PlatformError(ErrorNumber::Unspecified, description);
    }
};

Registry* currentRegistry = nullptr;
Prompts* currentPrompts = nullptr;
std::function<QDateTime()> clock;
InstanceGuard* currentGuard = nullptr;
bool previousInstanceTest = true;

// The password never reaches the log: every PASSWORD value is masked.
QString maskPassword(const QString& commandLine)
{
    static const QRegularExpression password(QStringLiteral("(PASSWORD.)[^<]+"),
                                             QRegularExpression::CaseInsensitiveOption);
    QString masked = commandLine;
    return masked.replace(password, QStringLiteral("\\1****"));
}

void refuseSecondInstance()
{
    WriteLog(QStringLiteral("Warning: Attempting to run Brindle twice."));
    prompts().messageBox(QStringLiteral("The Brindle application is already running.           "),
                         Prompts::Buttons::Ok, Prompts::Icon::Exclamation,
                         QStringLiteral("VEXO Brindle"), true);
    if (!instanceGuard().askPreviousToRaise()) {
        logError(QStringLiteral("MMain.Main"), 5,
                 QStringLiteral("Invalid procedure call or argument"));
    }
    gbExiting = true;
    ExitApplication();
}

} // namespace

Registry& registry()
{
    if (!currentRegistry) {
        static IniHive hive(IniHive::defaultFileName());
        return hive;
    }
    return *currentRegistry;
}

void setRegistry(Registry* registry)
{
    currentRegistry = registry;
}

Prompts& prompts()
{
    static NoPrompts none;
    return currentPrompts ? *currentPrompts : none;
}

void setPrompts(Prompts* prompts)
{
    currentPrompts = prompts;
}

QDateTime now()
{
    return clock ? clock() : QDateTime::currentDateTime();
}

void setClock(std::function<QDateTime()> newClock)
{
    clock = std::move(newClock);
}

InstanceGuard& instanceGuard()
{
    if (!currentGuard) {
        static InstanceGuard guard(appExeName());
        return guard;
    }
    return *currentGuard;
}

void setInstanceGuard(InstanceGuard* guard)
{
    currentGuard = guard;
}

void setPreviousInstanceTest(bool on)
{
    previousInstanceTest = on;
}

void resetGlobals()
{
    gobjOptions.reset();
    gbExiting = false;
    gbCategoryWarningShown = false;
    glRulesFilter = 0;
    glDisableOutlookFolders = 0;
    glTransferInactives = 0;
    glCustomField1 = glCustomField2 = glCustomField3 = 0;
    gbShowOutlookWarning = gbShowBackupWarning = gbSuppressReport = false;
    glTransferAction = 0;
    gsSupplierWord = QStringLiteral("Supplier");
    gbEncryptionActive = false;
    glVEXOProduct = 0;
    gsHostExeName.clear();
    gsHostExeVersion.clear();
    gdODBCVersion = 0;
}

bool InitialiseCommonControls()
{
    return true; // nothing to register on this platform
}

bool FileExists(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() && info.isFile();
}

bool CheckApplicationFiles()
{
    return FileExists(appFolders().library + QLatin1Char('/') + companionFileName());
}

FirstScreen Main(const QString& commandLine)
{
    FirstScreen screen = FirstScreen::None;
    InitialiseCommonControls();
    gbCategoryWarningShown = false;
    gbExiting = false;
    bool bContinue = true;
    try {
        WriteLog(logTimeStamp() + QStringLiteral(" VEXOBrindle.MMain.Main CommandLine: ") +
                 maskPassword(commandLine));
        gobjOptions = std::make_unique<clsOptions>();
        bContinue = gobjOptions->Analyse(commandLine);
        // Every start of the wizard takes the lock, also one that only shows
        // the information screen, so a start with a company file beside it
        // is refused.
        const bool previous =
            bContinue && previousInstanceTest && instanceGuard().previousInstance();
        if (bContinue && trimBlanks(gobjOptions->Database()).isEmpty()) {
            screen = FirstScreen::Information;
            gbExiting = true;
            bContinue = false;
        }
        if (bContinue) {
            UpdateRegValue(HKEY_LOCAL_MACHINE, brindleKey(), QStringLiteral("AppPath"),
                           appFolders().executable + QLatin1Char('/') + appExeName());
        }
        if (bContinue && previous) {
            refuseSecondInstance();
            return FirstScreen::None;
        }
        if (bContinue) {
            LoadGlobalSettings();
            screen = FirstScreen::ChooseAction;
        }
    } catch (const std::exception& error) {
        logError(QStringLiteral("MMain.Main"), error);
        bContinue = false;
        if (screen != FirstScreen::Information) {
            screen = FirstScreen::None;
        }
    }
    if (!bContinue) {
        ExitApplication();
    }
    return screen;
}

bool ExitApplication()
{
    const bool unloadForms = !gbExiting;
    if (unloadForms) {
        gbExiting = true;
        SaveRegistrySettings();
    }
    gobjOptions.reset();
    return unloadForms;
}

QString companionFileName()
{
    return QLatin1String(cardLibraryFileName);
}

} // namespace brindle::MMain
