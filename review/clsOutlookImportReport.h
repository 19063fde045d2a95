#pragma once

#include "ImportReportWriter.h"

#include <QList>

namespace brindle {

// The report of an export to Outlook: the company-file cards whose contacts
// were added, the cards that were rejected, and the updated cards that
// carry a message. The lists are borrowed; one left null takes no part.
class clsOutlookImportReport : public ImportReportWriter
{
public:
    using CardList = QList<TarvoCards::CCard>;

    explicit clsOutlookImportReport(ProgramContext& context);

    const CardList* AddedOutlookContacts() const { return m_added; }
    void setAddedOutlookContacts(const CardList* cards) { m_added = cards; }
    const CardList* UpdatedOutlookContacts() const { return m_updated; }
    void setUpdatedOutlookContacts(const CardList* cards) { m_updated = cards; }
    const CardList* RejectedOutlookContacts() const { return m_rejected; }
    void setRejectedOutlookContacts(const CardList* cards) { m_rejected = cards; }

    bool CreateReport() override;
    bool AddAddedDetails() { return AddDetails(m_added, 1); }
    bool AddUpdatedDetails() { return AddDetails(m_updated, 2); }
    bool AddRejectedDetails() { return AddDetails(m_rejected, 3); }
    // Lists the cards with the status of the list they came from.
    bool AddDetails(const CardList* cards, qint32 status);

    // 1 customer, 2 supplier or vendor, 3 personal, 4 employee, 0 other.
    static qint32 CardTypeID2EnumValue(const QString& cardTypeId);

private:
    const CardList* m_added = nullptr;
    const CardList* m_updated = nullptr;
    const CardList* m_rejected = nullptr;
};

} // namespace brindle
