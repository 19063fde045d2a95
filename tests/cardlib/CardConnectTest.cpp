#include "CardFixture.h"
#include "OrdinaryUser.h"
#include "PostgresServer.h"
#include "cardlib/DriverInfo.h"
#include "cardlib/Password.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>

using namespace TarvoCards;
using brindle::test::PostgresServer;

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
    bool connectAs(const QString& file, const QString& user, const QString& password)
    {
        m_connection.ConnectionTimeout = 0;
        m_connection.Settings().DataFile = file;
        m_connection.Settings().Username = user;
        m_connection.Settings().Password = password;
        return m_connection.Connect();
    }
    void expectRefused(const QString& file, qint64 number, const char* reason)
    {
        const QByteArray before = fileDigest(file);
        EXPECT_FALSE(connectAs(file, "", ""));
        EXPECT_EQ(m_connection.LastError().number(), number);
        EXPECT_TRUE(m_connection.LastError().description().contains(reason))
            << m_connection.LastError().description().toStdString();
        EXPECT_EQ(fileDigest(file), before);
        EXPECT_EQ(CConnection::current(), nullptr);
    }
};

// The cases only a file has: names, folders, locks and journals.
class CardConnectFile : public CardConnect
{};

} // namespace

CARD_ENGINES(CardConnect);
INSTANTIATE_TEST_SUITE_P(File, CardConnectFile, ::testing::Values(Engine{"sqlite", false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_P(CardConnect, LoginIsCheckedAgainstTheFileUsersAndTheFileGivesItsCountry)
{
    const QString secured = newCompanyFile(
        "secured.sqlite", {2, {}, {CompanyUser{"Administrator", "s3cret", {}, 1000}}});
    struct Case
    {
        const char* user;
        const char* password;
        bool accepted;
    };
    const Case cases[] = {{"Administrator", "s3cret", true},  {"administrator", "s3cret", true},
                          {"Administrator", "S3cret", false}, {"Administrator", "", false},
                          {"Guest", "s3cret", false},         {"", "", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.user) + "/" + c.password);
        EXPECT_EQ(connectAs(secured, c.user, c.password), c.accepted);
        EXPECT_EQ(m_connection.LastError().number(),
                  c.accepted ? 0 : brindle::ErrorNumber::PermissionDenied);
        EXPECT_EQ(CConnection::current() == &m_connection, c.accepted);
        EXPECT_EQ(m_connection.Settings().CountryCode(), c.accepted ? countryUnitedStates : 0);
    }
    EXPECT_TRUE(connectAs(m_file, "anyone", "anything"));
    EXPECT_EQ(m_connection.Settings().CountryCode(), countryAustralia);
}

TEST_P(CardConnect, UnusableFilesAreRefusedAndLeftAlone)
{
    const QString noCards =
        server() ? PostgresServer::shared().newDatabase() : path("other.sqlite");
    RawFile(noCards).exec("CREATE TABLE Things (a INTEGER)");
    const QString newer = newCompanyFile("newer.sqlite", {});
    RawFile(newer).exec("UPDATE Information SET SchemaVersion = 99");
    struct Case
    {
        QString file;
        qint64 number;
        const char* reason;
    };
    QList<Case> cases = {{noCards, brindle::ErrorNumber::Unspecified, "no card tables"},
                         {newer, brindle::ErrorNumber::Unspecified, "newer version"}};
    if (server()) {
        PostgresServer& pg = PostgresServer::shared();
        const QString db = m_file.section(u'/', 3).section(u'?', 0, 0);
        cases +=
            {{pg.address(db, "clerk:wrong"), brindle::ErrorNumber::PermissionDenied,
              "refused the login"},
             {pg.address(db, "clerk"), brindle::ErrorNumber::PermissionDenied, "refused the login"},
             {pg.address("nowhere"), brindle::ErrorNumber::NotFound, "no database nowhere"},
             {pg.address(db).replace("5433", "5999"), brindle::ErrorNumber::Unspecified,
              "does not answer"},
             {"postgresql://host:port", brindle::ErrorNumber::CannotParse, "address"}};
    } else {
        const QString text = path("notes.txt");
        QFile notes(text);
        ASSERT_TRUE(notes.open(QIODevice::WriteOnly) && notes.write("Just some text.\n") > 0);
        notes.close();
        const QString readOnly = newCompanyFile("readonly.sqlite", {});
        QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ReadUser);
        cases += {{path("missing.sqlite"), brindle::ErrorNumber::NotFound, "not found"},
                  {text, brindle::ErrorNumber::Unspecified, "not a company file"},
                  {readOnly, brindle::ErrorNumber::PermissionDenied, "read-only"}};
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file.toStdString());
        expectRefused(c.file, c.number, c.reason);
        EXPECT_FALSE(m_connection.LastError().description().contains("wrong"));
    }
    EXPECT_FALSE(QFile::exists(path("missing.sqlite")));
    if (server()) { // the server's login may be the company file's password
        RawFile(m_file).exec("GRANT ALL ON ALL TABLES IN SCHEMA public TO clerk");
        const QString db = m_file.section(u'/', 3).section(u'?', 0, 0);
        EXPECT_TRUE(connectAs(PostgresServer::shared().address(db, "clerk"), "", "clerk-pw"))
            << m_connection.LastError().description().toStdString();
    }
}

TEST_P(CardConnect, RoundCountsBeyondTheBoundAreADamagedFileRefusedAtOnce)
{
    const QString secured =
        newCompanyFile("rounds.sqlite", {1, {}, {CompanyUser{"Administrator", "pw", "salt", 1}}});
    struct Case
    {
        QVariant rounds;
        bool accepted;
        bool fileOnly; // a server's integer column refuses the value itself
    };
    const Case cases[] = {{1, true, false},           {0, false, false},
                          {-5, false, false},         {maxPasswordRounds + 1, false, false},
                          {2147483647, false, false}, {Q_INT64_C(99999999999), false, true},
                          {"many", false, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rounds.toString().toStdString());
        if (server() && c.fileOnly) {
            continue;
        }
        RawFile(secured).exec("UPDATE Users SET Rounds = ?", {c.rounds});
        EXPECT_EQ(connectAs(secured, "Administrator", "pw"), c.accepted);
        EXPECT_EQ(m_connection.LastError().number(),
                  c.accepted ? 0 : brindle::ErrorNumber::Unspecified);
    }
    const QString many = server() ? PostgresServer::shared().newDatabase() : path("many.sqlite");
    EXPECT_THROW(
        createCompanyFile(many, {1, {}, {CompanyUser{"A", "pw", {}, maxPasswordRounds + 1}}}),
        brindle::PlatformError);
    EXPECT_FALSE(QFile::exists(path("many.sqlite")));
    EXPECT_NO_THROW(createCompanyFile(many, {})) << "a failed fill leaves nothing behind";
    EXPECT_THROW(createCompanyFile(many, {}), brindle::PlatformError);
}

TEST_P(CardConnect, RecordsetReadsColumnsAndRowsButCannotChangeTheFile)
{
    RawFile(m_file).addCard("C", "Acme");
    connect();
    CRecordset recordset;
    ASSERT_TRUE(m_connection.OpenRecordset("SELECT Cards.* FROM Cards WHERE 1=2", 0, recordset));
    EXPECT_EQ(recordset.Fields.Count(), 14);
    EXPECT_EQ(recordset.Fields.Item(0), "CardRecordID");
    EXPECT_EQ(recordset.RecordCount(), 0);
    ASSERT_TRUE(m_connection.OpenRecordset("SELECT LastName FROM Cards", 0, recordset));
    ASSERT_EQ(recordset.RecordCount(), 1);
    EXPECT_EQ(recordset.Rows.at(0).at(0).toString(), "Acme");

    EXPECT_FALSE(m_connection.OpenRecordset("DELETE FROM Cards", 0, recordset));
    EXPECT_NE(m_connection.LastError().number(), 0);
    EXPECT_FALSE(m_connection.OpenRecordset("SELECT nonsense FROM", 0, recordset));
    EXPECT_EQ(RawFile(m_file).value("SELECT count(*) FROM Cards").toInt(), 1);
    EXPECT_TRUE(m_connection.OpenRecordset("SELECT count(*) FROM Cards", 0, recordset));

    m_connection.Disconnect();
    EXPECT_EQ(CConnection::current(), nullptr);
    CCardsColl cards;
    EXPECT_THROW(cards.Load("", ""), brindle::PlatformError);
    CCustomerColl customers;
    customers.Add(0).LastName = "Nobody";
    EXPECT_FALSE(customers.Import());
    bool ok = true;
    EXPECT_THROW(customers.Backup(0, 0, ok), brindle::PlatformError);
    EXPECT_FALSE(ok);
}

TEST_P(CardConnectFile, EveryFileNameIsAPath)
{
    const QString names[] = {"file:a.db?vfs=unix-none&x=", "file:b.db", "odd #%?&=.sqlite",
                             "Ünïcode.sqlite"};
    const QString home = QDir::currentPath();
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        QDir(m_dir.path()).mkdir(QStringLiteral("named"));
        const QString folder = path("named");
        ASSERT_TRUE(QDir::setCurrent(folder)); // names relative to the current folder
        createCompanyFile(name, {});
        const bool connected = connectAs(name, "", "");
        CCustomerColl customers;
        customers.Add(0).LastName = "Written";
        bool ok = connected && customers.Import();
        if (ok) {
            customers.Backup(0, 0, ok);
        }
        m_connection.Disconnect();
        QDir::setCurrent(home);
        EXPECT_TRUE(ok) << m_connection.LastError().description().toStdString();
        EXPECT_EQ(RawFile(folder + u'/' + name).value("SELECT LastName FROM Cards").toString(),
                  "Written");
        const QStringList made = QDir(folder).entryList(QDir::Files);
        EXPECT_EQ(made.size(), 2) << made.join(u'|').toStdString();
        EXPECT_TRUE(made.contains(name));
        QDir(folder).removeRecursively();
    }
    // "//" begins a path too, not a URI's host.
    EXPECT_TRUE(connectAs(QStringLiteral("/") + m_file, "", ""))
        << m_connection.LastError().description().toStdString();
}

// A writable company file in a folder that cannot be written: SQLite could
// not make its journal there, so a read-write connection is refused, and a
// backup that cannot be made names the file it could not create.
bool unwritableFolderIsFoundAtConnect(const QString& file)
{
    CConnection connection;
    connection.ConnectionTimeout = 0;
    connection.Settings().DataFile = file;
    const bool refused =
        !connection.Connect() &&
        connection.LastError().number() == brindle::ErrorNumber::PermissionDenied &&
        connection.LastError().description().contains("folder");
    connection.Settings().AccessMode = CConnectionSettings::readOnlyAccess;
    if (!connection.Connect()) {
        return false;
    }
    CCustomerColl customers;
    bool ok = true;
    QString backupProblem;
    try {
        customers.Backup(0, 0, ok);
    } catch (const brindle::PlatformError& error) {
        backupProblem = error.description();
    }
    return refused && !ok && backupProblem.contains("company-backup-") &&
           backupProblem.contains("-C.sqlite");
}

TEST_P(CardConnectFile, UnwritableFolderIsRefusedAtConnectAndTheBackupNamesItsFile)
{
    const QString folder = path("locked");
    QDir(m_dir.path()).mkdir("locked");
    const QString file = folder + "/company.sqlite";
    createCompanyFile(file, {});
    const auto everyone = QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadOther |
                          QFileDevice::ExeOther | QFileDevice::ReadGroup | QFileDevice::ExeGroup;
    ASSERT_TRUE(QFile::setPermissions(m_dir.path(), everyone));
    ASSERT_TRUE(QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                QFileDevice::ReadOther | QFileDevice::WriteOther));
    ASSERT_TRUE(QFile::setPermissions(folder, everyone));
    EXPECT_TRUE(
        brindle::test::asOrdinaryUser([&file] { return unwritableFolderIsFoundAtConnect(file); }));
    QFile::setPermissions(folder, everyone | QFileDevice::WriteOwner);
}

TEST_P(CardConnectFile, FileLockedOrHeldByAWriterIsRefused)
{
    for (const char* begin : {"BEGIN EXCLUSIVE", "BEGIN IMMEDIATE"}) {
        SCOPED_TRACE(begin);
        RawFile other(m_file);
        other.exec(begin);
        other.exec("INSERT INTO Cards (CardTypeID, LastName) VALUES ('C', 'Pending')");
        expectRefused(m_file, brindle::ErrorNumber::Unspecified, "locked");
        other.exec("ROLLBACK");
        EXPECT_TRUE(connectAs(m_file, "", ""));
        m_connection.Disconnect();
    }
}

// A writer killed part way through a transaction leaves the file with some of
// its pages written and the journal that undoes them: the next connection
// rolls them back rather than refusing the file.
TEST_P(CardConnectFile, JournalOfAKilledWriterIsRolledBack)
{
    const QString killed = path("killed.sqlite");
    {
        RawFile raw(m_file);
        raw.exec("BEGIN");
        for (int i = 0; i < 300; ++i) {
            raw.addCard("C", QStringLiteral("Company %1").arg(i));
        }
        raw.exec("COMMIT");
        // A small cache spills the changes into the file before the commit.
        raw.exec("PRAGMA cache_size = 1");
        raw.exec("BEGIN");
        raw.exec("UPDATE Cards SET Notes = 'half written'");
        for (const QString& suffix : {QString(), QStringLiteral("-journal")}) {
            ASSERT_TRUE(QFile::copy(m_file + suffix, killed + suffix));
        }
        raw.exec("ROLLBACK");
    }
    ASSERT_NE(fileDigest(killed), fileDigest(m_file));
    ASSERT_TRUE(connectAs(killed, "", "")) << m_connection.LastError().description().toStdString();
    m_connection.Disconnect();
    EXPECT_FALSE(QFile::exists(killed + "-journal"));
    EXPECT_EQ(fileDigest(killed), fileDigest(m_file));
}

TEST(CardDriver, VersionFollowsTheOverride)
{
    struct Case
    {
        const char* value;
        double version; // 0: missing
    };
    const Case cases[] = {
        {"", 5001000}, {"2999999", 2999999}, {"15000000", 15000000}, {"missing", 0}, {"five", 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        qputenv("BRINDLE_DRIVER_VERSION", c.value);
        if (c.version == 0) {
            EXPECT_THROW(CDriverInfo(), brindle::PlatformError);
        } else {
            EXPECT_EQ(CDriverInfo().DriverVersion(), c.version);
        }
    }
    qunsetenv("BRINDLE_DRIVER_VERSION");
    EXPECT_EQ(CDriverInfo().DriverVersion(), 5001000);
}
