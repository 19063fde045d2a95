#include "Vdirsyncer.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#ifdef Q_OS_LINUX
#include <csignal>
#include <sys/prctl.h>
#endif

namespace brindle::carddav {

namespace {

const QString pairName = QStringLiteral("brindle");

// The one line that says why a run failed, from vdirsyncer's own words.
QString problemOf(const QStringList& errors, int exitCode)
{
    if (errors.isEmpty()) {
        return QStringLiteral("vdirsyncer failed (exit status %1)").arg(exitCode);
    }
    static const QRegularExpression prefix(
        QStringLiteral("^(error|critical): (Unknown error occurred: )?"));
    QString detail = errors.first();
    detail.remove(prefix);
    const auto has = [&](const char* text) {
        return std::any_of(errors.begin(), errors.end(),
                           [&](const QString& line) { return line.contains(QLatin1String(text)); });
    };
    if (has("Cannot connect to host") || has("Server disconnected") || has("Connection reset")) {
        return QStringLiteral("the CardDAV server cannot be reached: ") + detail;
    }
    if (has("401, message")) {
        return QStringLiteral("the CardDAV server refused the login (wrong user name or password)");
    }
    if (has("Failed to execute command") || has("returned non-zero exit status")) {
        return QStringLiteral("the password command failed: ") + detail;
    }
    return QStringLiteral("the CardDAV server's answer is not one vdirsyncer understands: ") +
           detail;
}

Moved& side(SyncResult& result, const QString& storage)
{
    return storage == u"brindle_server" ? result.toServer : result.fromServer;
}

// Counts what one line of a sync moved.
void countMove(SyncResult& result, const QString& line)
{
    static const QRegularExpression copy(
        QStringLiteral("^Copying \\((uploading|updating)\\) item .* to (brindle_\\w+)/"));
    static const QRegularExpression removal(
        QStringLiteral("^Deleting item .* from (brindle_\\w+)/"));
    if (const auto match = copy.match(line); match.hasMatch()) {
        Moved& moved = side(result, match.captured(2));
        (match.captured(1) == u"uploading" ? moved.added : moved.changed) += 1;
    } else if (const auto match = removal.match(line); match.hasMatch()) {
        side(result, match.captured(1)).deleted += 1;
    }
}

qsizetype keptCount(const QString& folder)
{
    return QDir(folder).entryList({QStringLiteral("*.vcf")}, QDir::Files).size();
}

} // namespace

Vdirsyncer::Vdirsyncer(Places places, Progress progress)
    : m_places(std::move(places)), m_progress(std::move(progress))
{}

QString Vdirsyncer::program()
{
    return QStandardPaths::findExecutable(QStringLiteral("vdirsyncer"));
}

QString Vdirsyncer::missingText()
{
    return QStringLiteral("vdirsyncer is not installed; install Debian's vdirsyncer package "
                          "(apt-get install vdirsyncer)");
}

SyncResult Vdirsyncer::discover()
{
    static const QRegularExpression missing(
        QStringLiteral("^warning: No collection \"(.*)\" found for storage brindle_server"));
    static const QRegularExpression saved(
        QStringLiteral("^Saved for brindle: collections = (.*)$"));
    SyncResult result;
    if (m_progress) {
        m_progress(QStringLiteral("Connecting to the CardDAV server..."), 0);
    }
    // Discovery asks before it makes a collection the server lacks: yes to each.
    result.problem = run({QStringLiteral("discover"), pairName}, QByteArray("y\n").repeated(64),
                         [&](const QString& line) {
                             if (const auto match = missing.match(line); match.hasMatch()) {
                                 result.made << match.captured(1);
                             } else if (const auto match = saved.match(line); match.hasMatch()) {
                                 for (const auto value :
                                      QJsonDocument::fromJson(match.captured(1).toUtf8()).array()) {
                                     result.collections << value.toString();
                                 }
                             }
                         });
    return result;
}

SyncResult Vdirsyncer::sync()
{
    SyncResult result = discover();
    if (!result.ok()) {
        return result;
    }
    const qsizetype keptBefore = keptCount(m_places.conflictsFolder());
    const double share = 100.0 / qMax(qsizetype(1), result.collections.size());
    double done = -share;
    result.problem = run({QStringLiteral("sync"), pairName}, {}, [&](const QString& line) {
        if (line.startsWith(QLatin1String("Syncing brindle/"))) {
            done += share;
            if (m_progress) {
                m_progress(
                    QStringLiteral("Syncing %1 with the CardDAV server...").arg(line.mid(16)),
                    done);
            }
        }
        countMove(result, line);
    });
    result.conflicts = int(keptCount(m_places.conflictsFolder()) - keptBefore);
    if (m_progress && result.ok()) {
        m_progress(QStringLiteral("Synced with the CardDAV server"), 100);
    }
    return result;
}

QString Vdirsyncer::run(const QStringList& args, const QByteArray& input,
                        const std::function<void(const QString&)>& onLine)
{
    const QString executable = program();
    if (executable.isEmpty()) {
        return missingText();
    }
    if (!QFile::exists(m_places.configFile())) {
        return QStringLiteral("no CardDAV server is set up; run brindle-cli carddav setup URL");
    }
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
#ifdef Q_OS_LINUX
    // vdirsyncer ends with us: a killed run leaves no sync going on alone.
    process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
#endif
    process.start(executable,
                  QStringList{QStringLiteral("--config"), m_places.configFile()} + args);
    if (!process.waitForStarted(-1)) {
        return QStringLiteral("vdirsyncer cannot be started: ") + process.errorString();
    }
    process.write(input);
    process.closeWriteChannel();
    QStringList errors;
    // Discovery's question ends without a line break: what follows it is a line of its own.
    static const QRegularExpression question(
        QStringLiteral("^(Should vdirsyncer attempt to create it\\? \\[y/N\\]: )+"));
    const auto readLines = [&](bool all) {
        while (process.canReadLine() || (all && process.bytesAvailable() > 0)) {
            const QString line = QString::fromUtf8(process.readLine()).trimmed().remove(question);
            if (line.startsWith(QLatin1String("error: ")) ||
                line.startsWith(QLatin1String("critical: "))) {
                errors << line;
            }
            onLine(line);
        }
    };
    while (process.waitForReadyRead(-1)) {
        readLines(false);
    }
    process.waitForFinished(-1);
    readLines(true);
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0 ||
        !errors.isEmpty()) {
        return problemOf(errors, process.exitCode());
    }
    return {};
}

QString movedText(const SyncResult& result)
{
    const auto moved = [](const Moved& m) {
        return QStringLiteral("%1 new, %2 changed, %3 deleted")
            .arg(m.added)
            .arg(m.changed)
            .arg(m.deleted);
    };
    QString text = QStringLiteral("to the server: %1; from the server: %2")
                       .arg(moved(result.toServer), moved(result.fromServer));
    if (result.conflicts > 0) {
        text += QStringLiteral("; %1 changed on both sides: the server's copy was kept, "
                               "the local one moved aside")
                    .arg(result.conflicts);
    }
    return text;
}

} // namespace brindle::carddav
