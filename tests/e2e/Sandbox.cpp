#include "Sandbox.h"

#include "FileSizeLimit.h"
#include "cardlib/CardFixture.h"
#include "contactstore/VCard.h"
#include "registry/IniHive.h"
#include "samples/CompanyFileGenerator.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QSqlRecord>
#include <gtest/gtest.h>
#include <optional>
#include <sys/stat.h>

namespace brindle::test {

namespace {

const QString brindleKey = "Software\\VEXO\\VEXO Brindle";

QSqlQuery query(RawFile& file, const QString& sql)
{
    QSqlQuery query(file.db());
    EXPECT_TRUE(query.exec(sql)) << qPrintable(sql);
    return query;
}

QString rowText(const QSqlQuery& query, int from)
{
    QStringList values;
    for (int i = from; i < query.record().count(); ++i) {
        values << query.value(i).toString();
    }
    return values.join(u'|');
}

QString stampOf(const QString& path)
{
    struct stat info
    {};
    ::stat(QFile::encodeName(path).constData(), &info);
    return QStringLiteral("%1 %2.%3")
        .arg(info.st_ino)
        .arg(info.st_mtim.tv_sec)
        .arg(info.st_mtim.tv_nsec);
}

} // namespace

Sandbox::Sandbox(const QString& rootFolder)
    : root(rootFolder), companyFile(rootFolder + "/Company.db"), store(rootFolder + "/contacts"),
      hive(rootFolder + "/hklm.ini")
{
    QDir().mkpath(root + "/tmp");
    const QString library = "libtarvocards.so";
    QFile::link(QStringLiteral(BRINDLE_BIN_DIR "/") + library, root + u'/' + library);
    setSetting("SuppressReport", "False");
    setSetting("ShowOutlookWarning", "False");
}

void Sandbox::makeCompanyFile(int cards, int countryCode, quint32 seed)
{
    samples::writeCompanyFile(companyFile, {cards, countryCode, seed, {}},
                              samples::ExistingFile::Replace);
}

void Sandbox::setSetting(const QString& name, const QString& value) const
{
    ASSERT_TRUE(IniHive(hive).writeValue(brindleKey, name, value));
}

QString Sandbox::setting(const QString& name) const
{
    return IniHive(hive).readValue(brindleKey, name);
}

QString Sandbox::options() const
{
    return "DATABASE=" + companyFile + "<CUSTOMERS=YES<SUPPLIERS=YES<EMPLOYEES=YES<PERSONAL=YES";
}

QProcessEnvironment Sandbox::environment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("BRINDLE_APP_DIR", root);
    env.insert("BRINDLE_REGISTRY", hive);
    env.insert("BRINDLE_CONTACTS", store);
    // The previous-instance lock lives here, so tests run side by side.
    env.insert("TMPDIR", root + "/tmp");
    env.remove("BRINDLE_DRIVER_VERSION");
    return env;
}

CliRun Sandbox::cli(const QStringList& args) const
{
    QProcess process;
    start(process, args);
    CliRun result;
    result.finished =
        process.waitForFinished(120'000) && process.exitStatus() == QProcess::NormalExit;
    if (!result.finished) {
        process.kill();
        process.waitForFinished();
    }
    result.exitCode = process.exitCode();
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

QStringList Sandbox::arguments(const char* direction, const QStringList& extra) const
{
    return QStringList{QString::fromLatin1(direction), options()} +
           (extra.isEmpty() ? QStringList{"--rule", "update"} : extra);
}

CliRun Sandbox::run(const char* direction, const QStringList& extra) const
{
    return cli(arguments(direction, extra));
}

void Sandbox::start(QProcess& process, const char* direction) const
{
    start(process, arguments(direction, {}));
}

void Sandbox::start(QProcess& process, const QStringList& args) const
{
    process.setProcessEnvironment(environment());
    process.setStandardInputFile(QProcess::nullDevice());
    // The child keeps the limit; this process is back to its own at once.
    std::optional<FileSizeLimit> limit;
    if (fileSizeLimit > 0) {
        limit.emplace(rlim_t(fileSizeLimit));
    }
    process.start(QStringLiteral(BRINDLE_BIN_DIR "/brindle-cli"), args);
    EXPECT_TRUE(process.waitForStarted());
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
    for (const QString* path : {&companyFile, &hive}) {
        QFile::remove(*path);
    }
    ASSERT_TRUE(QFile::copy(other.companyFile, companyFile));
    ASSERT_TRUE(QFile::copy(other.hive, hive));
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
    QSqlQuery cards = query(file, "SELECT * FROM Cards");
    while (cards.next()) {
        rows[cards.value(0).toInt()] = rowText(cards, 1);
    }
    QSqlQuery addresses = query(file, "SELECT * FROM Addresses ORDER BY CardRecordID, Location");
    while (addresses.next()) {
        rows[addresses.value(0).toInt()] += u'\n' + rowText(addresses, 1);
    }
    return rows;
}

QString integrityCheck(const QString& companyFile)
{
    RawFile file(companyFile);
    QSqlQuery check = query(file, "PRAGMA integrity_check");
    QStringList found;
    while (check.next()) {
        found << check.value(0).toString();
    }
    return found.join(u'\n');
}

void execSql(const QString& companyFile, const QString& statement)
{
    RawFile(companyFile).exec(statement);
}

QVariant sqlValue(const QString& companyFile, const QString& statement)
{
    return RawFile(companyFile).value(statement);
}

int countCards(const QString& companyFile, const QString& condition)
{
    return sqlValue(companyFile, "SELECT count(*) FROM Cards WHERE " + condition).toInt();
}

qint32 firstCard(const QString& companyFile, const QString& condition)
{
    return sqlValue(companyFile, "SELECT CardRecordID FROM Cards JOIN Addresses USING "
                                 "(CardRecordID) WHERE Location = 1 AND IsInactive = 'N' AND " +
                                     condition + " ORDER BY CardRecordID")
        .toInt();
}

StoreFiles storeFiles(const QString& storeRoot)
{
    StoreFiles files;
    QDirIterator it(storeRoot, {"*.vcf"}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << qPrintable(path);
        files[path.mid(storeRoot.size() + 1)] = {file.readAll(), stampOf(path)};
    }
    return files;
}

QStringList temporaryFiles(const QString& storeRoot)
{
    QStringList found;
    QDirIterator it(storeRoot, {".*.tmp"}, QDir::Files | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        found << it.next();
    }
    return found;
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
    const auto parsed = contacts::VCard::parse(bytes);
    if (parsed.card) {
        for (const contacts::VCardProperty& property : parsed.card->properties) {
            if (property.name == u"X-BRINDLE-CUSTOMER-ID") {
                return property.value.toInt();
            }
        }
    }
    return 0;
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
    QDirIterator it(from, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    ASSERT_TRUE(QDir().mkpath(to));
    while (it.hasNext()) {
        const QString path = it.next();
        const QString target = to + path.mid(from.size());
        const bool folder = it.fileInfo().isDir();
        ASSERT_TRUE(QDir().mkpath(folder ? target : QFileInfo(target).path()));
        if (!folder) {
            ASSERT_TRUE(QFile::copy(path, target)) << qPrintable(target);
        }
    }
}

} // namespace brindle::test
