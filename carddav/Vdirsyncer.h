#pragma once

#include "CardDavSetup.h"

#include <QStringList>
#include <functional>

class QProcess;

namespace brindle::carddav {

struct Moved
{
    int added = 0;
    int changed = 0;
    int deleted = 0;
};

struct SyncResult
{
    QString problem;         // one line; empty when the run succeeded
    QStringList collections; // paired, as discovery saved them
    QStringList made;        // made on the server by this discovery
    Moved toServer;
    Moved fromServer;
    int conflicts = 0; // local copies moved aside
    bool ok() const { return problem.isEmpty(); }
};

// Runs Debian's vdirsyncer on Brindle's own configuration. Every run
// discovers first: it proves the server and the login before anything is
// written, and pairs the card-type folders made since the last run.
class Vdirsyncer
{
public:
    // caption, percent
    using Progress = std::function<void(const QString&, double)>;

    explicit Vdirsyncer(Places places, Progress progress = {});

    // The program's path, empty when it is not installed.
    static QString program();
    static QString missingText();

    SyncResult discover();
    SyncResult sync();

private:
    // Runs vdirsyncer with args, handing each output line to onLine;
    // the problem when it failed.
    QString run(const QStringList& args, const QByteArray& input,
                const std::function<void(const QString&)>& onLine);

    Places m_places;
    Progress m_progress;
};

// "to the server: 1 new, 2 changed, 0 deleted; from the server: ..."
QString movedText(const SyncResult& result);

} // namespace brindle::carddav
