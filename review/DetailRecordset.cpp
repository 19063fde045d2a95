#include "DetailRecordset.h"

#include <algorithm>

namespace brindle {

void DetailRecordset::sort()
{
    std::stable_sort(
        m_records.begin(), m_records.end(), [](const DetailRecord& a, const DetailRecord& b) {
            if (a.VEXOType != b.VEXOType) {
                return a.VEXOType < b.VEXOType;
            }
            if (a.Status != b.Status) {
                return a.Status < b.Status;
            }
            return QString::compare(a.VEXOLastName, b.VEXOLastName, Qt::CaseInsensitive) < 0;
        });
}

} // namespace brindle
