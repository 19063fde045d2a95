#pragma once

#include <QList>
#include <QString>

namespace brindle {

// A drop-down list whose entries carry a number each (their item data).
struct ComboBox
{
    struct Entry
    {
        QString text;
        qint32 itemData = 0;
        bool operator==(const Entry&) const = default;
    };

    QList<Entry> entries;
    int ListIndex = -1; // the selected entry; -1 for none

    void Clear();
    void AddItem(const QString& text, qint32 itemData);
    // The item data of the selected entry; 0 when none is selected.
    qint32 selectedItemData() const;
    QString text() const;
};

namespace MMain {
// Selects the first entry whose item data is lItemData, else the first entry.
void CBOSetListIndexFromItemData(ComboBox& cbo, qint32 lItemData);
} // namespace MMain

} // namespace brindle
