#pragma once

#include <QHash>
#include <QStringView>

namespace contacts {

// A property or field name as a key of the store's own tables of known
// names. Names are short ASCII words, and QHash's keyed string hash costs
// more than the rest of a lookup; the tables are fixed, so a name read from
// a file only ever looks up and never fills one.
struct NameKey
{
    QStringView name;

    friend bool operator==(NameKey a, NameKey b) noexcept { return a.name == b.name; }
};

// FNV-1a over the UTF-16 units.
inline size_t qHash(NameKey key, size_t seed = 0) noexcept
{
    size_t hash = 14695981039346656037ULL ^ seed;
    for (const QChar c : key.name) {
        hash = (hash ^ c.unicode()) * 1099511628211ULL;
    }
    return hash;
}

} // namespace contacts
