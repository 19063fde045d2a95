#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace brindle {

// The folders of runs/ are named <yyyyMMdd-HHmmss-zzz>-<kind>, so their names
// sort in the order the runs started.

// The program folder's runs/.
QString runsFolder();
// Makes runs/ and a new folder of its own in it, readable by the user only;
// returns its path. Throws PlatformError.
QString makePrivateFolder(const QString& runsFolder, const QString& kind);
// Writes a file that only the user may read, whole or not at all.
void writePrivateFile(const QString& path, const QByteArray& bytes);
// The paths of the records in runs/, oldest first.
QStringList listRuns(const QString& runsFolder);
// Removes all but the newest `keep` records.
void pruneRuns(const QString& runsFolder, int keep);

} // namespace brindle
