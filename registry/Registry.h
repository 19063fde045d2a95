#pragma once

#include <QString>

namespace brindle {

// The registry as the program uses it: text values under key paths of
// HKEY_LOCAL_MACHINE. An empty value name stands for the key's default
// (unnamed) value. Key paths and value names are case-blind; any text is a
// valid name, and no two names meet unless they differ only in case.
class Registry
{
public:
    virtual ~Registry() = default;

    // The value's text, or a null string when the key or value is missing.
    // Throws PlatformError when the store cannot be read at all; a damaged
    // store gives what can still be read.
    virtual QString readValue(const QString& keyPath, const QString& valueName) const = 0;
    // Writes the value, creating the key when missing; false when the store
    // cannot be written.
    virtual bool writeValue(const QString& keyPath, const QString& valueName,
                            const QString& data) = 0;
};

} // namespace brindle
