#include "Environment.h"

#include "ErrorLog.h"
#include "MMain.h"
#include "Prompts.h"
#include "RunSettings.h"
#include "Settings.h"
#include "Shell.h"
#include "cardlib/DriverInfo.h"
#include "contactstore/Application.h"
#include "platform/FileVersion.h"
#include "platform/PlatformError.h"

#include <QDir>
#include <QFileInfo>
#include <cmath>

namespace brindle::MMain {

namespace {

constexpr double minimumDriverVersion = 3000000;
const QString crlf = QStringLiteral("\r\n");
const QString title = QStringLiteral("VEXO Brindle");

// Registered and passed paths may use either separator.
QString localPath(const QString& path)
{
    return QString(path).replace(QLatin1Char('\\'), QLatin1Char('/'));
}

// A Double as the log shows it: whole numbers without a fraction.
QString numberText(double value)
{
    if (std::floor(value) == value && std::fabs(value) < 1e15) {
        return QString::number(qint64(value));
    }
    return QString::number(value, 'g', 15);
}

// The digits before the first "." as a Long; 0 for an empty version.
qint32 productMajor(const QString& version)
{
    if (version.isEmpty()) {
        return 0;
    }
    const qsizetype dot = version.indexOf(QLatin1Char('.'));
    if (dot < 0) {
        throw PlatformError(5, QStringLiteral("Invalid procedure call or argument"));
    }
    bool ok = false;
    const qint32 major = version.left(dot).trimmed().toInt(&ok);
    if (!ok) {
        throw PlatformError(ErrorNumber::TypeMismatch, QStringLiteral("Type mismatch"));
    }
    return major;
}

// How many major versions the product may run ahead of the driver.
bool driverTooOld(const QString& exeName, qint32 productMajor, qint32 driverMajor)
{
    const QString name = exeName.toUpper();
    if (name == QLatin1String("VEXOP.EXE")) {
        return productMajor > driverMajor + 4;
    }
    if (name == QLatin1String("VEXO.EXE")) {
        return productMajor > driverMajor + 10;
    }
    return false;
}

void warnIncompatible(ProgramContext& context, qint32 productMajor, qint32 driverMajor)
{
    context.prompts().messageBox(
        QStringLiteral("The installed VEXO ODBC Driver is not compatible") + crlf +
            QStringLiteral("with your VEXO accounting product.") + crlf + crlf +
            QStringLiteral("Please Click the 'Help' button for more detailed "
                           "information."),
        Prompts::Buttons::Ok, Prompts::Icon::Exclamation, title);
    context.WriteLog(
        context.logTimeStamp() +
        QStringLiteral(" VEXOBrindle.MMain.CheckVEXOInstallation Warning: The ODBC Version "
                       "installed is lower than that required for the Product Version "
                       "VEXO[%1] ODBC[%2]")
            .arg(productMajor)
            .arg(driverMajor));
}

bool offerInstaller(ProgramContext& context)
{
    const Prompts::Answer answer = context.prompts().messageBox(
        QStringLiteral("Could not locate the VEXO ODBC Driver!") + crlf + crlf +
            QStringLiteral("You need to install VEXO ODBC before using Brindle.") + crlf +
            QStringLiteral("Click 'Yes' to Launch the VEXO ODBC Installation, or 'No' to Exit.") +
            crlf + crlf +
            QStringLiteral("Once installation completes you will need to Restart your computer.") +
            crlf,
        Prompts::Buttons::YesNo, Prompts::Icon::Information, QStringLiteral("Install VEXO ODBC"));
    return answer == Prompts::Yes;
}

// True when the installer was launched.
bool launchInstaller(ProgramContext& context)
{
    const QString installer = GetVEXOODBCPath(context);
    context.WriteLog(QStringLiteral("VEXO ODBC Driver Not Installed: Installer found at ") +
                     installer);
    if (!installer.isEmpty()) {
        LaunchFile(context, installer, QString());
        return true;
    }
    context.prompts().messageBox(
        QStringLiteral("Could not find the VEXO Kestrel Installer!") + crlf +
            QStringLiteral("Your VEXO Accounting Product may not be installed correctly. ") + crlf +
            crlf +
            QStringLiteral("To complete the VEXO ODBC installation, browse and launch the file") +
            crlf +
            QStringLiteral("\\Kestrel\\Setup.exe within your VEXO Accounting Product folder."),
        Prompts::Buttons::Ok, Prompts::Icon::Critical, title);
    return false;
}

void reportDeclined(ProgramContext& context)
{
    context.prompts().messageBox(QStringLiteral("Could not create a VEXO ODBC Connection!") + crlf +
                                     QStringLiteral("VEXO ODBC is not installed correctly."),
                                 Prompts::Buttons::Ok, Prompts::Icon::Critical, title);
    context.WriteLog(QStringLiteral("VEXO ODBC Driver Not Installed User Declined to Install"));
}

bool contactStoreUsable(const QString& root)
{
    if (!QFileInfo::exists(root) && !QDir().mkpath(root)) {
        return false;
    }
    const QFileInfo info(root);
    return info.isDir() && info.isReadable() && info.isWritable();
}

} // namespace

QString appPathsKey(const QString& exeName)
{
    return QStringLiteral("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\") + exeName;
}

qint32 GetVEXOProduct(RunSettings& settings)
{
    const QString path =
        settings.gobjOptions ? localPath(settings.gobjOptions->HostExePath().trimmed()) : QString();
    if (!path.isEmpty() && FileExists(path)) {
        settings.gsHostExeName = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
        settings.gsHostExeVersion = fileVersion(path);
    }
    const QString name = settings.gsHostExeName.toUpper();
    settings.glVEXOProduct = name == QLatin1String("VEXO.EXE")    ? 1
                             : name == QLatin1String("VEXOP.EXE") ? 2
                                                                  : 0;
    return settings.glVEXOProduct;
}

bool CheckOutlookInstallation(ProgramContext& context)
{
    try {
        if (contactStoreUsable(contacts::Application::defaultRoot())) {
            return true;
        }
        context.prompts().messageBox(
            title + QStringLiteral(" could not find your Outlook Installation") + crlf + crlf +
                QStringLiteral("Please ensure that Outlook is installed before "
                               "continuing"),
            Prompts::Buttons::Ok, Prompts::Icon::Critical, title);
    } catch (const std::exception& error) {
        context.logError(QStringLiteral("MMain.CheckOutlookInstallation"), error);
    }
    return false;
}

bool IsVEXOODBCInstalled(ProgramContext& context, RunSettings& settings)
{
    try {
        const TarvoCards::CDriverInfo driver;
        settings.gdODBCVersion = driver.DriverVersion();
        if (settings.gdODBCVersion < minimumDriverVersion) {
            return false;
        }
        context.WriteLog(
            context.logTimeStamp() +
            QStringLiteral(" VEXOBrindle.MMain.IsVEXOODBCInstalled VEXO_ODBC Version : ") +
            numberText(settings.gdODBCVersion));
        return true;
    } catch (const std::exception& error) {
        context.logError(QStringLiteral("MMain.IsVEXOODBCInstalled"), error);
        return false;
    }
}

QString GetVEXOODBCPath(ProgramContext& context)
{
    try {
        QString registered = GetRegValue(context, HKEY_LOCAL_MACHINE,
                                         appPathsKey(QStringLiteral("VEXOP.exe")), QString());
        if (registered.isEmpty() || !FileExists(localPath(registered))) {
            registered = GetRegValue(context, HKEY_LOCAL_MACHINE,
                                     appPathsKey(QStringLiteral("VEXO.exe")), QString());
        }
        const QString path = localPath(registered);
        const QString base = path.left(path.lastIndexOf(QLatin1Char('/')) + 1);
        QString folder;
        for (int n = 3; n <= 7; ++n) {
            folder = base + QStringLiteral("Kestrel") + QString::number(n);
            if (QFileInfo(folder).isDir()) {
                context.WriteLog(QStringLiteral("Found VEXO ODBC Path ") + registered +
                                 QStringLiteral(" with ") + folder);
                const QString setup = folder + QStringLiteral("/Setup.exe");
                return FileExists(setup) ? setup : QString();
            }
        }
        context.WriteLog(QStringLiteral("Can not find VEXO ODBC Path ") + registered +
                         QStringLiteral(" with ") + folder);
    } catch (const std::exception& error) {
        context.logError(QStringLiteral("MMain.GetVEXOODBCPath"), error);
    }
    return {};
}

bool CheckVEXOInstallation(ProgramContext& context, RunSettings& settings, bool& bExitApplication)
{
    try {
        if (IsVEXOODBCInstalled(context, settings)) {
            const qint32 product = productMajor(settings.gsHostExeVersion);
            const auto driver = qint32(std::floor(settings.gdODBCVersion / 1000000));
            if (driverTooOld(settings.gsHostExeName, product, driver)) {
                warnIncompatible(context, product, driver);
                return false;
            }
            return true;
        }
        if (offerInstaller(context)) {
            bExitApplication = launchInstaller(context) || bExitApplication;
        } else {
            reportDeclined(context);
        }
    } catch (const std::exception& error) {
        context.logError(QStringLiteral("MMain.CheckVEXOInstallation"), error);
    }
    return false;
}

bool CheckIfVEXOIsRunning()
{
    return true;
}

} // namespace brindle::MMain
