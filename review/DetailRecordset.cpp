#include "DetailRecordset.h"

#include <algorithm>
#include <numeric>
#include <vector>

namespace brindle {

void DetailRecordset::sort()
{
    const auto before = [this](qsizetype a, qsizetype b) {
        const DetailRecord& first = m_records[size_t(a)];
        const DetailRecord& second = m_records[size_t(b)];
        if (first.VEXOType != second.VEXOType) {
            return first.VEXOType < second.VEXOType;
        }
        if (first.Status != second.Status) {
            return first.Status < second.Status;
        }
        return QString::compare(first.VEXOLastName, second.VEXOLastName, Qt::CaseInsensitive) < 0;
    };
    // Positions are sorted, not rows, so a large report is never held twice.
    std::vector<qsizetype> order(size_t(m_records.size()));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), before);
    // Row i takes the row at order[i], one cycle of the permutation at a time.
    for (qsizetype start = 0; start < count(); ++start) {
        if (order[size_t(start)] == start) {
            continue;
        }
        DetailRecord held = std::move(m_records[size_t(start)]);
        qsizetype at = start;
        while (order[size_t(at)] != start) {
            const qsizetype from = order[size_t(at)];
            m_records[size_t(at)] = std::move(m_records[size_t(from)]);
            order[size_t(at)] = at;
            at = from;
        }
        m_records[size_t(at)] = std::move(held);
        order[size_t(at)] = at;
    }
}

} // namespace brindle
