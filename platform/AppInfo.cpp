#include "AppInfo.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace brindle {

ProgramFolders programFolders(const QString& fromEnvironment, const QString& exeFolder,
                              const QString& dataHome)
{
    if (!fromEnvironment.isEmpty()) {
        const QString folder = QDir::cleanPath(fromEnvironment);
        return {folder, folder, folder};
    }
    const QString exe = QDir::cleanPath(exeFolder);
    if (QFileInfo::exists(exe + QLatin1Char('/') + QLatin1String(cardLibraryFileName))) {
        return {exe, exe, exe};
    }
    return {QDir::cleanPath(dataHome + QStringLiteral("/brindle")), exe,
            QDir::cleanPath(exe + QStringLiteral("/" BRINDLE_LIBRARY_FROM_BIN)), true};
}

ProgramFolders appFolders()
{
    return programFolders(qEnvironmentVariable("BRINDLE_APP_DIR"),
                          QCoreApplication::applicationDirPath(),
                          QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
}

QString appPath()
{
    const ProgramFolders folders = appFolders();
    if (folders.installed) {
        QDir().mkpath(folders.program);
    }
    return folders.program;
}

QString appExeName()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

} // namespace brindle
