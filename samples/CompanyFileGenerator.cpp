#include "CompanyFileGenerator.h"

#include "CardGenerator.h"
#include "cardlib/Collections.h"
#include "cardlib/CompanyFile.h"
#include "cardlib/Connection.h"
#include "cardlib/ServerAddress.h"
#include "platform/PlatformError.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

namespace brindle::samples {

namespace {

using TarvoCards::CConnection;

// Cards generated before they are written, per batch.
constexpr int batchSize = 2000;

PlatformError refused(const QString& text)
{
    return PlatformError(ErrorNumber::PermissionDenied, text);
}

// The file the sample is to replace or to become: the path itself, or the
// regular file a link at the path names.
QString targetOf(const QString& path, ExistingFile existing)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat entry
    {};
    if (::lstat(native.constData(), &entry) != 0) {
        if (errno == ENOENT) {
            return path;
        }
        throw refused(QStringLiteral("Cannot look at %1: %2")
                          .arg(path, QString::fromLocal8Bit(std::strerror(errno))));
    }
    if (existing == ExistingFile::Keep) {
        throw refused(QStringLiteral("%1 exists already; --force replaces it").arg(path));
    }
    struct stat target
    {};
    if (::stat(native.constData(), &target) != 0 || !S_ISREG(target.st_mode)) {
        throw refused(QStringLiteral("%1 is not a regular file; --force replaces only a regular "
                                     "file, never a folder, device, FIFO or socket, nor a link "
                                     "to one")
                          .arg(path));
    }
    return S_ISLNK(entry.st_mode) ? QFileInfo(path).canonicalFilePath() : path;
}

void importAll(CConnection& connection, SampleRandom& random, CardGenerator& cards, int count)
{
    std::array<std::unique_ptr<TarvoCards::CTypeColl>, 4> byType;
    for (const CardType::Id id : sampleCardTypes) {
        byType[id] = CardType(id).newCollection();
    }
    for (int made = 0; made < count;) {
        for (const int end = qMin(count, made + batchSize); made < end; ++made) {
            const CardType type = random.cardType();
            byType[type.id()]->append(cards.next(type));
        }
        for (const auto& collection : byType) {
            if (!collection->Import(connection)) {
                throw connection.LastError();
            }
            collection->clear();
        }
    }
}

void fill(const QString& path, const CompanyFileOptions& options)
{
    SampleRandom random(options.seed);
    CardGenerator cards(random, options.countryCode);
    TarvoCards::NewCompanyFile newFile{
        options.countryCode, QStringLiteral("Sample Company %1").arg(options.seed), {}};
    if (!options.password.isEmpty()) {
        newFile.users << TarvoCards::CompanyUser{sampleUserName, options.password,
                                                 random.bytes(16)};
    }
    TarvoCards::createCompanyFile(path, newFile);
    CConnection connection;
    connection.Settings().DataFile = path;
    connection.Settings().Username = sampleUserName;
    connection.Settings().Password = options.password;
    if (!connection.Connect()) {
        throw connection.LastError();
    }
    importAll(connection, random, cards, options.cards);
}

void moveIntoPlace(const QString& made, const QString& target, ExistingFile existing)
{
    QString problem;
    if (existing == ExistingFile::Replace) {
        // rename() replaces the old file atomically.
        if (std::rename(QFile::encodeName(made).constData(),
                        QFile::encodeName(target).constData()) != 0) {
            problem = QString::fromLocal8Bit(std::strerror(errno));
        }
    } else {
        // Never replaces a file that appeared meanwhile.
        QFile file(made);
        if (!file.rename(target)) {
            problem = file.errorString();
        }
    }
    if (!problem.isEmpty()) {
        throw refused(QStringLiteral("Cannot write %1: %2").arg(target, problem));
    }
}

} // namespace

void writeCompanyFile(const QString& path, const CompanyFileOptions& options, ExistingFile existing)
{
    if (path.isEmpty()) {
        throw refused(QStringLiteral("An empty path names no company file"));
    }
    if (options.cards < 0 || options.cards > maxSampleCards) {
        throw refused(
            QStringLiteral("%1 cards: give 0 to %2").arg(options.cards).arg(maxSampleCards));
    }
    if (TarvoCards::ServerAddress::names(path)) {
        // A database on a server is filled where it is; one that holds a
        // company file already is refused, --force or not.
        fill(path, options);
        return;
    }
    const QString target = targetOf(path, existing);
    QTemporaryDir work(QFileInfo(target).absolutePath() +
                       QStringLiteral("/.brindle-sample-XXXXXX"));
    if (!work.isValid()) {
        throw refused(QStringLiteral("Cannot write beside %1: %2").arg(target, work.errorString()));
    }
    const QString made = work.filePath(QStringLiteral("company.sqlite"));
    fill(made, options);
    moveIntoPlace(made, target, existing);
}

} // namespace brindle::samples
