#pragma once

#include <QDir>
#include <QList>
#include <QLockFile>
#include <QString>
#include <memory>
#include <vector>

namespace brindle {

// The locks of one run on what it writes, so that two runs that write the
// same company file or the same contact store never overlap, whichever
// program starts them. Each lock is a lock file in the temporary folder
// named after the real path of what it locks (links resolved), so another
// name for the same file takes the same lock. A lock this process already
// holds is shared, not refused; a dead holder's lock is taken over.
class WriteLocks
{
public:
    struct Target
    {
        QString what; // "the company file"
        QString path;
    };

    explicit WriteLocks(QString folder = QDir::tempPath());

    // Takes every target's lock, waiting up to waitMs for them in all. On a
    // refusal holds none and returns why, naming which process holds which
    // lock; empty once all are held.
    QString acquire(const QList<Target>& targets, int waitMs = 0);
    // The lock file of a path: the same for every name of the same file.
    QString lockFileOf(const QString& path) const;

private:
    QString m_folder;
    std::vector<std::shared_ptr<QLockFile>> m_held;
};

} // namespace brindle
