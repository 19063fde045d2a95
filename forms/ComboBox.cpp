#include "ComboBox.h"

namespace brindle {

void ComboBox::Clear()
{
    entries.clear();
    ListIndex = -1;
}

void ComboBox::AddItem(const QString& text, qint32 itemData)
{
    entries.append({text, itemData});
}

qint32 ComboBox::selectedItemData() const
{
    return ListIndex >= 0 && ListIndex < entries.size() ? entries[ListIndex].itemData : 0;
}

QString ComboBox::text() const
{
    return ListIndex >= 0 && ListIndex < entries.size() ? entries[ListIndex].text : QString();
}

void MMain::CBOSetListIndexFromItemData(ComboBox& cbo, qint32 lItemData)
{
    for (int i = 0; i < cbo.entries.size(); ++i) {
        if (cbo.entries[i].itemData == lItemData) {
            cbo.ListIndex = i;
            return;
        }
    }
    cbo.ListIndex = cbo.entries.isEmpty() ? -1 : 0;
}

} // namespace brindle
