#include "CardFixture.h"
#include "OrdinaryUser.h"
#include "PostgresServer.h"
#include "cardlib/DriverInfo.h"
#include "cardlib/Password.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <fstream>

using namespace TarvoCards;
using brindle::test::PostgresServer;
namespace ErrorNumber = brindle::ErrorNumber;

namespace {

QByteArray fileDigest(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly)
               ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256)
               : QByteArray();
}

class CardConnect : public CardTest
{
protected:
    CardConnect() { m_connectAtSetUp = false; }
    // Refused with the number and a reason; the file as it was, no connection current.
    void expectRefused(const QString& file, qint64 number, const char* reason)
    {
        SCOPED_TRACE(file.toStdString());
        const QByteArray before = fileDigest(file);
        EXPECT_FALSE(connectAs(file));
        EXPECT_EQ(m_connection.LastError().number(), number);
        const QString said = m_connection.LastError().description();
        EXPECT_TRUE(said.contains(reason) && !said.contains("wrong")) << said.toStdString();
        EXPECT_EQ(fileDigest(file), before);
        EXPECT_FALSE(m_connection.IsConnected());
    }
    QString database() const { return m_file.section(u'/', 3).section(u'?', 0, 0); }
};

// The cases only a file has: names, folders, locks and journals.
class CardConnectFile : public CardConnect
{};

} // namespace

CARD_ENGINES(CardConnect, fileEngine, serverEngine);
CARD_ENGINES(CardConnectFile, fileEngine);

TEST_P(CardConnect, LoginIsCheckedAgainstTheFileUsersAndTheFileGivesItsCountry)
{
    const QString secured = newCompanyFile(
        "secured.sqlite", {2, {}, {CompanyUser{"Administrator", "s3cret", {}, 1000}}});
    const std::tuple<const char*, const char*, bool> cases[] = {
        {"Administrator", "s3cret", true},  {"administrator", "s3cret", true},
        {"Administrator", "S3cret", false}, {"Administrator", "", false},
        {"Guest", "s3cret", false},         {"", "", false}};
    for (const auto& [user, password, accepted] : cases) {
        SCOPED_TRACE(std::string(user) + "/" + password);
        EXPECT_EQ(connectAs(secured, user, password), accepted);
        EXPECT_EQ(m_connection.LastError().number(), accepted ? 0 : ErrorNumber::PermissionDenied);
        EXPECT_EQ(m_connection.IsConnected(), accepted);
        EXPECT_EQ(m_connection.Settings().CountryCode(), accepted ? countryUnitedStates : 0);
    }
    EXPECT_TRUE(connectAs(m_file, "anyone", "anything"));
    EXPECT_EQ(m_connection.Settings().CountryCode(), countryAustralia);
}

TEST_P(CardConnect, UnusableFilesAreRefusedAndLeftAlone)
{
    const QString noCards =
        server() ? PostgresServer::shared().newDatabase() : path("other.sqlite");
    RawFile(noCards).exec("CREATE TABLE Things (a INTEGER)");
    const QString newer = newCompanyFile("newer.sqlite");
    RawFile(newer).exec("UPDATE Information SET SchemaVersion = 99");
    expectRefused(noCards, ErrorNumber::Unspecified, "no card tables");
    expectRefused(newer, ErrorNumber::Unspecified, "newer version");
    if (!server()) {
        std::ofstream(qPrintable(path("notes.txt"))) << "Just some text.\n";
        const QString readOnly = newCompanyFile("readonly.sqlite");
        QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ReadUser);
        expectRefused(path("missing.sqlite"), ErrorNumber::NotFound, "not found");
        expectRefused(path("notes.txt"), ErrorNumber::Unspecified, "not a company file");
        expectRefused(readOnly, ErrorNumber::PermissionDenied, "read-only");
        EXPECT_FALSE(QFile::exists(path("missing.sqlite")));
        for (const char* begin : {"BEGIN EXCLUSIVE", "BEGIN IMMEDIATE"}) { // another writer
            RawFile other(m_file);
            other.exec(begin);
            other.exec("INSERT INTO Cards (CardTypeID, LastName) VALUES ('C', 'Pending')");
            expectRefused(m_file, ErrorNumber::Unspecified, "locked");
            other.exec("ROLLBACK");
            EXPECT_TRUE(connectAs(m_file));
        }
        return;
    }
    PostgresServer& pg = PostgresServer::shared();
    expectRefused(pg.address(database(), "clerk:wrong"), ErrorNumber::PermissionDenied, "refused");
    expectRefused(pg.address(database(), "clerk"), ErrorNumber::PermissionDenied, "refused");
    expectRefused(pg.address("nowhere"), ErrorNumber::NotFound, "no database nowhere");
    expectRefused(pg.address(database()).replace("5433", "5999"), ErrorNumber::Unspecified,
                  "does not answer");
    expectRefused("postgresql://host:port", ErrorNumber::CannotParse, "address");
    // The server's login may be the company file's own password.
    RawFile(m_file).exec("GRANT ALL ON ALL TABLES IN SCHEMA public TO clerk");
    EXPECT_TRUE(connectAs(pg.address(database(), "clerk"), "", "clerk-pw"));
}

TEST_P(CardConnect, RoundCountsBeyondTheBoundAreADamagedFileRefusedAtOnce)
{
    const QString secured =
        newCompanyFile("rounds.sqlite", {1, {}, {CompanyUser{"Administrator", "pw", "salt", 1}}});
    // Past 2147483647 only a file can hold the value: a server's column refuses it.
    const QVariant rounds[] = {
        1, 0, -5, maxPasswordRounds + 1, 2147483647, Q_INT64_C(99999999999), "many"};
    for (const QVariant& value : std::span(rounds).first(server() ? 5 : 7)) {
        SCOPED_TRACE(value.toString().toStdString());
        RawFile(secured).exec("UPDATE Users SET Rounds = ?", {value});
        EXPECT_EQ(connectAs(secured, "Administrator", "pw"), value == 1);
        EXPECT_EQ(m_connection.LastError().number(), value == 1 ? 0 : ErrorNumber::Unspecified);
    }
    const QString many = server() ? PostgresServer::shared().newDatabase() : path("many.sqlite");
    EXPECT_THROW(
        createCompanyFile(many, {1, {}, {CompanyUser{"A", "pw", {}, maxPasswordRounds + 1}}}),
        brindle::PlatformError);
    EXPECT_FALSE(QFile::exists(path("many.sqlite")));
    EXPECT_NO_THROW(createCompanyFile(many, {})) << "a failed fill leaves nothing behind";
    EXPECT_THROW(createCompanyFile(many, {}), brindle::PlatformError);
}

TEST_P(CardConnect, RecordsetReadsButCannotChangeAndNothingWorksDisconnected)
{
    connect();
    CRecordset recordset;
    ASSERT_TRUE(m_connection.OpenRecordset("SELECT Cards.* FROM Cards WHERE 1=2", 0, recordset));
    EXPECT_EQ(recordset.Fields.Count(), 14);
    EXPECT_EQ(recordset.Fields.Item(0) + QString::number(recordset.RecordCount()), "CardRecordID0");
    ASSERT_TRUE(m_connection.OpenRecordset("SELECT LastName FROM Cards WHERE CardTypeID = 'P'", 0,
                                           recordset));
    EXPECT_EQ(recordset.Rows, QList<QVariantList>{{"Dow"}});
    EXPECT_FALSE(m_connection.OpenRecordset("DELETE FROM Cards", 0, recordset));
    EXPECT_NE(m_connection.LastError().number(), 0);
    EXPECT_EQ(cardCount(), 8);

    m_connection.Disconnect();
    EXPECT_THROW(CCardsColl().Load(m_connection, "", ""), brindle::PlatformError);
    CCustomerColl customers;
    customers.Add(0).LastName = "Nobody";
    EXPECT_FALSE(customers.Import(m_connection));
    bool ok = true;
    EXPECT_THROW(customers.Backup(m_connection, 0, 0, ok), brindle::PlatformError);
    EXPECT_FALSE(ok);
}

TEST_P(CardConnectFile, EveryFileNameIsAPath)
{
    const QString home = QDir::currentPath();
    for (const QString name :
         {"file:a.db?vfs=unix-none&x=", "file:b.db", "odd #%?&=.sqlite", "Ünïcode.sqlite"}) {
        SCOPED_TRACE(name.toStdString());
        const QString folder = path("named");
        QDir().mkdir(folder);
        ASSERT_TRUE(QDir::setCurrent(folder)); // names relative to the current folder
        createCompanyFile(name, {});
        CCustomerColl customers;
        customers.Add(0).LastName = "Written";
        bool ok = connectAs(name) && customers.Import(m_connection);
        if (ok) {
            customers.Backup(m_connection, 0, 0, ok);
        }
        m_connection.Disconnect();
        QDir::setCurrent(home);
        EXPECT_TRUE(ok) << m_connection.LastError().description().toStdString();
        EXPECT_EQ(RawFile(folder + u'/' + name).column("SELECT LastName FROM Cards"), "Written");
        const QStringList files = QDir(folder).entryList(QDir::Files);
        EXPECT_TRUE(files.size() == 2 && files.contains(name)) << files.join(' ').toStdString();
        QDir(folder).removeRecursively();
    }
    EXPECT_TRUE(connectAs("/" + m_file)) << "\"//\" begins a path too, not a URI's host";
}

// A writable company file in a folder that cannot be written: SQLite could
// not make its journal there, so a read-write connection is refused, and a
// backup that cannot be made names the file it could not create.
TEST_P(CardConnectFile, UnwritableFolderIsRefusedAtConnectAndTheBackupNamesItsFile)
{
    const QString file = path("locked/company.sqlite");
    QDir().mkdir(path("locked"));
    createCompanyFile(file, {});
    const auto readable = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther;
    ASSERT_TRUE(QFile::setPermissions(m_dir.path(), readable));
    ASSERT_TRUE(QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner |
                                                QFile::ReadOther | QFile::WriteOther));
    ASSERT_TRUE(QFile::setPermissions(path("locked"), readable));
    EXPECT_TRUE(brindle::test::asOrdinaryUser([&] {
        const bool refused = !connectAs(file) &&
                             m_connection.LastError().number() == ErrorNumber::PermissionDenied &&
                             m_connection.LastError().description().contains("folder");
        m_connection.Settings().AccessMode = CConnectionSettings::readOnlyAccess;
        QString problem;
        try {
            CCustomerColl customers;
            bool ok = m_connection.Connect();
            customers.Backup(m_connection, 0, 0, ok);
        } catch (const brindle::PlatformError& error) {
            problem = error.description();
        }
        return refused && problem.contains(QRegularExpression("company-backup-.*-C.sqlite"));
    }));
    QFile::setPermissions(path("locked"), readable | QFile::WriteOwner);
}

// A writer killed part way through a transaction leaves the file with some of
// its pages written and the journal that undoes them: the next connection
// rolls them back rather than refusing the file.
TEST_P(CardConnectFile, JournalOfAKilledWriterIsRolledBack)
{
    const QString killed = path("killed.sqlite");
    {
        RawFile raw(m_file);
        raw.exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 300) "
                 "INSERT INTO Cards (CardTypeID, LastName) SELECT 'C', 'Company ' || i FROM n");
        raw.exec("PRAGMA cache_size = 1"); // the changes spill into the file before the commit
        raw.exec("BEGIN");
        raw.exec("UPDATE Cards SET Notes = hex(zeroblob(300))");
        for (const QString suffix : {"", "-journal"}) {
            ASSERT_TRUE(QFile::copy(m_file + suffix, killed + suffix));
        }
        raw.exec("ROLLBACK");
    }
    ASSERT_NE(fileDigest(killed), fileDigest(m_file));
    ASSERT_TRUE(connectAs(killed)) << m_connection.LastError().description().toStdString();
    m_connection.Disconnect();
    EXPECT_FALSE(QFile::exists(killed + "-journal"));
    EXPECT_EQ(fileDigest(killed), fileDigest(m_file));
}

TEST(CardDriver, VersionFollowsTheOverride)
{
    // version -1: missing
    const std::pair<const char*, double> cases[] = {
        {"", 5001000}, {"2999999", 2999999}, {"missing", -1}, {"five", -1}};
    for (const auto& [value, version] : cases) {
        qputenv("BRINDLE_DRIVER_VERSION", value);
        double got = -1;
        try {
            got = CDriverInfo().DriverVersion();
        } catch (const brindle::PlatformError&) {
        }
        EXPECT_EQ(got, version) << value;
    }
    qunsetenv("BRINDLE_DRIVER_VERSION");
}
