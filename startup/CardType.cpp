#include "CardType.h"

#include "TextHelpers.h"
#include "cardlib/Collections.h"

namespace brindle {

std::optional<CardType> CardType::fromLetter(QStringView letter)
{
    if (letter.size() != 1) {
        return std::nullopt;
    }
    switch (letter.front().toUpper().unicode()) {
    case u'C':
        return Customer;
    case u'S':
    case u'V':
        return Supplier;
    case u'E':
        return Employee;
    case u'P':
        return Personal;
    default:
        return std::nullopt;
    }
}

std::optional<CardType> CardType::fromReportCode(qint32 code)
{
    for (const Id id : {Customer, Supplier, Employee, Personal}) {
        if (CardType(id).reportCode() == code) {
            return id;
        }
    }
    return std::nullopt;
}

QString CardType::supplierWordOf(int countryCode)
{
    return countryCode == 2 ? QStringLiteral("Vendor") : QStringLiteral("Supplier");
}

QString CardType::letter(const QString& supplierWord) const
{
    switch (m_id) {
    case Customer:
        return QStringLiteral("C");
    case Supplier:
        return supplierWord.isEmpty() ? QStringLiteral("S")
                                      : firstCharacters(supplierWord, 1).toUpper();
    case Employee:
        return QStringLiteral("E");
    case Personal:
        return QStringLiteral("P");
    }
    return {};
}

QString CardType::word(const QString& supplierWord) const
{
    switch (m_id) {
    case Customer:
        return QStringLiteral("Customer");
    case Supplier:
        return supplierWord;
    case Employee:
        return QStringLiteral("Employee");
    case Personal:
        return QStringLiteral("Personal");
    }
    return {};
}

QString CardType::folderName(const QString& supplierWord) const
{
    switch (m_id) {
    case Customer:
        return QStringLiteral("VEXO Customers");
    case Supplier:
        return QLatin1String("VEXO ") + supplierWord + QLatin1Char('s');
    case Employee:
        return QStringLiteral("VEXO Employees");
    case Personal:
        return QStringLiteral("VEXO Personal");
    }
    return {};
}

qint32 CardType::reportCode() const
{
    switch (m_id) {
    case Customer:
        return 1;
    case Supplier:
        return 2;
    case Personal:
        return 3;
    case Employee:
        return 4;
    }
    return 0;
}

bool CardType::selectedBy(bool customers, bool suppliers, bool employees, bool personal) const
{
    switch (m_id) {
    case Customer:
        return customers;
    case Supplier:
        return suppliers;
    case Employee:
        return employees;
    case Personal:
        return personal;
    }
    return false;
}

std::unique_ptr<TarvoCards::CTypeColl> CardType::newCollection() const
{
    switch (m_id) {
    case Customer:
        return std::make_unique<TarvoCards::CCustomerColl>();
    case Supplier:
        return std::make_unique<TarvoCards::CSupplierColl>();
    case Employee:
        return std::make_unique<TarvoCards::CEmployeeColl>();
    case Personal:
        return std::make_unique<TarvoCards::CPersonalColl>();
    }
    return {};
}

qint32 reportCodeOf(QStringView cardTypeId)
{
    const std::optional<CardType> type = CardType::fromLetter(cardTypeId);
    return type ? type->reportCode() : 0;
}

} // namespace brindle
