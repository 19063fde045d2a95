#include "FolderContents.h"

#include <functional>

namespace contacts {

namespace {

// Parsed contacts take several times the memory of their files (some 5 KiB
// each); a walk over a large folder only needs the few it is at, and lets
// each go while it is still in the processor's cache. A small folder is kept
// parsed whole: it costs little, and a run that walks it and then writes to
// it, as an export does, would read and parse each contact twice. Part of a
// large folder kept would spare little of that for the memory it takes.
constexpr size_t ParsedContactsKept = 64;
constexpr size_t SmallFolderContacts = 512;

QString safeFileStem(const QString& uid)
{
    QString stem(std::min<qsizetype>(uid.size(), 96), Qt::Uninitialized);
    std::transform(uid.cbegin(), uid.cbegin() + stem.size(), stem.begin(), [](QChar c) {
        const bool safe = c.isLetterOrNumber() && c.unicode() < 0x80;
        return safe || c == u'-' || c == u'_' || c == u'@' || c == u'.' ? c : QChar(u'_');
    });
    while (stem.startsWith(u'.')) {
        stem.remove(0, 1);
    }
    return stem.isEmpty() ? QStringLiteral("contact") : stem;
}

} // namespace

FolderContents::FolderContents(QString directory, std::shared_ptr<SyncList> unflushed)
    : m_directory(std::move(directory)), m_unflushed(std::move(unflushed)),
      m_index(indexedFields().size())
{}

const std::vector<std::shared_ptr<ContactItem>>& FolderContents::items()
{
    if (!m_loaded) {
        load();
    }
    return m_items;
}

void FolderContents::load()
{
    const QStringList names = listDirectory(m_directory, false);
    for (const QString& name : names) {
        m_claimedNames.insert(name.toLower());
        if (!name.endsWith(QLatin1String(".vcf"), Qt::CaseInsensitive) || name.startsWith(u'.')) {
            continue;
        }
        std::shared_ptr<ContactItem> item = ContactItem::load(shared_from_this(), name);
        item->sequence = m_nextSequence++;
        m_items.push_back(std::move(item));
    }
    m_loaded = true;
}

std::shared_ptr<ContactItem> FolderContents::find(const QString& text)
{
    const Filter filter = Filter::parse(text);
    items();
    indexFieldsOf(filter);
    if (!m_allRead) {
        // An item read now is indexed as it is read.
        for (const auto& item : m_items) {
            item->kind();
        }
        m_allRead = true;
    }
    ContactItem* best = nullptr;
    for (ContactItem* item : candidates(filter)) {
        if ((!best || item->sequence < best->sequence) && filter.matches(item->indexed)) {
            best = item;
        }
    }
    return best ? best->shared_from_this() : nullptr;
}

void FolderContents::indexAsRead(const QStringList& names)
{
    std::vector<int> fields;
    for (const QString& name : names) {
        const qsizetype field = indexedFields().indexOf(name);
        if (field >= 0) {
            fields.push_back(int(field));
        }
    }
    index(fields);
}

// A property is indexed on the first Find that names it, in one walk of the
// folder for all the properties that filter adds.
void FolderContents::indexFieldsOf(const Filter& filter)
{
    std::vector<int> fields;
    const std::function<void(const Filter&)> collect = [&](const Filter& part) {
        if (part.op != Filter::Op::Equals) {
            std::for_each(part.children.begin(), part.children.end(), collect);
        } else {
            fields.push_back(part.field);
        }
    };
    collect(filter);
    index(fields);
}

// The items read so far are read again for the fields; the others get them
// as they are read.
void FolderContents::index(const std::vector<int>& fields)
{
    std::vector<int> missing;
    for (const int field : fields) {
        if (std::find(m_indexedFields.begin(), m_indexedFields.end(), field) ==
                m_indexedFields.end() &&
            std::find(missing.begin(), missing.end(), field) == missing.end()) {
            missing.push_back(field);
        }
    }
    if (missing.empty()) {
        return;
    }
    for (const auto& item : m_items) {
        if (item->isRead() && item->kind() == ContactItem::Kind::Contact) {
            addToIndex(*item, item->storedContact(), missing);
        }
    }
    m_indexedFields.insert(m_indexedFields.end(), missing.begin(), missing.end());
}

std::vector<ContactItem*> FolderContents::candidates(const Filter& filter) const
{
    if (filter.op == Filter::Op::Equals && filter.value.isEmpty()) {
        std::vector<ContactItem*> all;
        all.reserve(m_items.size());
        for (const auto& item : m_items) {
            all.push_back(item.get());
        }
        return all;
    }
    if (filter.op == Filter::Op::Equals) {
        return m_index[filter.field].value(filter.value);
    }
    std::vector<ContactItem*> result;
    for (const Filter& child : filter.children) {
        std::vector<ContactItem*> part = candidates(child);
        if (filter.op == Filter::Op::Or) {
            result.insert(result.end(), part.begin(), part.end());
        } else if (&child == &filter.children.front() || part.size() < result.size()) {
            // Every match of an And is among the matches of its narrowest part.
            result = std::move(part);
        }
    }
    return result;
}

QString FolderContents::claimFileName(const QString& uid)
{
    items();
    const QString stem = safeFileStem(uid);
    QString name = stem + QLatin1String(".vcf");
    QString key = name.toLower();
    for (int n = 2; m_claimedNames.contains(key); ++n) {
        name = stem + u'-' + QString::number(n) + QLatin1String(".vcf");
        key = name.toLower();
    }
    m_claimedNames.insert(key);
    return name;
}

void FolderContents::stored(ContactItem& item, const QString& path)
{
    items();
    m_unflushed->add(path);
    if (item.sequence < 0) {
        item.sequence = m_nextSequence++;
        m_items.push_back(item.shared_from_this());
        // From now on its parsed form can be let go like that of any other.
        parsed(item);
    } else {
        removeFromIndex(item);
    }
    if (!m_indexedFields.empty()) {
        addToIndex(item, item.storedContact(), m_indexedFields);
    }
}

void FolderContents::firstRead(ContactItem& item, const ContactCard& contact)
{
    if (!m_indexedFields.empty()) {
        addToIndex(item, contact, m_indexedFields);
    }
    parsed(item);
}

void FolderContents::parsed(ContactItem& item)
{
    m_recentlyParsed.push_back(&item);
    const size_t kept =
        m_items.size() <= SmallFolderContacts ? SmallFolderContacts : ParsedContactsKept;
    while (m_recentlyParsed.size() > kept) {
        m_recentlyParsed.front()->releaseParsed();
        m_recentlyParsed.pop_front();
    }
}

// Empty values stay out of the buckets: a bucket shared by most contacts
// would make every Save of one of them walk it.
void FolderContents::addToIndex(ContactItem& item, const ContactCard& contact,
                                const std::vector<int>& fields)
{
    static const std::vector<int> numbers = [] {
        std::vector<int> list;
        for (const QString& name : indexedFields()) {
            list.push_back(fieldNumber(name));
        }
        return list;
    }();
    if (item.indexed.isEmpty()) {
        // Exactly as many as there are fields: resize would leave room to grow in every item.
        item.indexed = QStringList(indexedFields().size());
    }
    for (const int field : fields) {
        QString& value = item.indexed[field];
        value = indexKey(contact.get(numbers[size_t(field)]).toString());
        if (!value.isEmpty()) {
            m_index[size_t(field)][value].push_back(&item);
        }
    }
}

void FolderContents::removeFromIndex(ContactItem& item)
{
    if (item.indexed.isEmpty()) {
        return;
    }
    for (const int field : m_indexedFields) {
        auto& index = m_index[size_t(field)];
        auto bucket = index.find(item.indexed[field]);
        if (bucket != index.end()) {
            std::erase(*bucket, &item);
            if (bucket->empty()) {
                index.erase(bucket);
            }
        }
    }
}

} // namespace contacts
