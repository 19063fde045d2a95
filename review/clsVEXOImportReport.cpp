#include "clsVEXOImportReport.h"

#include <QScopeGuard>

namespace brindle {

using TarvoCards::CCard;
using TarvoCards::CImportCard;

clsVEXOImportReport::clsVEXOImportReport(ProgramContext& context)
    : ImportReportWriter(reportWording(ImportReport::VEXO), context)
{}

bool clsVEXOImportReport::CreateReport()
{
    if (m_existing) {
        m_existingNames.emplace();
        for (const CCard& card : *m_existing) {
            m_existingNames->lastNames.insert(card.LastName);
            m_existingNames->fullNames.insert({card.LastName, card.FirstName});
        }
    }
    const auto forgetNames = qScopeGuard([this] { m_existingNames.reset(); });
    // Employees go before personal cards.
    return gatherAndGenerate({{m_customers != nullptr, [this] { return AddCustomerDetails(); }},
                              {m_suppliers != nullptr, [this] { return AddSupplierDetails(); }},
                              {m_employees != nullptr, [this] { return AddEmployeeDetails(); }},
                              {m_personal != nullptr, [this] { return AddPersonalDetails(); }}});
}

bool clsVEXOImportReport::addDetails(const TarvoCards::CTypeColl* cards, CardType type)
{
    if (!detail()) {
        return false;
    }
    if (!cards) {
        return true;
    }
    for (const CImportCard& card : *cards) {
        try {
            const bool exists = VEXOCardExists(card);
            const bool quiet =
                isBlank(card.ErrorCode) && isBlank(card.WarningCode) && isBlank(card.LogMessage);
            if (ShowUpdatedCards() || !quiet || !exists) {
                detail()->append(recordFor(card, type.reportCode(), exists));
            }
        } catch (const std::exception& error) {
            logFailure("AddDetails", error);
        }
        yieldToEventLoop();
    }
    return true;
}

DetailRecord clsVEXOImportReport::recordFor(const CImportCard& card, qint32 type, bool exists) const
{
    DetailRecord record = recordOf(card, type);
    if (!isBlank(card.ErrorCode)) {
        record.Status = 3;
        record.Errors = card.LogMessage;
        return record;
    }
    record.Status = exists ? 2 : 1;
    if (!isBlank(card.WarningCode)) {
        record.Warnings = card.LogMessage;
    }
    return record;
}

bool clsVEXOImportReport::VEXOCardExists(const CCard& testCard) const
{
    if (!m_existing) {
        return false;
    }
    const bool individual = isIndividual(testCard);
    if (m_existingNames) {
        return individual
                   ? m_existingNames->fullNames.contains({testCard.LastName, testCard.FirstName})
                   : m_existingNames->lastNames.contains(testCard.LastName);
    }
    for (const CCard& card : *m_existing) {
        if (card.LastName == testCard.LastName &&
            (!individual || card.FirstName == testCard.FirstName)) {
            return true;
        }
    }
    return false;
}

} // namespace brindle
