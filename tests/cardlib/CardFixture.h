#pragma once

#include "cardlib/Collections.h"
#include "cardlib/CompanyFile.h"
#include "cardlib/Connection.h"
#include "cardlib/Schema.h"

#include <QSqlDatabase>
#include <QTemporaryDir>
#include <QVariantList>
#include <gtest/gtest.h>

// Direct SQL on a company file, beside the library, to set up and check.
class RawFile
{
public:
    explicit RawFile(const QString& path);
    ~RawFile();

    void exec(const QString& sql, const QVariantList& values = {});
    QVariant value(const QString& sql, const QVariantList& values = {});
    qint32 addCard(const QString& type, const QString& lastName, const QString& firstName = {},
                   const QString& identification = {}, const QString& inactive = "N");
    void addAddress(qint32 card, int location, const QString& street, const QString& email = {});
    QSqlDatabase& db() { return m_db; }

private:
    QString m_name;
    QSqlDatabase m_db;
};

// A temporary folder with one empty company file.
class CardFileTest : public ::testing::Test
{
protected:
    void SetUp() override;
    QString path(const QString& name) const { return m_dir.filePath(name); }
    // Connects m_connection to the company file; fails the test if it cannot.
    void connect();

    QTemporaryDir m_dir;
    QString m_file;
    TarvoCards::CConnection m_connection;
};
