#pragma once

#include "RunSettings.h"

#include <QString>

namespace brindle {
class ProgramContext;
} // namespace brindle

namespace brindle::MMain {

constexpr qint32 HKEY_LOCAL_MACHINE = qint32(0x80000002);

// Software\VEXO\VEXO Brindle and its Help subkey.
QString brindleKey();
QString helpKey();

// The value's text, blanks trimmed; "" when missing or unreadable.
QString GetRegValue(ProgramContext& context, qint32 lRootKey, const QString& sKeyPath,
                    const QString& sValueName);
// Writes the value as text; false when the registry refused the write.
bool UpdateRegValue(ProgramContext& context, qint32 lRootKey, const QString& sKeyPath,
                    const QString& sValueName, const QString& sValueData);

bool LoadGlobalSettings(ProgramContext& context, RunSettings& settings);
void SaveRegistrySettings(ProgramContext& context, const RunSettings& settings);

qint32 String2Long(const QString& s, qint32 lDefault);
bool String2Boolean(const QString& s);

// True when the collection yields an item for the key; a failing look-up
// counts as none.
template <typename Collection> bool ItemExists(const QString& key, Collection& collection)
{
    try {
        return collection.Item(key) != nullptr;
    } catch (...) {
        return false;
    }
}

} // namespace brindle::MMain
