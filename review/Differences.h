#pragma once

#include <QList>
#include <QString>

namespace brindle {

// One changed field of a comparison: its key ("LastName", ".HomeAddressCity"),
// the value the record holds and the value the source would write.
struct Difference
{
    QString key;
    QString existing;
    QString updated;

    bool operator==(const Difference&) const = default;
};

// The changes found, in the order of comparison.
using Differences = QList<Difference>;

} // namespace brindle
