#include "Sandbox.h"

#include "FileSizeLimit.h"
#include "contactstore/VCard.h"
#include "samples/CompanyFileGenerator.h"

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QSqlRecord>
#include <optional>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace brindle::test {

namespace {

QString stampOf(const QString& path)
{
    struct stat info = {};
    ::stat(QFile::encodeName(path).constData(), &info);
    return u"%1 %2.%3"_s.arg(info.st_ino).arg(info.st_mtim.tv_sec).arg(info.st_mtim.tv_nsec);
}

} // namespace

Sandbox::Sandbox(const QString& rootFolder)
    : root(rootFolder), companyFile(rootFolder + "/Company.db"), store(rootFolder + "/contacts"),
      hive(rootFolder + "/hklm.ini")
{
    QDir().mkpath(root + "/tmp");
    QFile::link(BRINDLE_BIN_DIR "/libtarvocards.so", root + "/libtarvocards.so");
    setSetting("SuppressReport", "False");
    setSetting("ShowOutlookWarning", "False");
}

void Sandbox::makeCompanyFile(int cards, int countryCode, quint32 seed)
{
    samples::writeCompanyFile(companyFile, {cards, countryCode, seed, {}},
                              samples::ExistingFile::Replace);
}

void Sandbox::start(QProcess& process, const QStringList& args) const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("BRINDLE_APP_DIR", root);
    env.insert("BRINDLE_REGISTRY", hive);
    env.insert("BRINDLE_CONTACTS", store);
    // The previous-instance lock lives here, so tests run side by side.
    env.insert("TMPDIR", root + "/tmp");
    env.remove("BRINDLE_DRIVER_VERSION");
    process.setProcessEnvironment(env);
    process.setStandardInputFile(QProcess::nullDevice());
    // The child keeps the limit; this process is back to its own at once.
    std::optional<FileSizeLimit> limit;
    if (fileSizeLimit > 0) {
        limit.emplace(rlim_t(fileSizeLimit));
    }
    process.start(QStringLiteral(BRINDLE_BIN_DIR "/brindle-cli"), args);
    EXPECT_TRUE(process.waitForStarted());
}

CliRun Sandbox::cli(const QStringList& args) const
{
    QProcess process;
    start(process, args);
    const bool finished =
        process.waitForFinished(120'000) && process.exitStatus() == QProcess::NormalExit;
    if (!finished) {
        process.kill();
        process.waitForFinished();
    }
    return {process.exitCode(), finished, QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

QStringList Sandbox::arguments(const char* direction, const QStringList& extra) const
{
    return QStringList{QString::fromLatin1(direction), options()} +
           (extra.isEmpty() ? QStringList{"--rule", "update"} : extra);
}

void Sandbox::addCustomers(const QString& uid, int count, const QByteArray& name) const
{
    const QString folder = store + "/Contacts/VEXO Customers/";
    QDir().mkpath(folder);
    for (int i = 0; i < count; ++i) {
        const QByteArray n = name + QByteArray::number(i);
        writeFile(folder + uid + QString::number(i) + ".vcf",
                  "BEGIN:VCARD\r\nVERSION:4.0\r\nUID:" + uid.toUtf8() + QByteArray::number(i) +
                      "\r\nN:" + n + ";;;;\r\nFN:" + n + "\r\nEND:VCARD\r\n");
    }
}

void Sandbox::copyFrom(const Sandbox& other) const
{
    for (const auto& [mine, theirs] :
         {std::pair{companyFile, other.companyFile}, {hive, other.hive}}) {
        QFile::remove(mine);
        ASSERT_TRUE(QFile::copy(theirs, mine));
    }
    QDir(store).removeRecursively();
    copyFolder(other.store, store);
}

QString scratchPath()
{
    const QFileInfo memory("/dev/shm");
    return (memory.isDir() && memory.isWritable() ? memory.filePath() : QDir::tempPath()) +
           "/brindle-e2e-XXXXXX";
}

CardRows cardRows(const QString& companyFile)
{
    CardRows rows;
    RawFile file(companyFile);
    for (const char* table : {"Cards", "Addresses ORDER BY CardRecordID, Location"}) {
        QSqlQuery query(file.db());
        EXPECT_TRUE(query.exec(QString("SELECT * FROM ") + table));
        while (query.next()) {
            QString& row = rows[query.value(0).toInt()];
            for (int i = 1; i < query.record().count(); ++i) {
                row += query.value(i).toString() + (i + 1 < query.record().count() ? '|' : '\n');
            }
        }
    }
    return rows;
}

int countCards(const QString& companyFile, const QString& condition)
{
    return RawFile(companyFile).value("SELECT count(*) FROM Cards WHERE " + condition).toInt();
}

qint32 firstCard(const QString& companyFile, const QString& condition)
{
    return RawFile(companyFile)
        .value("SELECT CardRecordID FROM Cards JOIN Addresses USING "
               "(CardRecordID) WHERE Location = 1 AND IsInactive = 'N' AND " +
               condition + " ORDER BY CardRecordID")
        .toInt();
}

StoreFiles storeFiles(const QString& storeRoot, const QStringList& patterns, QDir::Filters also)
{
    StoreFiles files;
    QDirIterator it(storeRoot, patterns, QDir::Files | QDir::NoDotAndDotDot | also,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        EXPECT_TRUE(it.fileInfo().isDir() || file.open(QIODevice::ReadOnly)) << qPrintable(path);
        files[path.mid(storeRoot.size() + 1)] = {file.isOpen() ? file.readAll() : "",
                                                 stampOf(path)};
    }
    return files;
}

QString vcardProblem(const QByteArray& bytes)
{
    if (!bytes.startsWith("BEGIN:VCARD\r\n") || !bytes.endsWith("END:VCARD\r\n")) {
        return "not one whole vCard: " + QString::fromUtf8(bytes.right(40));
    }
    return contacts::VCard::parse(bytes).error;
}

QByteArray withPhone(const QByteArray& bytes, const QString& phone, QString* old)
{
    static const QRegularExpression tel("\r\n(TEL[^:]*:)([^\r]*)");
    QString text = QString::fromUtf8(bytes);
    const auto found = tel.match(text);
    EXPECT_TRUE(found.hasMatch());
    if (old) {
        *old = found.captured(2);
    }
    return text.replace(found.capturedStart(2), found.capturedLength(2), phone).toUtf8();
}

qint32 linkedCard(const QByteArray& bytes)
{
    static const QRegularExpression id("\nX-BRINDLE-CUSTOMER-ID[^:]*:(\\d+)\r");
    return id.match(QString::fromUtf8(bytes)).captured(1).toInt();
}

QString contactOf(const StoreFiles& files, qint32 cardRecordId)
{
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        if (linkedCard(it->bytes) == cardRecordId) {
            return it.key();
        }
    }
    return {};
}

QMap<qint32, QByteArrayList> contactsByCard(const StoreFiles& files)
{
    static const QRegularExpression uid("\r\nUID:[^\r]*");
    QMap<qint32, QByteArrayList> byCard;
    for (const ContactFile& file : files) {
        byCard[linkedCard(file.bytes)] << QString::fromUtf8(file.bytes).remove(uid).toUtf8();
    }
    for (QByteArrayList& contacts : byCard) {
        std::sort(contacts.begin(), contacts.end());
    }
    return byCard;
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << qPrintable(path);
    ASSERT_EQ(file.write(bytes), bytes.size());
}

void copyFolder(const QString& from, const QString& to)
{
    ASSERT_EQ(QProcess::execute("cp", {"-a", from + "/.", to}), 0) << qPrintable(from);
}

} // namespace brindle::test
