#include "MMain.h"

#include "ErrorLog.h"
#include "Settings.h"
#include "TextHelpers.h"
#include "UiPort.h"
#include "platform/AppInfo.h"
#include "platform/InstanceGuard.h"
#include "registry/IniHive.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace brindle::MMain {

namespace {

// Used until a front end sets its own: nobody to ask, so every question
// gets the default answer.
class SilentUi : public UiPort
{
public:
    Answer messageBox(const QString&, Buttons buttons, Icon, const QString&, bool) override
    {
        return buttons == Buttons::YesNo ? No : Ok;
    }
    void showInformationScreen() override {}
    bool activateWindow(const QString&) override { return false; }
    void unloadAllForms() override {}
};

Registry* currentRegistry = nullptr;
UiPort* currentUi = nullptr;
std::function<QDateTime()> clock;
InstanceGuard* currentGuard = nullptr;

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
    ui().messageBox(QStringLiteral("The Brindle application is already running.           "),
                    UiPort::Buttons::Ok, UiPort::Icon::Exclamation, QStringLiteral("VEXO Brindle"),
                    true);
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

UiPort& ui()
{
    static SilentUi silent;
    return currentUi ? *currentUi : silent;
}

void setUi(UiPort* ui)
{
    currentUi = ui;
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
    return FileExists(appPath() + QLatin1Char('/') + companionFileName());
}

void Main(const QString& commandLine)
{
    InitialiseCommonControls();
    gbCategoryWarningShown = false;
    gbExiting = false;
    bool bContinue = true;
    try {
        WriteLog(logTimeStamp() + QStringLiteral(" VEXOBrindle.MMain.Main CommandLine: ") +
                 maskPassword(commandLine));
        gobjOptions = std::make_unique<clsOptions>();
        bContinue = gobjOptions->Analyse(commandLine);
        // Every start takes the lock, also one that only shows the
        // information screen, so a start with a company file beside it is
        // refused.
        const bool previous = bContinue && instanceGuard().previousInstance();
        if (bContinue && trimBlanks(gobjOptions->Database()).isEmpty()) {
            ui().showInformationScreen();
            gbExiting = true;
            bContinue = false;
        }
        if (bContinue) {
            UpdateRegValue(HKEY_LOCAL_MACHINE, brindleKey(), QStringLiteral("AppPath"),
                           appPath() + QLatin1Char('/') + appExeName());
        }
        if (bContinue && previous) {
            refuseSecondInstance();
            return;
        }
        if (bContinue) {
            LoadGlobalSettings();
        }
    } catch (const std::exception& error) {
        logError(QStringLiteral("MMain.Main"), error);
        bContinue = false;
    }
    if (!bContinue) {
        ExitApplication();
    }
}

void ExitApplication()
{
    if (!gbExiting) {
        gbExiting = true;
        SaveRegistrySettings();
        ui().unloadAllForms();
    }
    gobjOptions.reset();
}

QString companionFileName()
{
    return QStringLiteral("libtarvocards.so");
}

} // namespace brindle::MMain
