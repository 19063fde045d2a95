#pragma once

#include "ImportReportWriter.h"
#include "cardlib/Collections.h"
#include "startup/CardType.h"

#include <QSet>
#include <optional>
#include <utility>

namespace brindle {

// The report of an import into the company file: every card that was
// added or rejected, or that came back with a warning or message.
// The collections are borrowed; one left null takes no part.
class clsVEXOImportReport : public ImportReportWriter
{
public:
    explicit clsVEXOImportReport(ProgramContext& context);

    const TarvoCards::CCustomerColl* VEXOCustomerColl() const { return m_customers; }
    void setVEXOCustomerColl(const TarvoCards::CCustomerColl* cards) { m_customers = cards; }
    const TarvoCards::CSupplierColl* VEXOSupplierColl() const { return m_suppliers; }
    void setVEXOSupplierColl(const TarvoCards::CSupplierColl* cards) { m_suppliers = cards; }
    const TarvoCards::CPersonalColl* VEXOPersonalColl() const { return m_personal; }
    void setVEXOPersonalColl(const TarvoCards::CPersonalColl* cards) { m_personal = cards; }
    const TarvoCards::CEmployeeColl* VEXOEmployeeColl() const { return m_employees; }
    void setVEXOEmployeeColl(const TarvoCards::CEmployeeColl* cards) { m_employees = cards; }
    // The cards of the company file before the import.
    const TarvoCards::CCardsColl* ExistingCards() const { return m_existing; }
    void setExistingCards(const TarvoCards::CCardsColl* cards) { m_existing = cards; }

    bool CreateReport() override;
    bool AddCustomerDetails() { return addDetails(m_customers, CardType::Customer); }
    bool AddSupplierDetails() { return addDetails(m_suppliers, CardType::Supplier); }
    bool AddPersonalDetails() { return addDetails(m_personal, CardType::Personal); }
    bool AddEmployeeDetails() { return addDetails(m_employees, CardType::Employee); }

    // True when a card of ExistingCards has the test card's last name and,
    // for an individual, its first name; exact, case-sensitive. With no
    // existing cards set, nothing existed.
    bool VEXOCardExists(const TarvoCards::CCard& testCard) const;

private:
    // The names of the existing cards, so each look-up is not a walk.
    struct ExistingNames
    {
        QSet<QString> lastNames;
        QSet<std::pair<QString, QString>> fullNames;
    };

    bool addDetails(const TarvoCards::CTypeColl* cards, CardType type);
    DetailRecord recordFor(const TarvoCards::CImportCard& card, qint32 type, bool exists) const;

    const TarvoCards::CCustomerColl* m_customers = nullptr;
    const TarvoCards::CSupplierColl* m_suppliers = nullptr;
    const TarvoCards::CPersonalColl* m_personal = nullptr;
    const TarvoCards::CEmployeeColl* m_employees = nullptr;
    const TarvoCards::CCardsColl* m_existing = nullptr;
    // Held while CreateReport runs; ExistingCards does not change meanwhile.
    std::optional<ExistingNames> m_existingNames;
};

} // namespace brindle
