#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace contacts {

// A restriction as Items.Find takes it: [Property] = 'value' conditions joined
// by And and Or, with parentheses; apostrophes doubled inside values.
struct Filter
{
    enum class Op
    {
        Equals,
        And,
        Or
    };

    Op op = Op::Equals;
    int field = -1; // index into indexedFields()
    QString value;  // case-folded
    std::vector<Filter> children;

    // Raises &H80020009 for a filter it cannot read, also for one nested more
    // than 100 parentheses deep.
    static Filter parse(const QString& text);
    // The values a contact is matched on, in the order of indexedFields().
    bool matches(const QStringList& values) const;
};

// The properties a filter may name; folders keep an index of each.
const QStringList& indexedFields();
// A value as the index and filters hold it.
QString indexKey(const QString& value);

} // namespace contacts
