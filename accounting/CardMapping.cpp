#include "CardRules.h"
#include "run/FProcess.h"
#include "startup/ErrorLog.h"

namespace brindle {

namespace {

using TarvoCards::CAddress;
using TarvoCards::CCard;
using TarvoCards::CImportCard;

const QString crLf = QStringLiteral("\r\n");

// A street line as the company file takes it: one line, no tabs, and a
// single space for a line that is now blank.
QString streetLine(const QString& line)
{
    QString value = line.isEmpty() ? QStringLiteral(" ") : line;
    return value.remove(crLf).remove(QLatin1Char('\t'));
}

} // namespace

QString withWindowsLineBreaks(const QString& text)
{
    QString result = text;
    result.replace(crLf, QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return result.replace(QLatin1Char('\n'), crLf);
}

void setStreetLines(CAddress& address, const QString& street)
{
    const QStringList lines = street.isEmpty() ? QStringList() : street.split(crLf);
    if (lines.isEmpty()) {
        address.StreetLine1.clear();
        return;
    }
    QString* const members[] = {&address.StreetLine1, &address.StreetLine2, &address.StreetLine3,
                                &address.StreetLine4};
    *members[0] = streetLine(lines[0]);
    for (qsizetype k = 1; k < 4; ++k) {
        if (k < lines.size()) {
            *members[k] = streetLine(lines[k]);
        } else if (!address.StreetLine1.isEmpty()) {
            *members[k] = QStringLiteral(" ");
        }
    }
}

bool FProcess::MapCardToCard(const CCard& pobjSourceCard, CImportCard& pobjDestCard)
{
    try {
        const auto orEmpty = [this](const QString& text) {
            return text.isEmpty() ? msEmptyValue : text;
        };
        for (const CAddress& source : pobjSourceCard.Addresses) {
            if (source.Location >= 3) {
                continue;
            }
            CAddress& dest = pobjDestCard.Addresses.Add();
            if (source.Location == 1) {
                dest.Salutation = source.Salutation;
                dest.ContactName = source.ContactName;
                dest.Designation = orEmpty(source.Designation);
                dest.Email = orEmpty(source.Email);
                dest.Fax = orEmpty(source.Fax);
                dest.Phone1 = orEmpty(source.Phone1);
                dest.Phone2 = orEmpty(source.Phone2);
                dest.Phone3 = orEmpty(source.Phone3);
                dest.Department = orEmpty(source.Department);
                dest.WWW = orEmpty(source.WWW);
            }
            dest.Location = source.Location;
            dest.StreetLine1 = orEmpty(source.StreetLine1);
            dest.StreetLine2 = orEmpty(source.StreetLine2);
            dest.StreetLine3 = orEmpty(source.StreetLine3);
            dest.StreetLine4 = orEmpty(source.StreetLine4);
            dest.City = orEmpty(source.City);
            dest.Postcode = orEmpty(source.Postcode);
            dest.State = orEmpty(source.State);
            dest.Country = orEmpty(source.Country);
        }
        pobjDestCard.CardRecordID = pobjSourceCard.CardRecordID;
        pobjDestCard.CardIdentification = pobjSourceCard.CardIdentification;
        pobjDestCard.CustomField1 = orEmpty(pobjSourceCard.CustomField1);
        pobjDestCard.CustomField2 = orEmpty(pobjSourceCard.CustomField2);
        pobjDestCard.CustomField3 = orEmpty(pobjSourceCard.CustomField3);
        pobjDestCard.FirstName = orEmpty(pobjSourceCard.FirstName);
        pobjDestCard.IsInactive = pobjSourceCard.IsInactive;
        pobjDestCard.IsIndividual = pobjSourceCard.IsIndividual;
        pobjDestCard.Key = pobjSourceCard.Key;
        pobjDestCard.LastName = orEmpty(pobjSourceCard.LastName);
        pobjDestCard.Notes = orEmpty(pobjSourceCard.Notes);
        if (pobjSourceCard.CardRecordID > 0) {
            TarvoCards::CTypeColl* stored = backupCollection(pobjSourceCard.CardTypeID.toUpper());
            if (const CImportCard* existing =
                    stored ? stored->Item(TarvoCards::cardKey(pobjSourceCard.CardRecordID))
                           : nullptr) {
                pobjDestCard.InvoiceDeliveryID = existing->InvoiceDeliveryID;
                pobjDestCard.PurchaseDeliveryID = existing->PurchaseDeliveryID;
            }
        }
        return true;
    } catch (const std::exception& error) {
        MMain::logError(QStringLiteral("FProcess.MapCardToCard"), error);
        return false;
    }
}

} // namespace brindle
