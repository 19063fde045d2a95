#pragma once

#include <QString>
#include <array>
#include <memory>
#include <optional>

namespace TarvoCards {
class CTypeColl;
}

namespace brindle {

// The four card types and every name the program gives them. The names of
// suppliers follow the company file's country through the supplier word:
// "Supplier", or "Vendor" in a United States file.
class CardType
{
public:
    enum Id
    {
        Customer,
        Supplier,
        Employee,
        Personal
    };

    constexpr CardType(Id id) : m_id(id) {}
    constexpr Id id() const { return m_id; }
    constexpr bool operator==(const CardType&) const = default;

    // The type of a card's CardTypeID, in any case; "S" and "V" are suppliers.
    static std::optional<CardType> fromLetter(QStringView letter);
    // The type of a reports' type code (see reportCode).
    static std::optional<CardType> fromReportCode(qint32 code);
    // The supplier word of a company file's country code (2 United States).
    static QString supplierWordOf(int countryCode);

    // "C", "E", "P"; a supplier's is the first letter of the supplier word
    // ("S" when the word is empty).
    QString letter(const QString& supplierWord) const;
    // "Customer", the supplier word, "Employee", "Personal": the word an
    // export writes into a contact's categories and the captions use.
    QString word(const QString& supplierWord) const;
    // The word the loading looks for in a contact's categories.
    QString recognisedWord(const QString& supplierWord) const
    {
        return word(supplierWord).toUpper();
    }
    // The contacts sub-folder of the type ("VEXO Customers", "VEXO Vendors"),
    // also the heading of the type's section in the reports.
    QString folderName(const QString& supplierWord) const;
    // The reports' type code: 1 customer, 2 supplier, 3 personal, 4 employee.
    qint32 reportCode() const;
    // True when the option switch of the type is on.
    bool selectedBy(bool customers, bool suppliers, bool employees, bool personal) const;
    // A new, empty per-type collection of the card library for the type.
    std::unique_ptr<TarvoCards::CTypeColl> newCollection() const;

private:
    Id m_id;
};

// The reports' type code of a CardTypeID; 0 for a letter of no type.
qint32 reportCodeOf(QStringView cardTypeId);

} // namespace brindle
