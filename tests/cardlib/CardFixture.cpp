#include "CardFixture.h"

#include "cardlib/SqlUtil.h"

#include <QSqlError>
#include <QSqlQuery>

RawFile::RawFile(const QString& path)
{
    static int counter = 0;
    m_name = QStringLiteral("raw-%1").arg(++counter);
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    m_db.setDatabaseName(path);
    EXPECT_TRUE(m_db.open());
}

RawFile::~RawFile()
{
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_name);
}

void RawFile::exec(const QString& sql, const QVariantList& values)
{
    QSqlQuery query(m_db);
    EXPECT_TRUE(query.prepare(sql)) << sql.toStdString() << query.lastError().text().toStdString();
    TarvoCards::bindValues(query, values);
    EXPECT_TRUE(query.exec()) << sql.toStdString() << query.lastError().text().toStdString();
}

QVariant RawFile::value(const QString& sql, const QVariantList& values)
{
    QSqlQuery query(m_db);
    query.prepare(sql);
    TarvoCards::bindValues(query, values);
    EXPECT_TRUE(query.exec()) << sql.toStdString() << query.lastError().text().toStdString();
    return query.next() ? query.value(0) : QVariant();
}

qint32 RawFile::addCard(const QString& type, const QString& lastName, const QString& firstName,
                        const QString& identification, const QString& inactive)
{
    exec(QStringLiteral("INSERT INTO Cards (CardTypeID, LastName, FirstName, CardIdentification, "
                        "IsIndividual, IsInactive, Notes, InvoiceDeliveryID) "
                        "VALUES (?, ?, ?, ?, ?, ?, 'old notes', 'P')"),
         {type, lastName, firstName, identification,
          firstName.isEmpty() ? QStringLiteral("N") : QStringLiteral("Y"), inactive});
    return value(QStringLiteral("SELECT max(CardRecordID) FROM Cards")).toInt();
}

void RawFile::addAddress(qint32 card, int location, const QString& street, const QString& email)
{
    exec(QStringLiteral("INSERT INTO Addresses (CardRecordID, Location, StreetLine1, Email) "
                        "VALUES (?, ?, ?, ?)"),
         {card, location, street, email});
}

void CardFileTest::SetUp()
{
    ASSERT_TRUE(m_dir.isValid());
    m_file = path(QStringLiteral("company.sqlite"));
    TarvoCards::createCompanyFile(m_file, {1, QStringLiteral("Test"), {}});
}

void CardFileTest::connect()
{
    m_connection.ConnectionTimeout = 0;
    m_connection.Settings().DataFile = m_file;
    ASSERT_TRUE(m_connection.Connect()) << m_connection.LastError().description().toStdString();
}
