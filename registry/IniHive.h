#pragma once

#include "Registry.h"

#include <QSet>
#include <functional>

namespace brindle {

class IniFile;

// HKEY_LOCAL_MACHINE kept in one INI file (layout: docs/registry.md). Writes
// are atomic and serialised across processes by a lock file. A damaged hive
// is read without its damaged lines and copied aside before it is
// rewritten; what is wrong is reported once per problem, by default on
// standard error.
class IniHive : public Registry
{
public:
    enum class Access
    {
        ReadWrite,
        ReadOnly // every write is refused and the file is never touched
    };
    using ProblemReporter = std::function<void(const QString& problem)>;

    explicit IniHive(QString fileName, Access access = Access::ReadWrite);

    // BRINDLE_REGISTRY, or hklm.ini in the user's configuration folder.
    static QString defaultFileName();

    const QString& fileName() const { return m_fileName; }
    void setProblemReporter(ProblemReporter reporter) { m_reporter = std::move(reporter); }

    QString readValue(const QString& keyPath, const QString& valueName) const override;
    bool writeValue(const QString& keyPath, const QString& valueName, const QString& data) override;

private:
    struct Content;

    // The file as it stands; throws PlatformError when it cannot be read.
    Content load() const;
    bool keepDamagedCopy(const QByteArray& bytes) const;
    void report(const QString& problem) const;

    QString m_fileName;
    Access m_access;
    ProblemReporter m_reporter;
    mutable QSet<QString> m_reported;
};

} // namespace brindle
