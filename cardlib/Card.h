#pragma once

#include <QList>
#include <QObject>
#include <QString>

namespace TarvoCards {

// One of a card's five addresses (Location 1 to 5).
struct CAddress
{
    Q_GADGET
    Q_PROPERTY(qint32 Location MEMBER Location)
    Q_PROPERTY(QString StreetLine1 MEMBER StreetLine1)
    Q_PROPERTY(QString StreetLine2 MEMBER StreetLine2)
    Q_PROPERTY(QString StreetLine3 MEMBER StreetLine3)
    Q_PROPERTY(QString StreetLine4 MEMBER StreetLine4)
    Q_PROPERTY(QString City MEMBER City)
    Q_PROPERTY(QString State MEMBER State)
    Q_PROPERTY(QString Postcode MEMBER Postcode)
    Q_PROPERTY(QString Country MEMBER Country)
    Q_PROPERTY(QString Phone1 MEMBER Phone1)
    Q_PROPERTY(QString Phone2 MEMBER Phone2)
    Q_PROPERTY(QString Phone3 MEMBER Phone3)
    Q_PROPERTY(QString Fax MEMBER Fax)
    Q_PROPERTY(QString Email MEMBER Email)
    Q_PROPERTY(QString WWW MEMBER WWW)
    Q_PROPERTY(QString Salutation MEMBER Salutation)
    Q_PROPERTY(QString ContactName MEMBER ContactName)
    Q_PROPERTY(QString Designation MEMBER Designation)
    Q_PROPERTY(QString Department MEMBER Department)

public:
    qint32 Location = 0;
    QString StreetLine1, StreetLine2, StreetLine3, StreetLine4;
    QString City, State, Postcode, Country;
    QString Phone1, Phone2, Phone3, Fax, Email, WWW;
    // Kept by the company file per address; no contact field fills them.
    QString Salutation, ContactName, Designation, Department;

    bool operator==(const CAddress&) const = default;
};

// A card's addresses; Add appends an empty address and returns it.
class CAddresses : public QList<CAddress>
{
public:
    CAddress& Add()
    {
        // A card has at most five addresses: room for one more, not for half again.
        reserve(size() + 1);
        append(CAddress{});
        return last();
    }
};

struct CCard
{
    Q_GADGET
    Q_PROPERTY(QString CardIdentification MEMBER CardIdentification)
    Q_PROPERTY(qint32 CardRecordID MEMBER CardRecordID)
    Q_PROPERTY(QString CardTypeID MEMBER CardTypeID)
    Q_PROPERTY(QString CustomField1 MEMBER CustomField1)
    Q_PROPERTY(QString CustomField2 MEMBER CustomField2)
    Q_PROPERTY(QString CustomField3 MEMBER CustomField3)
    Q_PROPERTY(QString FirstName MEMBER FirstName)
    Q_PROPERTY(QString Identifiers MEMBER Identifiers)
    Q_PROPERTY(QString IsInactive MEMBER IsInactive)
    Q_PROPERTY(QString IsIndividual MEMBER IsIndividual)
    Q_PROPERTY(QString Key MEMBER Key)
    Q_PROPERTY(QString LastName MEMBER LastName)
    Q_PROPERTY(QString Notes MEMBER Notes)
    Q_PROPERTY(QString TransferMessage MEMBER TransferMessage)

public:
    CAddresses Addresses;
    QString CardIdentification;
    qint32 CardRecordID = 0;
    QString CardTypeID;
    QString CustomField1, CustomField2, CustomField3;
    QString FirstName;
    QString Identifiers;
    QString IsInactive = QStringLiteral("N");
    QString IsIndividual = QStringLiteral("N");
    QString Key;
    QString LastName;
    QString Notes;
    QString TransferMessage;
    // The file of the contact a card was made from, when the contact gives
    // no name: what a report names a refused contact by.
    QString ContactFile;

    bool isPerson() const { return IsIndividual == QLatin1String("Y"); }
    bool operator==(const CCard&) const = default;
};

// An item of a per-type import collection: a card plus what the import
// keeps of the stored card and what it reports back.
struct CImportCard : CCard
{
    Q_GADGET
    Q_PROPERTY(QString InvoiceDeliveryID MEMBER InvoiceDeliveryID)
    Q_PROPERTY(QString PurchaseDeliveryID MEMBER PurchaseDeliveryID)
    Q_PROPERTY(QString LogMessage MEMBER LogMessage)
    Q_PROPERTY(QString ErrorCode MEMBER ErrorCode)
    Q_PROPERTY(QString WarningCode MEMBER WarningCode)

public:
    QString InvoiceDeliveryID;
    QString PurchaseDeliveryID;
    QString LogMessage;
    QString ErrorCode;   // not blank: the item was refused
    QString WarningCode; // not blank: written, with LogMessage saying why

    bool operator==(const CImportCard&) const = default;
};

// Collection key of a card: record 57 has the key "57K".
inline QString cardKey(qint32 cardRecordId)
{
    return QString::number(cardRecordId) + QLatin1Char('K');
}

} // namespace TarvoCards
