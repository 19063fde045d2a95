#include "Undo.h"

#include "RunRecord.h"
#include "cardlib/CardSnapshot.h"
#include "cardlib/Dialect.h"
#include "cardlib/ServerAddress.h"
#include "cardlib/ServerConnect.h"
#include "cardlib/SqlUtil.h"
#include "contactstore/FileIo.h"
#include "platform/PlatformError.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QMap>
#include <QSet>

namespace brindle {

namespace {

const QString changedSince = QStringLiteral("changed since the run, left as it is: %1");

PlatformError damaged(const QString& folder, const QString& what)
{
    return PlatformError(ErrorNumber::CannotParse,
                         QStringLiteral("The record %1 cannot be used: %2").arg(folder, what));
}

// A path the record names must stay inside the store.
bool isInside(const QString& relative)
{
    return !relative.isEmpty() && QDir::isRelativePath(relative) &&
           !QDir::cleanPath(relative).startsWith(QLatin1String(".."));
}

void checkChange(const RecordedRun& run, const QJsonObject& change)
{
    for (const char* key : {"file", "dir"}) {
        if (change.contains(QLatin1String(key)) &&
            !isInside(change.value(QLatin1String(key)).toString())) {
            throw damaged(run.folder, QStringLiteral("a path outside the contact store"));
        }
    }
    const QJsonValue before = change.value(QStringLiteral("before"));
    if (change.contains(QStringLiteral("file")) && before.isString() &&
        !QFileInfo(run.folder + u'/' + before.toString()).isFile()) {
        throw damaged(run.folder, QStringLiteral("a saved file is missing"));
    }
    const bool known = change.contains(QStringLiteral("dir")) ||
                       (change.value(QStringLiteral("after")).isString() &&
                        (change.contains(QStringLiteral("file")) ||
                         change.value(QStringLiteral("card")).toInteger() > 0));
    if (!known) {
        throw damaged(run.folder, QStringLiteral("a line it does not know"));
    }
}

std::optional<QByteArray> currentBytes(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink()) {
        return std::nullopt;
    }
    if (info.isSymLink() || !info.isFile()) {
        return QByteArray("\0not a regular file", 19); // never equal to a digest's bytes
    }
    return contacts::readFile(path).bytes;
}

std::optional<QByteArray> savedBytes(const RecordedRun& run, const QJsonObject& change)
{
    const QJsonValue before = change.value(QStringLiteral("before"));
    if (!before.isString()) {
        return std::nullopt;
    }
    return contacts::readFile(run.folder + u'/' + before.toString()).bytes;
}

class Undoer
{
public:
    Undoer(const RecordedRun& run, RunRecord* record) : m_run(run), m_record(record) {}

    UndoOutcome run();

private:
    void undoFile(const QJsonObject& change);
    void undoDirectory(const QJsonObject& change);
    void undoCards(const QList<QJsonObject>& changes);
    void undoCard(QSqlDatabase& db, const QJsonObject& change);
    QString storePath(const QJsonObject& change, const char* key) const;

    const RecordedRun& m_run;
    RunRecord* m_record;
    UndoOutcome m_outcome;
    QSet<QString> m_removed; // what a listing counts as gone already
};

QString Undoer::storePath(const QJsonObject& change, const char* key) const
{
    return m_run.header.value(QStringLiteral("store")).toString() + u'/' +
           change.value(QLatin1String(key)).toString();
}

UndoOutcome Undoer::run()
{
    QMap<QString, QList<QJsonObject>> cardsByType;
    for (auto change = m_run.changes.crbegin(); change != m_run.changes.crend(); ++change) {
        if (change->contains(QStringLiteral("file"))) {
            undoFile(*change);
        } else if (change->contains(QStringLiteral("dir"))) {
            undoDirectory(*change);
        } else {
            const QJsonObject card = change->value(QStringLiteral("before")).toObject();
            const QString type = card.value(QStringLiteral("card"))
                                     .toObject()
                                     .value(QStringLiteral("CardTypeID"))
                                     .toString();
            cardsByType[type].append(*change);
        }
    }
    for (const QList<QJsonObject>& changes : std::as_const(cardsByType)) {
        undoCards(changes);
    }
    return m_outcome;
}

void Undoer::undoFile(const QJsonObject& change)
{
    const QString path = storePath(change, "file");
    const QString name = change.value(QStringLiteral("file")).toString();
    const std::optional<QByteArray> current = currentBytes(path);
    const std::optional<QByteArray> before = savedBytes(m_run, change);
    const QString digest = bytesDigest(current);
    if (digest == bytesDigest(before)) {
        return; // never written, or put back already
    }
    if (digest != change.value(QStringLiteral("after")).toString()) {
        m_outcome.leftAsIs << changedSince.arg(name);
        return;
    }
    m_outcome.done
        << (before ? QStringLiteral("put back: %1") : QStringLiteral("removed: %1")).arg(name);
    if (!m_record) {
        if (!before) {
            m_removed.insert(path);
        }
        return;
    }
    m_record->recordFile(path, current, before);
    if (before) {
        contacts::writeFileAtomically(path, *before);
    } else if (!QFile::remove(path)) {
        throw PlatformError(ErrorNumber::PermissionDenied,
                            QStringLiteral("Cannot remove %1").arg(path));
    }
}

void Undoer::undoDirectory(const QJsonObject& change)
{
    const QString path = storePath(change, "dir");
    const QString name = change.value(QStringLiteral("dir")).toString();
    const bool made = change.value(QStringLiteral("made")).toBool();
    if (QFileInfo(path).isDir() != made) {
        return;
    }
    if (made) {
        // The folder marker goes with the folder the run made; anything else keeps it.
        const QDir dir(path);
        QStringList left =
            dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        left.removeIf(
            [&](const QString& entry) { return m_removed.contains(dir.filePath(entry)); });
        if (left.size() > 1 || (left.size() == 1 && left.first() != u".brindle-folder")) {
            m_outcome.leftAsIs << changedSince.arg(name);
            return;
        }
    }
    m_outcome.done
        << (made ? QStringLiteral("removed: %1/") : QStringLiteral("made: %1/")).arg(name);
    if (!m_record) {
        m_removed.insert(path);
        return;
    }
    m_record->recordDirectory(path, !made);
    const bool done = made ? QDir(path).removeRecursively() : QDir().mkpath(path);
    if (!done) {
        throw PlatformError(ErrorNumber::PermissionDenied,
                            QStringLiteral("Cannot change the folder %1").arg(path));
    }
}

void Undoer::undoCards(const QList<QJsonObject>& changes)
{
    const QString company = m_run.header.value(QStringLiteral("companyFile")).toString();
    const bool server = TarvoCards::ServerAddress::names(company);
    TarvoCards::ScopedDatabase scoped(server ? QStringLiteral("QPSQL") : QStringLiteral("QSQLITE"));
    QSqlDatabase& db = scoped.db();
    if (server) {
        TarvoCards::CConnectionSettings settings;
        settings.DataFile = company;
        TarvoCards::openServerDatabase(db, settings, 5);
    } else {
        TarvoCards::useUri(
            db, company,
            m_record ? TarvoCards::OpenMode::ReadWrite : TarvoCards::OpenMode::ReadOnly, 5);
        if (!db.open()) {
            throw PlatformError(ErrorNumber::NotFound,
                                QStringLiteral("Cannot open the company file of the run"));
        }
    }
    try {
        TarvoCards::Dialect::of(db).beginWrite(db, 5, company);
        for (const QJsonObject& change : changes) {
            undoCard(db, change);
        }
        TarvoCards::execOrThrow(db, QStringLiteral("COMMIT"));
    } catch (const PlatformError&) {
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        throw;
    }
}

QString cardName(const std::optional<QJsonObject>& snapshot, qint64 recordId)
{
    const QJsonObject card =
        snapshot ? snapshot->value(QStringLiteral("card")).toObject() : QJsonObject();
    const QString first = card.value(QStringLiteral("FirstName")).toString();
    const QString last = card.value(QStringLiteral("LastName")).toString();
    return QStringLiteral("card %1 %2")
        .arg(recordId)
        .arg(first.isEmpty() ? last : last + QStringLiteral(", ") + first);
}

void Undoer::undoCard(QSqlDatabase& db, const QJsonObject& change)
{
    const qint64 id = change.value(QStringLiteral("card")).toInteger();
    const QJsonValue saved = change.value(QStringLiteral("before"));
    const std::optional<QJsonObject> before =
        saved.isObject() ? std::optional(saved.toObject()) : std::nullopt;
    const std::optional<QJsonObject> current = TarvoCards::cardSnapshot(db, id);
    const QByteArray digest = TarvoCards::snapshotDigest(current);
    if (digest == TarvoCards::snapshotDigest(before)) {
        return;
    }
    const QString name = cardName(before ? before : current, id);
    if (digest != change.value(QStringLiteral("after")).toString().toLatin1()) {
        m_outcome.leftAsIs << changedSince.arg(name);
        return;
    }
    m_outcome.done
        << (before ? QStringLiteral("put back: %1") : QStringLiteral("removed: %1")).arg(name);
    if (m_record) {
        m_record->recordCard(id, current, before);
        TarvoCards::restoreCard(db, id, before);
    }
}

} // namespace

RecordedRun RecordedRun::read(const QString& folder)
{
    RecordedRun run{folder, {}, {}};
    QFile journal(folder + QStringLiteral("/journal.jsonl"));
    if (!journal.open(QIODevice::ReadOnly)) {
        throw damaged(folder, QStringLiteral("it has no journal"));
    }
    const QList<QByteArray> lines = journal.readAll().split('\n');
    for (const QByteArray& line : lines) {
        if (line.isEmpty()) {
            continue;
        }
        const QJsonDocument document = QJsonDocument::fromJson(line);
        if (!document.isObject()) {
            throw damaged(folder, QStringLiteral("a damaged line"));
        }
        if (run.header.isEmpty()) {
            run.header = document.object();
        } else {
            run.changes.append(document.object());
            checkChange(run, run.changes.last());
        }
    }
    if (run.header.value(QStringLiteral("kind")).toString().isEmpty()) {
        throw damaged(folder, QStringLiteral("it has no header"));
    }
    return run;
}

UndoOutcome undoRun(const RecordedRun& run, RunRecord* record)
{
    return Undoer(run, record).run();
}

} // namespace brindle
