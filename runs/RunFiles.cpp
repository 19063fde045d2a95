#include "RunFiles.h"

#include "platform/AppInfo.h"
#include "platform/PlatformError.h"

#include <QDateTime>
#include <QDir>
#include <QSaveFile>

namespace brindle {

namespace {

constexpr QFile::Permissions privateFolder = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;

PlatformError cannotWrite(const QString& path, const QString& why)
{
    return PlatformError(ErrorNumber::PermissionDenied,
                         QStringLiteral("Cannot write %1: %2").arg(path, why));
}

void makeFolder(const QString& path)
{
    if (!QDir().mkpath(path) || !QFile::setPermissions(path, privateFolder)) {
        throw cannotWrite(path, QStringLiteral("the folder cannot be made"));
    }
}

} // namespace

QString runsFolder()
{
    return appPath() + QStringLiteral("/runs");
}

QString makePrivateFolder(const QString& runsFolder, const QString& kind)
{
    makeFolder(runsFolder);
    const QString stem =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss-zzz"));
    QString name = stem + u'-' + kind;
    // mkdir is the claim: two runs in one second never share a folder.
    for (int n = 2; !QDir(runsFolder).mkdir(name); ++n) {
        if (n > 1000) {
            throw cannotWrite(runsFolder, QStringLiteral("no free name for a record"));
        }
        name = QStringLiteral("%1-%2-%3").arg(stem).arg(n).arg(kind);
    }
    const QString folder = runsFolder + u'/' + name;
    QFile::setPermissions(folder, privateFolder);
    makeFolder(folder + QStringLiteral("/files"));
    return folder;
}

void writePrivateFile(const QString& path, const QByteArray& bytes)
{
    // The record's folder is the user's alone, so the file is never seen wider.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit() ||
        !QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner)) {
        throw cannotWrite(path, file.errorString());
    }
}

QStringList listRuns(const QString& runsFolder)
{
    QStringList runs;
    const QDir dir(runsFolder);
    for (const QString& name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        runs << dir.filePath(name);
    }
    return runs;
}

void pruneRuns(const QString& runsFolder, int keep)
{
    const QStringList runs = listRuns(runsFolder);
    for (qsizetype i = 0; i < runs.size() - keep; ++i) {
        QDir(runs.at(i)).removeRecursively();
    }
}

} // namespace brindle
