#pragma once

#include "cardlib/Collections.h"
#include "cardlib/CompanyFile.h"
#include "cardlib/Connection.h"
#include "cardlib/Schema.h"

#include <QSqlDatabase>
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

    bool exec(const QString& sql, const QVariantList& values = {});
    QVariant value(const QString& sql, const QVariantList& values = {});
    // The first column of every row, joined by ",".
    QString column(const QString& sql, const QVariantList& values = {});
    qint32 addCard(const QString& type, const QString& lastName, const QString& firstName = {},
                   const QString& identification = {}, const QString& inactive = "N");
    void addAddress(qint32 card, int location, const QString& street, const QString& email = {});
    QSqlDatabase& db() { return m_db; }

private:
    QString m_name;
    QSqlDatabase m_db;
};

// Where the company file lives: a file, or a database on a private server.
struct Engine
{
    const char* name;
    bool server;
};

// A temporary folder and one empty company file on the engine of the row.
class CardTest : public ::testing::TestWithParam<Engine>
{
protected:
    void SetUp() override;
    bool server() const { return GetParam().server; }
    QString path(const QString& name) const { return m_dir.filePath(name); }
    // Another company file (a new database on a server).
    QString newCompanyFile(const QString& name, const TarvoCards::NewCompanyFile& newFile);
    // Connects m_connection to the company file; fails the test if it cannot.
    void connect();

    QTemporaryDir m_dir;
    QString m_file;
    TarvoCards::CConnection m_connection;
};

#define CARD_ENGINES(suite)                                                                        \
    INSTANTIATE_TEST_SUITE_P(                                                                      \
        Engines, suite, ::testing::Values(Engine{"sqlite", false}, Engine{"postgresql", true}),    \
        [](const auto& info) { return std::string(info.param.name); })
