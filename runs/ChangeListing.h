#pragma once

#include <QStringList>

namespace brindle {

struct RecordedRun;

// What a recorded run changed, one line per item and one indented line per
// changed field, read against what the company file and the store hold now.
// A new contact is named by its folder and name, not by its file, whose
// name each run draws afresh.
QStringList listChanges(const RecordedRun& run);

} // namespace brindle
