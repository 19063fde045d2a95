#include "ReportTestSupport.h"

#include <QFile>

namespace brindle::testing {

QString readText(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "cannot read " << path.toStdString();
        return {};
    }
    return QString::fromUtf8(file.readAll());
}

void expectSameDocument(const QString& path, const QString& goldenName)
{
    const QString golden = readText(QStringLiteral(BRINDLE_TEST_DATA "/") + goldenName);
    EXPECT_EQ(readText(path).split("\r\n"), golden.split("\r\n")) << goldenName.toStdString();
}

TarvoCards::CCard card(const QString& typeId, const QString& lastName, const QString& firstName,
                       const QString& message)
{
    TarvoCards::CCard made;
    made.CardTypeID = typeId;
    made.LastName = lastName;
    made.FirstName = firstName;
    made.IsIndividual = firstName.isEmpty() ? "N" : "Y";
    made.TransferMessage = message;
    return made;
}

TarvoCards::CImportCard importCard(const QString& lastName, const QString& errorCode,
                                   const QString& warningCode, const QString& logMessage,
                                   const QString& firstName)
{
    TarvoCards::CImportCard made;
    static_cast<TarvoCards::CCard&>(made) = card({}, lastName, firstName);
    made.ErrorCode = errorCode;
    made.WarningCode = warningCode;
    made.LogMessage = logMessage;
    return made;
}

void addEmail(TarvoCards::CCard& card, qint32 location, const QString& email)
{
    TarvoCards::CAddress& address = card.Addresses.Add();
    address.Location = location;
    address.Email = email;
}

} // namespace brindle::testing
