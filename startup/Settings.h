#pragma once

#include <QString>
#include <optional>

namespace brindle::MMain {

constexpr qint32 HKEY_LOCAL_MACHINE = qint32(0x80000002);

// Software\VEXO\VEXO Brindle and its Help subkey.
QString brindleKey();
QString helpKey();

// The value's text, trimmed; "" when missing or unreadable.
QString GetRegValue(qint32 lRootKey, const QString& sKeyPath, const QString& sValueName);
// Writes the value as text; false when the registry refused the write.
bool UpdateRegValue(qint32 lRootKey, const QString& sKeyPath, const QString& sValueName,
                    const QString& sValueData);

bool LoadGlobalSettings();
void SaveRegistrySettings();

qint32 String2Long(const QString& s, qint32 lDefault);
bool String2Boolean(const QString& s);
// Removes the characters of codes 8 to 13, trims blanks and upper-cases
// unless bKeepCase.
QString CleanText(const QString& s, bool bKeepCase);

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

// The caption of lblLastConnect from LastConnectedDate: "First Time Use",
// "Last Connected: 04 Dec 2026", or nothing when the text is not a date.
std::optional<QString> lastConnectedCaption();
// "v" and the program's major.minor.revision.
QString versionLabel();

} // namespace brindle::MMain
