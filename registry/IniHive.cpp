#include "IniHive.h"

#include "platform/PlatformError.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace brindle {

namespace {

QString settingsKey(const QString& keyPath, const QString& valueName)
{
    QString key = keyPath;
    key.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return key + QLatin1Char('/') + (valueName.isEmpty() ? QStringLiteral("@") : valueName);
}

} // namespace

IniHive::IniHive(QString fileName) : m_fileName(std::move(fileName)) {}

QString IniHive::defaultFileName()
{
    const QString fromEnvironment = qEnvironmentVariable("BRINDLE_REGISTRY");
    if (!fromEnvironment.isEmpty()) {
        return fromEnvironment;
    }
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/brindle/hklm.ini");
}

QString IniHive::readValue(const QString& keyPath, const QString& valueName) const
{
    QFileInfo info(m_fileName);
    if (info.exists() && !info.isReadable()) {
        throw PlatformError(ErrorNumber::PermissionDenied,
                            QStringLiteral("Permission denied: %1").arg(m_fileName));
    }
    QSettings hive(m_fileName, QSettings::IniFormat);
    if (hive.status() == QSettings::FormatError) {
        throw PlatformError(ErrorNumber::Unspecified,
                            QStringLiteral("The registry file is damaged: %1").arg(m_fileName));
    }
    const QVariant value = hive.value(settingsKey(keyPath, valueName));
    return value.isValid() ? value.toString() : QString();
}

bool IniHive::writeValue(const QString& keyPath, const QString& valueName, const QString& data)
{
    const QFileInfo info(m_fileName);
    if (!QDir().mkpath(info.absolutePath())) {
        return false;
    }
    // Refuse before QSettings caches a change it cannot write: the failed
    // value would otherwise be read back for the rest of the process.
    const QFileInfo folder(info.absolutePath());
    if (!folder.isWritable() || (info.exists() && !info.isWritable())) {
        return false;
    }
    QSettings hive(m_fileName, QSettings::IniFormat);
    hive.setAtomicSyncRequired(true);
    hive.setValue(settingsKey(keyPath, valueName), data);
    hive.sync();
    return hive.status() == QSettings::NoError;
}

} // namespace brindle
