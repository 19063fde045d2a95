#include "CardFixture.h"
#include "OrdinaryUser.h"
#include "cardlib/DriverInfo.h"
#include "cardlib/Password.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSqlQuery>

using namespace TarvoCards;

namespace {

QByteArray fileDigest(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

class CardConnect : public CardFileTest
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
};

} // namespace

TEST_F(CardConnect, LoginIsCheckedAgainstTheFileUsers)
{
    const QString secured = path("secured.sqlite");
    createCompanyFile(secured, {1, {}, {CompanyUser{"Administrator", "s3cret", {}, 1000}}});
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
    }
}

TEST_F(CardConnect, FileWithoutUsersTakesAnyLoginAndGivesItsCountry)
{
    EXPECT_TRUE(connectAs(m_file, "anyone", "anything"));
    EXPECT_EQ(m_connection.Settings().CountryCode(), countryAustralia);
    const QString us = path("us.sqlite");
    createCompanyFile(us, {countryUnitedStates, {}, {}});
    ASSERT_TRUE(connectAs(us, "", ""));
    EXPECT_EQ(m_connection.Settings().CountryCode(), countryUnitedStates);
}

TEST_F(CardConnect, UnusableFilesAreRefusedAndLeftAlone)
{
    const QString text = path("notes.txt");
    {
        QFile f(text);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("This is not a company file, just some text.\n");
    }
    const QString noCards = path("other.sqlite");
    {
        RawFile raw(noCards);
        raw.exec("CREATE TABLE Things (a)");
    }
    const QString newer = path("newer.sqlite");
    createCompanyFile(newer, {});
    {
        RawFile raw(newer);
        raw.exec("UPDATE Information SET SchemaVersion = 99");
    }
    const QString readOnly = path("readonly.sqlite");
    createCompanyFile(readOnly, {});
    QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ReadUser);
    const QString missing = path("missing.sqlite");

    struct Case
    {
        const char* what;
        QString file;
        qint64 number;
    };
    const Case cases[] = {{"missing", missing, brindle::ErrorNumber::NotFound},
                          {"text file", text, brindle::ErrorNumber::Unspecified},
                          {"no Cards table", noCards, brindle::ErrorNumber::Unspecified},
                          {"newer layout", newer, brindle::ErrorNumber::Unspecified},
                          {"read-only", readOnly, brindle::ErrorNumber::PermissionDenied}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QByteArray before = fileDigest(c.file);
        EXPECT_FALSE(connectAs(c.file, "", ""));
        EXPECT_EQ(m_connection.LastError().number(), c.number);
        EXPECT_FALSE(m_connection.LastError().description().isEmpty());
        EXPECT_EQ(fileDigest(c.file), before);
        EXPECT_EQ(CConnection::current(), nullptr);
    }
    EXPECT_FALSE(QFile::exists(missing));
}

TEST_F(CardConnect, RoundCountsBeyondTheBoundAreADamagedFileRefusedAtOnce)
{
    const QString secured = path("rounds.sqlite");
    createCompanyFile(secured, {1, {}, {CompanyUser{"Administrator", "pw", "salt", 1}}});
    struct Case
    {
        QVariant rounds;
        qint64 number;
    };
    const Case cases[] = {{1, 0},
                          {0, brindle::ErrorNumber::Unspecified},
                          {-5, brindle::ErrorNumber::Unspecified},
                          {maxPasswordRounds + 1, brindle::ErrorNumber::Unspecified},
                          {2147483647, brindle::ErrorNumber::Unspecified},
                          {Q_INT64_C(99999999999), brindle::ErrorNumber::Unspecified},
                          {"many", brindle::ErrorNumber::Unspecified}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rounds.toString().toStdString());
        RawFile(secured).exec("UPDATE Users SET Rounds = ?", {c.rounds});
        EXPECT_EQ(connectAs(secured, "Administrator", "pw"), c.number == 0);
        EXPECT_EQ(m_connection.LastError().number(), c.number);
    }
    EXPECT_THROW(createCompanyFile(path("many.sqlite"),
                                   {1, {}, {CompanyUser{"A", "pw", {}, maxPasswordRounds + 1}}}),
                 brindle::PlatformError);
    EXPECT_FALSE(QFile::exists(path("many.sqlite")));
}

TEST_F(CardConnect, EveryFileNameIsAPath)
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

TEST_F(CardConnect, UnwritableFolderIsRefusedAtConnectAndTheBackupNamesItsFile)
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

TEST_F(CardConnect, FileLockedOrHeldByAWriterIsRefused)
{
    for (const char* begin : {"BEGIN EXCLUSIVE", "BEGIN IMMEDIATE"}) {
        SCOPED_TRACE(begin);
        RawFile other(m_file);
        other.exec(begin);
        other.exec("INSERT INTO Cards (CardTypeID, LastName) VALUES ('C', 'Pending')");
        EXPECT_FALSE(connectAs(m_file, "", ""));
        EXPECT_TRUE(m_connection.LastError().description().contains("locked"));
        other.exec("ROLLBACK");
        EXPECT_TRUE(connectAs(m_file, "", ""));
        m_connection.Disconnect();
    }
}

// A writer killed part way through a transaction leaves the file with some of
// its pages written and the journal that undoes them: the next connection
// rolls them back rather than refusing the file.
TEST_F(CardConnect, JournalOfAKilledWriterIsRolledBack)
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

TEST_F(CardConnect, RecordsetReadsColumnsAndRowsButCannotChangeTheFile)
{
    {
        RawFile raw(m_file);
        raw.addCard("C", "Acme");
    }
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
    RawFile raw(m_file);
    EXPECT_EQ(raw.value("SELECT count(*) FROM Cards").toInt(), 1);
}

TEST_F(CardConnect, DisconnectEndsTheCurrentConnection)
{
    connect();
    EXPECT_EQ(CConnection::current(), &m_connection);
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

TEST(CardDriver, VersionFollowsTheOverride)
{
    struct Case
    {
        const char* value;
        double version;
        bool missing;
    };
    const Case cases[] = {{"", 5001000, false},
                          {"2999999", 2999999, false},
                          {"15000000", 15000000, false},
                          {"missing", 0, true},
                          {"five", 0, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        qputenv("BRINDLE_DRIVER_VERSION", c.value);
        if (c.missing) {
            EXPECT_THROW(CDriverInfo(), brindle::PlatformError);
        } else {
            EXPECT_EQ(CDriverInfo().DriverVersion(), c.version);
        }
    }
    qunsetenv("BRINDLE_DRIVER_VERSION");
    EXPECT_EQ(CDriverInfo().DriverVersion(), 5001000);
}
