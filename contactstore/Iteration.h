#pragma once

namespace contacts {

// For Each over a collection of the object model: walks Item(1) to
// Item(Count()) as they were when the walk began. It holds its own copy of
// the collection, which is only a reference to a folder, so that a walk
// over a collection that a call just returned stays valid.
template <typename Collection> class ItemIterator
{
public:
    ItemIterator(const Collection& collection, int index) : m_collection(collection), m_index(index)
    {}

    auto operator*() const { return m_collection.Item(m_index); }
    ItemIterator& operator++()
    {
        ++m_index;
        return *this;
    }
    bool operator==(const ItemIterator& other) const { return m_index == other.m_index; }

private:
    Collection m_collection;
    int m_index;
};

} // namespace contacts
