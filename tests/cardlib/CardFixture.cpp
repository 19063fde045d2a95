#include "CardFixture.h"

#include "PostgresServer.h"
#include "cardlib/ServerAddress.h"
#include "cardlib/SqlUtil.h"

#include <QSqlError>

using brindle::test::PostgresServer;

RawFile::RawFile(const QString& path)
{
    static int counter = 0;
    m_name = QStringLiteral("raw-%1").arg(++counter);
    const bool server = TarvoCards::ServerAddress::names(path);
    m_db = QSqlDatabase::addDatabase(server ? "QPSQL" : "QSQLITE", m_name);
    if (server) {
        TarvoCards::ServerAddress::parse(path).applyTo(m_db, 5, "test");
    } else {
        m_db.setDatabaseName(path);
    }
    EXPECT_TRUE(m_db.open()) << m_db.lastError().text().toStdString();
}

RawFile::~RawFile()
{
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_name);
}

QSqlQuery RawFile::run(const QString& sql, const QVariantList& values)
{
    QSqlQuery query(m_db);
    // A server prepares no statement that changes the schema or a transaction.
    const bool ok = values.isEmpty() ? query.exec(sql)
                                     : query.prepare(sql) &&
                                           (TarvoCards::bindValues(query, values), query.exec());
    EXPECT_TRUE(ok) << sql.toStdString() << query.lastError().text().toStdString();
    return query;
}

QString RawFile::column(const QString& sql, const QVariantList& values)
{
    QSqlQuery query = run(sql, values);
    QStringList rows;
    while (query.next()) {
        rows << query.value(0).toString();
    }
    return rows.join(u',');
}

qint32 RawFile::addCard(const QString& type, const QString& lastName, const QString& firstName,
                        const QString& identification, const QString& inactive)
{
    return value("INSERT INTO Cards (CardTypeID, LastName, FirstName, CardIdentification, "
                 "IsIndividual, IsInactive, Notes, InvoiceDeliveryID) "
                 "VALUES (?, ?, ?, ?, ?, ?, 'old notes', 'P') RETURNING CardRecordID",
                 {type, lastName, firstName, identification, firstName.isEmpty() ? "N" : "Y",
                  inactive})
        .toInt();
}

void RawFile::addAddress(qint32 card, int location, const QString& street, const QString& email)
{
    exec("INSERT INTO Addresses (CardRecordID, Location, StreetLine1, Email) VALUES (?, ?, ?, ?)",
         {card, location, street, email});
}

void CardTest::SetUp()
{
    ASSERT_TRUE(m_dir.isValid());
    ASSERT_TRUE(!server() || PostgresServer::shared().running())
        << "see " << PostgresServer::shared().log().toStdString();
    m_file = newCompanyFile("company.sqlite", {1, "Test", {}});
    RawFile raw(m_file);
    m_acme = raw.addCard("C", "Acme Traders", {}, "CUS100");
    raw.addAddress(m_acme, 3, "Third");
    raw.addAddress(m_acme, 1, "1 Old St", "old@acme.example");
    m_smith = raw.addCard("C", "Smith", "John");
    m_brown = raw.addCard("C", "Brown", "Ann", "*None");
    m_supplier = raw.addCard("S", "Acme Traders");
    m_vale = raw.addCard("V", "Vale Inc");
    m_carter = raw.addCard("E", "Carter", "Ann", {}, "Y");
    raw.addAddress(m_carter, 1, "1 Staff Rd", "ann@example.com");
    m_evans = raw.addCard("E", "Evans", "Bo", "EMP2");
    m_dow = raw.addCard("P", "Dow", "Jo");
    if (m_connectAtSetUp) {
        connect();
    }
}

QString CardTest::newCompanyFile(const QString& name, const TarvoCards::NewCompanyFile& newFile)
{
    const QString made = server() ? PostgresServer::shared().newDatabase() : path(name);
    TarvoCards::createCompanyFile(made, newFile);
    return made;
}
