#include "Environment.h"

#include "ErrorLog.h"
#include "MMain.h"
#include "Prompts.h"
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

void warnIncompatible(qint32 productMajor, qint32 driverMajor)
{
    prompts().messageBox(QStringLiteral("The installed VEXO ODBC Driver is not compatible") + crlf +
                             QStringLiteral("with your VEXO accounting product.") + crlf + crlf +
                             QStringLiteral("Please Click the 'Help' button for more detailed "
                                            "information."),
                         Prompts::Buttons::Ok, Prompts::Icon::Exclamation, title);
    WriteLog(logTimeStamp() +
             QStringLiteral(" VEXOBrindle.MMain.CheckVEXOInstallation Warning: The ODBC Version "
                            "installed is lower than that required for the Product Version "
                            "VEXO[%1] ODBC[%2]")
                 .arg(productMajor)
                 .arg(driverMajor));
}

bool offerInstaller()
{
    const Prompts::Answer answer = prompts().messageBox(
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
bool launchInstaller()
{
    const QString installer = GetVEXOODBCPath();
    WriteLog(QStringLiteral("VEXO ODBC Driver Not Installed: Installer found at ") + installer);
    if (!installer.isEmpty()) {
        LaunchFile(installer, QString());
        return true;
    }
    prompts().messageBox(
        QStringLiteral("Could not find the VEXO Kestrel Installer!") + crlf +
            QStringLiteral("Your VEXO Accounting Product may not be installed correctly. ") + crlf +
            crlf +
            QStringLiteral("To complete the VEXO ODBC installation, browse and launch the file") +
            crlf +
            QStringLiteral("\\Kestrel\\Setup.exe within your VEXO Accounting Product folder."),
        Prompts::Buttons::Ok, Prompts::Icon::Critical, title);
    return false;
}

void reportDeclined()
{
    prompts().messageBox(QStringLiteral("Could not create a VEXO ODBC Connection!") + crlf +
                             QStringLiteral("VEXO ODBC is not installed correctly."),
                         Prompts::Buttons::Ok, Prompts::Icon::Critical, title);
    WriteLog(QStringLiteral("VEXO ODBC Driver Not Installed User Declined to Install"));
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

qint32 GetVEXOProduct()
{
    const QString path = gobjOptions ? localPath(gobjOptions->HostExePath().trimmed()) : QString();
    if (!path.isEmpty() && FileExists(path)) {
        gsHostExeName = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
        gsHostExeVersion = fileVersion(path);
    }
    const QString name = gsHostExeName.toUpper();
    glVEXOProduct = name == QLatin1String("VEXO.EXE")    ? 1
                    : name == QLatin1String("VEXOP.EXE") ? 2
                                                         : 0;
    return glVEXOProduct;
}

bool CheckOutlookInstallation()
{
    try {
        if (contactStoreUsable(contacts::Application::defaultRoot())) {
            return true;
        }
        prompts().messageBox(title + QStringLiteral(" could not find your Outlook Installation") +
                                 crlf + crlf +
                                 QStringLiteral("Please ensure that Outlook is installed before "
                                                "continuing"),
                             Prompts::Buttons::Ok, Prompts::Icon::Critical, title);
    } catch (const std::exception& error) {
        logError(QStringLiteral("MMain.CheckOutlookInstallation"), error);
    }
    return false;
}

bool IsVEXOODBCInstalled()
{
    try {
        const TarvoCards::CDriverInfo driver;
        gdODBCVersion = driver.DriverVersion();
        if (gdODBCVersion < minimumDriverVersion) {
            return false;
        }
        WriteLog(logTimeStamp() +
                 QStringLiteral(" VEXOBrindle.MMain.IsVEXOODBCInstalled VEXO_ODBC Version : ") +
                 numberText(gdODBCVersion));
        return true;
    } catch (const std::exception& error) {
        logError(QStringLiteral("MMain.IsVEXOODBCInstalled"), error);
        return false;
    }
}

QString GetVEXOODBCPath()
{
    try {
        QString registered =
            GetRegValue(HKEY_LOCAL_MACHINE, appPathsKey(QStringLiteral("VEXOP.exe")), QString());
        if (registered.isEmpty() || !FileExists(localPath(registered))) {
            registered =
                GetRegValue(HKEY_LOCAL_MACHINE, appPathsKey(QStringLiteral("VEXO.exe")), QString());
        }
        const QString path = localPath(registered);
        const QString base = path.left(path.lastIndexOf(QLatin1Char('/')) + 1);
        QString folder;
        for (int n = 3; n <= 7; ++n) {
            folder = base + QStringLiteral("Kestrel") + QString::number(n);
            if (QFileInfo(folder).isDir()) {
                WriteLog(QStringLiteral("Found VEXO ODBC Path ") + registered +
                         QStringLiteral(" with ") + folder);
                const QString setup = folder + QStringLiteral("/Setup.exe");
                return FileExists(setup) ? setup : QString();
            }
        }
        WriteLog(QStringLiteral("Can not find VEXO ODBC Path ") + registered +
                 QStringLiteral(" with ") + folder);
    } catch (const std::exception& error) {
        logError(QStringLiteral("MMain.GetVEXOODBCPath"), error);
    }
    return {};
}

bool CheckVEXOInstallation(bool& bExitApplication)
{
    try {
        if (IsVEXOODBCInstalled()) {
            const qint32 product = productMajor(gsHostExeVersion);
            const auto driver = qint32(std::floor(gdODBCVersion / 1000000));
            if (driverTooOld(gsHostExeName, product, driver)) {
                warnIncompatible(product, driver);
                return false;
            }
            return true;
        }
        if (offerInstaller()) {
            bExitApplication = launchInstaller() || bExitApplication;
        } else {
            reportDeclined();
        }
    } catch (const std::exception& error) {
        logError(QStringLiteral("MMain.CheckVEXOInstallation"), error);
    }
    return false;
}

bool CheckIfVEXOIsRunning()
{
    return true;
}

} // namespace brindle::MMain
