#include "IniHive.h"

#include "IniFile.h"
#include "platform/LockFile.h"
#include "platform/PlatformError.h"
#include "platform/RegularFile.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
#include <QStandardPaths>
#include <cstdio>

namespace brindle {

namespace {

// Far above any hive the program writes; a larger file is not read at all.
constexpr qint64 maxHiveSize = 4 * 1024 * 1024;
constexpr int lockTimeoutMs = 10000;

void reportOnStandardError(const QString& problem)
{
    std::fprintf(stderr, "%s\n", problem.toLocal8Bit().constData());
}

} // namespace

struct IniHive::Content
{
    QByteArray bytes;
    IniFile file;
};

IniHive::IniHive(QString fileName, Access access)
    : m_fileName(std::move(fileName)), m_access(access), m_reporter(reportOnStandardError)
{}

QString IniHive::defaultFileName()
{
    const QString fromEnvironment = qEnvironmentVariable("BRINDLE_REGISTRY");
    if (!fromEnvironment.isEmpty()) {
        return fromEnvironment;
    }
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/brindle/hklm.ini");
}

void IniHive::report(const QString& problem) const
{
    if (!m_reported.contains(problem)) {
        m_reported.insert(problem);
        if (m_reporter) {
            m_reporter(problem);
        }
    }
}

IniHive::Content IniHive::load() const
{
    const QFileInfo info(m_fileName);
    if (!info.exists() && !info.isSymLink()) {
        return {};
    }
    QFile file;
    QString problem;
    if (openRegularFile(file, m_fileName, &problem) && file.size() > maxHiveSize) {
        problem = QStringLiteral("%1 is larger than %2 bytes").arg(m_fileName).arg(maxHiveSize);
    }
    if (!problem.isEmpty()) {
        report(QStringLiteral("The registry cannot be read (%1); the settings start from their "
                              "defaults.")
                   .arg(problem));
        throw PlatformError(
            info.isReadable() ? ErrorNumber::Unspecified : ErrorNumber::PermissionDenied, problem);
    }
    Content content{file.readAll(), {}};
    content.file = IniFile::parse(content.bytes);
    if (const qsizetype damaged = content.file.damagedLines()) {
        report(QStringLiteral("The registry file %1 is damaged: %2 line(s) cannot be read, the "
                              "first is line %3. They are ignored, and the file is copied aside "
                              "before it is next written.")
                   .arg(m_fileName)
                   .arg(damaged)
                   .arg(content.file.firstDamagedLine()));
    }
    return content;
}

QString IniHive::readValue(const QString& keyPath, const QString& valueName) const
{
    return load().file.value(keyPath, valueName).value_or(QString());
}

bool IniHive::keepDamagedCopy(const QByteArray& bytes) const
{
    const QString stem = m_fileName + QStringLiteral(".damaged-") +
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    for (int attempt = 1; attempt < 100; ++attempt) {
        QFile copy(attempt == 1 ? stem : QStringLiteral("%1-%2").arg(stem).arg(attempt));
        if (!copy.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            if (copy.exists()) {
                continue;
            }
            return false;
        }
        if (copy.write(bytes) != bytes.size() || !copy.flush()) {
            copy.remove();
            return false;
        }
        report(QStringLiteral("The damaged registry file was copied to %1.").arg(copy.fileName()));
        return true;
    }
    return false;
}

bool IniHive::writeValue(const QString& keyPath, const QString& valueName, const QString& data)
{
    const QFileInfo info(m_fileName);
    if (m_access == Access::ReadOnly || !QDir().mkpath(info.absolutePath())) {
        return false;
    }
    // Refuse before anything is changed when the write cannot succeed.
    const QFileInfo folder(info.absolutePath());
    if (!folder.isWritable() || (info.exists() && (!info.isFile() || !info.isWritable()))) {
        return false;
    }
    QLockFile lock(m_fileName + QStringLiteral(".lock"));
    if (!tryLock(lock, lockTimeoutMs)) {
        return false;
    }
    Content content;
    try {
        content = load();
    } catch (const PlatformError&) {
        return false; // never replace what could not be read
    }
    if (content.file.damagedLines() > 0 && !keepDamagedCopy(content.bytes)) {
        return false;
    }
    if (!content.file.setValue(keyPath, valueName, data)) {
        return false;
    }
    // A run saves every setting, mostly as they were: the same bytes are not
    // written again, nor flushed to the disk.
    const QByteArray text = content.file.text();
    if (text == content.bytes) {
        return true;
    }
    QSaveFile out(m_fileName);
    return out.open(QIODevice::WriteOnly) && out.write(text) >= 0 && out.commit();
}

} // namespace brindle
