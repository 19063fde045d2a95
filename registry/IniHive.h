#pragma once

#include "Registry.h"

namespace brindle {

// HKEY_LOCAL_MACHINE kept in one INI file: a section per key path, a line
// per value; the default (unnamed) value is stored under the name "@".
// Writes are atomic and serialised across processes by a lock file.
class IniHive : public Registry
{
public:
    explicit IniHive(QString fileName);

    // BRINDLE_REGISTRY, or hklm.ini in the user's configuration folder.
    static QString defaultFileName();

    const QString& fileName() const { return m_fileName; }

    QString readValue(const QString& keyPath, const QString& valueName) const override;
    bool writeValue(const QString& keyPath, const QString& valueName, const QString& data) override;

private:
    QString m_fileName;
};

} // namespace brindle
