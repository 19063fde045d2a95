#include "Items.h"

#include "FolderContents.h"

namespace contacts {

namespace {

constexpr int ContactItemType = 2;

} // namespace

Items::Items(std::shared_ptr<FolderContents> contents) : m_contents(std::move(contents)) {}

int Items::Count() const
{
    return int(m_contents->items().size());
}

std::shared_ptr<ContactItem> Items::Item(int index) const
{
    const auto& items = m_contents->items();
    if (index < 1 || index > int(items.size())) {
        raise(brindle::ErrorNumber::NotFound,
              QStringLiteral("Array index out of bounds: %1").arg(index));
    }
    return items[size_t(index - 1)];
}

std::shared_ptr<ContactItem> Items::Find(const QString& filter) const
{
    return m_contents->find(filter);
}

void Items::indexAsRead(const QStringList& names) const
{
    m_contents->indexAsRead(names);
}

std::shared_ptr<ContactItem> Items::Add(int type) const
{
    if (type != ContactItemType) {
        raise(brindle::ErrorNumber::Unspecified,
              QStringLiteral("Only contact items (type 2) can be added to a contacts folder"));
    }
    return ContactItem::create(m_contents);
}

} // namespace contacts
