#pragma once

#include <QString>
#include <deque>

namespace brindle {

// One row of an import report, with the fields the report sorts and shows.
struct DetailRecord
{
    qint32 VEXOType = 0; // 1 customer, 2 supplier, 3 personal, 4 employee, 0 unknown
    QString VEXOCardRecordID;
    QString VEXOLastName;
    QString VEXOFirstName;
    QString VEXOEmail;
    QString Errors;
    QString Warnings;
    qint32 Status = 0; // 1 added, 2 updated, 3 rejected
};

// The rows of a report, held in memory until the document is written: in
// small blocks, which the room a run has just freed can take.
class DetailRecordset
{
public:
    using const_iterator = std::deque<DetailRecord>::const_iterator;

    void append(DetailRecord record) { m_records.push_back(std::move(record)); }
    qsizetype count() const { return qsizetype(m_records.size()); }
    const DetailRecord& at(qsizetype index) const { return m_records.at(size_t(index)); }
    const_iterator begin() const { return m_records.cbegin(); }
    const_iterator end() const { return m_records.cend(); }

    // Orders by type, then status, then last name. Last names compare
    // ordinally without regard to case, so "de Vries" sits among the D's;
    // rows that still tie keep the order in which they were added.
    void sort();

private:
    std::deque<DetailRecord> m_records;
};

} // namespace brindle
