#pragma once

#include "cardlib/Collections.h"
#include "cardlib/CompanyFile.h"
#include "cardlib/Connection.h"
#include "cardlib/Schema.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QVariantList>
#include <gtest/gtest.h>

// Direct SQL on a company file or server database, beside the library, to
// set up and check.
class RawFile
{
public:
    explicit RawFile(const QString& path);
    ~RawFile();

    void exec(const QString& sql, const QVariantList& values = {}) { value(sql, values); }
    QVariant value(const QString& sql, const QVariantList& values = {})
    {
        QSqlQuery query = run(sql, values);
        return query.next() ? query.value(0) : QVariant();
    }
    // The first column of every row, joined by ",".
    QString column(const QString& sql, const QVariantList& values = {});
    int cardCount() { return value("SELECT count(*) FROM Cards").toInt(); }
    qint32 addCard(const QString& type, const QString& lastName, const QString& firstName = {},
                   const QString& identification = {}, const QString& inactive = "N");
    void addAddress(qint32 card, int location, const QString& street, const QString& email = {});
    QSqlDatabase& db() { return m_db; }

private:
    QSqlQuery run(const QString& sql, const QVariantList& values);

    QString m_name;
    QSqlDatabase m_db;
};

// Where the company file lives: a file, or a database on a private server.
struct Engine
{
    const char* name;
    bool server;
};

// A company file on the engine of the row, holding the same cards for
// every test: the record IDs are members.
class CardTest : public ::testing::TestWithParam<Engine>
{
protected:
    void SetUp() override;
    bool server() const { return GetParam().server; }
    QString path(const QString& name) const { return m_dir.filePath(name); }
    // Another company file (a new database on a server).
    QString newCompanyFile(const QString& name, const TarvoCards::NewCompanyFile& newFile = {});
    bool connectAs(const QString& file, const QString& user = {}, const QString& password = {})
    {
        m_connection.ConnectionTimeout = 0;
        m_connection.Settings().DataFile = file;
        m_connection.Settings().Username = user;
        m_connection.Settings().Password = password;
        return m_connection.Connect();
    }
    // Connects m_connection to file; fails the test if it cannot.
    void connect(const QString& file = {})
    {
        ASSERT_TRUE(connectAs(file.isEmpty() ? m_file : file))
            << m_connection.LastError().description().toStdString();
    }
    QString stored(const QString& sql, qint32 id) { return RawFile(m_file).column(sql, {id}); }
    int cardCount() { return RawFile(m_file).cardCount(); }

    bool m_connectAtSetUp = true;
    QTemporaryDir m_dir;
    QString m_file;
    TarvoCards::CConnection m_connection;
    qint32 m_acme = 0, m_smith = 0, m_brown = 0, m_supplier = 0, m_vale = 0, m_carter = 0,
           m_evans = 0, m_dow = 0;
};

// The suite's tests run on the engines given: Engine{"sqlite", false}, ...
#define CARD_ENGINES(suite, ...)                                                                   \
    INSTANTIATE_TEST_SUITE_P(Engines, suite, ::testing::Values(__VA_ARGS__),                       \
                             [](const auto& info) { return std::string(info.param.name); })
inline const Engine fileEngine{"sqlite", false}, serverEngine{"postgresql", true};
