#pragma once

#include "platform/ChangeJournal.h"

#include <QFile>
#include <QJsonObject>
#include <memory>

namespace brindle {

// What a run changed, kept in its own folder of the program folder's runs/
// as it goes, so that even a run killed part way can be undone: one JSON
// line per change, written before the change is final, and the old bytes
// of each contact file it replaces. It holds no password.
class RunRecord : public ChangeJournal
{
public:
    // kind: "import", "export", "undo"; the folder is named after the time and the kind.
    // Throws PlatformError when the folder cannot be made.
    static std::unique_ptr<RunRecord> create(const QString& runsFolder, const QString& kind,
                                             const QJsonObject& header);

    QString folder() const { return m_folder; }
    bool isEmpty() const { return m_changes == 0; }
    QString storeRoot() const { return m_storeRoot; }

    void writingFile(const QString& path, const std::optional<QByteArray>& before,
                     const QByteArray& after) override;
    void makingDirectory(const QString& path) override;
    void wroteCard(qint64 recordId, const std::optional<QJsonObject>& before,
                   const QJsonObject& after) override;

    // The same, where the change leaves nothing (an undo removes what a run made).
    void recordFile(const QString& path, const std::optional<QByteArray>& before,
                    const std::optional<QByteArray>& after);
    void recordCard(qint64 recordId, const std::optional<QJsonObject>& before,
                    const std::optional<QJsonObject>& after);
    void recordDirectory(const QString& path, bool made);

private:
    RunRecord(QString folder, QString storeRoot);
    void append(const QJsonObject& entry);
    QString keepBytes(const QByteArray& bytes);

    QString m_folder;
    QString m_storeRoot;
    QFile m_journal;
    int m_copies = 0;
    int m_changes = -1; // the header is no change
};

// The digest a record keeps of a file's bytes; none has one of its own.
QString bytesDigest(const std::optional<QByteArray>& bytes);

} // namespace brindle
