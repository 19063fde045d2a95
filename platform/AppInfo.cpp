#include "AppInfo.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace brindle {

QString appPath()
{
    const QString fromEnvironment = qEnvironmentVariable("BRINDLE_APP_DIR");
    if (!fromEnvironment.isEmpty()) {
        return QDir::cleanPath(fromEnvironment);
    }
    return QCoreApplication::applicationDirPath();
}

QString appExeName()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

} // namespace brindle
