#pragma once

#include "QtPrinters.h"
#include "cardlib/Collections.h"
#include "registry/Registry.h"
#include "startup/ProgramContext.h"

#include <QHash>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace brindle::testing {

// A registry that lives in memory and asks for an error log.
class MemoryRegistry : public Registry
{
public:
    QString readValue(const QString& keyPath, const QString& valueName) const override;
    bool writeValue(const QString& keyPath, const QString& valueName, const QString& data) override;

private:
    QHash<QString, QString> m_values;
};

// Fixed clock (7 March 2026), British short dates, Supplier as the supplier
// word, a scratch folder for the report and the error log.
class ReportTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    QString reportFolder() const { return m_dir.path() + "/reports"; }
    // The first line of the error log, deciphered; "" when there is none.
    QString firstLogLine() const;

    QTemporaryDir m_dir;
    MemoryRegistry m_registry;
    ProgramContext context{{.registry = &m_registry,
                            .clock = [] { return QDateTime(QDate(2026, 3, 7), QTime(9, 30)); }}};
};

QString readText(const QString& path);
QString golden(const QString& name);
// Compares a written document with its golden file, naming the first line
// that differs.
void expectSameDocument(const QString& path, const QString& goldenName);

// A card with a last name, type and optional e-mail at one address location.
TarvoCards::CCard card(const QString& typeId, const QString& lastName,
                       const QString& firstName = {}, const QString& message = {});
TarvoCards::CImportCard importCard(const QString& lastName, const QString& errorCode = {},
                                   const QString& warningCode = {}, const QString& logMessage = {});
void addEmail(TarvoCards::CCard& card, qint32 location, const QString& email);

} // namespace brindle::testing
