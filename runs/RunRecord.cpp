#include "RunRecord.h"

#include "RunFiles.h"
#include "cardlib/CardSnapshot.h"
#include "platform/PlatformError.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QJsonDocument>

namespace brindle {

namespace {

PlatformError recordFailure(const QString& what)
{
    return PlatformError(ErrorNumber::PermissionDenied,
                         QStringLiteral("The run's record cannot be kept: %1").arg(what));
}

QJsonValue orNull(const std::optional<QJsonObject>& object)
{
    return object ? QJsonValue(*object) : QJsonValue();
}

} // namespace

QString bytesDigest(const std::optional<QByteArray>& bytes)
{
    if (!bytes) {
        return QStringLiteral("none");
    }
    return QString::fromLatin1(
        QCryptographicHash::hash(*bytes, QCryptographicHash::Sha256).toHex());
}

std::unique_ptr<RunRecord> RunRecord::create(const QString& runsFolder, const QString& kind,
                                             const QJsonObject& header)
{
    const QString folder = makePrivateFolder(runsFolder, kind);
    std::unique_ptr<RunRecord> record(
        new RunRecord(folder, header.value(QStringLiteral("store")).toString()));
    QJsonObject first = header;
    first.insert(QStringLiteral("kind"), kind);
    first.insert(QStringLiteral("started"),
                 QDateTime::currentDateTime().toString(Qt::ISODateWithMs));
    record->append(first);
    return record;
}

RunRecord::RunRecord(QString folder, QString storeRoot)
    : m_folder(std::move(folder)), m_storeRoot(std::move(storeRoot)),
      m_journal(m_folder + QStringLiteral("/journal.jsonl"))
{
    if (!m_journal.open(QIODevice::WriteOnly | QIODevice::Append)) {
        throw recordFailure(m_journal.errorString());
    }
    m_journal.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
}

void RunRecord::append(const QJsonObject& entry)
{
    const QByteArray line = QJsonDocument(entry).toJson(QJsonDocument::Compact) + '\n';
    if (m_journal.write(line) != line.size() || !m_journal.flush()) {
        throw recordFailure(m_journal.errorString());
    }
    ++m_changes;
}

QString RunRecord::keepBytes(const QByteArray& bytes)
{
    const QString name = QStringLiteral("files/%1").arg(++m_copies);
    writePrivateFile(m_folder + u'/' + name, bytes);
    return name;
}

void RunRecord::writingFile(const QString& path, const std::optional<QByteArray>& before,
                            const QByteArray& after)
{
    recordFile(path, before, after);
}

void RunRecord::recordFile(const QString& path, const std::optional<QByteArray>& before,
                           const std::optional<QByteArray>& after)
{
    QJsonObject entry{{QStringLiteral("file"), QDir(m_storeRoot).relativeFilePath(path)},
                      {QStringLiteral("before"), before ? keepBytes(*before) : QJsonValue()},
                      {QStringLiteral("after"), bytesDigest(after)}};
    append(entry);
}

void RunRecord::makingDirectory(const QString& path)
{
    recordDirectory(path, true);
}

void RunRecord::recordDirectory(const QString& path, bool made)
{
    append({{QStringLiteral("dir"), QDir(m_storeRoot).relativeFilePath(path)},
            {QStringLiteral("made"), made}});
}

void RunRecord::wroteCard(qint64 recordId, const std::optional<QJsonObject>& before,
                          const QJsonObject& after)
{
    recordCard(recordId, before, after);
}

void RunRecord::recordCard(qint64 recordId, const std::optional<QJsonObject>& before,
                           const std::optional<QJsonObject>& after)
{
    QJsonObject entry{
        {QStringLiteral("card"), recordId},
        {QStringLiteral("before"), orNull(before)},
        {QStringLiteral("after"), QString::fromLatin1(TarvoCards::snapshotDigest(after))}};
    append(entry);
}

} // namespace brindle
