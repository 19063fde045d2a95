#pragma once

#include "ProgramFixture.h"
#include "QtPrinters.h"
#include "cardlib/Collections.h"

#include <QFile>

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

inline QString readText(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return QString::fromUtf8(file.readAll());
}

// Compares a written document with its golden file, line by line.
inline void expectSameDocument(const QString& path, const QString& goldenName)
{
    const QString golden = readText(BRINDLE_TEST_DATA "/" + goldenName);
    EXPECT_EQ(readText(path).split("\r\n"), golden.split("\r\n")) << goldenName.toStdString();
}

// A card with a last name and type, an individual when it has a first name.
inline TarvoCards::CCard card(const QString& typeId, const QString& lastName,
                              const QString& firstName = {}, const QString& message = {})
{
    TarvoCards::CCard made;
    made.CardTypeID = typeId;
    made.LastName = lastName;
    made.FirstName = firstName;
    made.IsIndividual = firstName.isEmpty() ? "N" : "Y";
    made.TransferMessage = message;
    return made;
}

inline TarvoCards::CImportCard importCard(const QString& lastName, const QString& errorCode = {},
                                          const QString& warningCode = {},
                                          const QString& logMessage = {},
                                          const QString& firstName = {})
{
    TarvoCards::CImportCard made;
    static_cast<TarvoCards::CCard&>(made) = card({}, lastName, firstName);
    made.ErrorCode = errorCode;
    made.WarningCode = warningCode;
    made.LogMessage = logMessage;
    return made;
}

// An e-mail at one address location.
inline void addEmail(TarvoCards::CCard& card, qint32 location, const QString& email)
{
    TarvoCards::CAddress& address = card.Addresses.Add();
    address.Location = location;
    address.Email = email;
}

} // namespace brindle::testing
