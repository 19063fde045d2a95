#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <optional>

namespace brindle {

// Told of each change a run makes to the company file or the contact store
// before the change is final, so that a record of the run can put it back.
// A journal that cannot keep an entry throws PlatformError, and the change
// is not made.
class ChangeJournal
{
public:
    virtual ~ChangeJournal() = default;
    // A file about to hold `after`; `before` is what it holds now, none for a new file.
    virtual void writingFile(const QString& path, const std::optional<QByteArray>& before,
                             const QByteArray& after) = 0;
    virtual void makingDirectory(const QString& path) = 0;
    // A card as it was (none for a new card) and as it is now, inside the
    // transaction that wrote it.
    virtual void wroteCard(qint64 recordId, const std::optional<QJsonObject>& before,
                           const QJsonObject& after) = 0;
};

} // namespace brindle
