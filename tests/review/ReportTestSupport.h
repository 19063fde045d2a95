#pragma once

#include "ProgramFixture.h"
#include "QtPrinters.h"
#include "cardlib/Collections.h"

namespace brindle::testing {

// A program folder with the error log on, the report written below it.
class ReportTest : public test::ProgramFixture
{
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        enableLog();
    }
    QString reportFolder() const { return folder.path() + "/reports"; }
};

QString readText(const QString& path);
// Compares a written document with its golden file, line by line.
void expectSameDocument(const QString& path, const QString& goldenName);

// A card with a last name, type and optional e-mail at one address location.
TarvoCards::CCard card(const QString& typeId, const QString& lastName,
                       const QString& firstName = {}, const QString& message = {});
TarvoCards::CImportCard importCard(const QString& lastName, const QString& errorCode = {},
                                   const QString& warningCode = {}, const QString& logMessage = {},
                                   const QString& firstName = {});
void addEmail(TarvoCards::CCard& card, qint32 location, const QString& email);

} // namespace brindle::testing
