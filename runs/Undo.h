#pragma once

#include <QJsonObject>
#include <QList>
#include <QStringList>

namespace brindle {

class RunRecord;

// A run's record as read back: its header line and its changes in order.
struct RecordedRun
{
    QString folder;
    QJsonObject header;
    QList<QJsonObject> changes;

    // Reads and checks the whole record; throws PlatformError naming what is
    // missing or damaged, before anything is changed.
    static RecordedRun read(const QString& folder);
    QString kind() const { return header.value(QStringLiteral("kind")).toString(); }
};

struct UndoOutcome
{
    QStringList done;     // what was put back, one line each
    QStringList leftAsIs; // items changed since the run
};

// Puts back, newest first, each change of the run whose item is still as the
// run left it, telling `record` of each (none: only lists what it would do).
// The cards are written in one transaction per card type.
UndoOutcome undoRun(const RecordedRun& run, RunRecord* record);

} // namespace brindle
