#include "CardSlots.h"

#include "NameKey.h"

namespace contacts {

namespace {

enum TypeWord : unsigned
{
    Home = 1,
    Work = 2,
    Fax = 4,
    Cell = 8,
    OtherWord = 16,
    Unknown = 32,
    SpouseWord = 64, // comes with Unknown: no kind of telephone or address
};

bool equalsWord(QStringView text, QLatin1StringView word)
{
    if (text.size() != word.size()) {
        return false;
    }
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if ((c >= u'A' && c <= u'Z' ? c + 32 : c) != char16_t(word[i].unicode())) {
            return false;
        }
    }
    return true;
}

// The TYPE words of a property that tell its kind, as bits.
unsigned typeWords(const VCardProperty& p)
{
    static const std::pair<QLatin1StringView, unsigned> words[] = {
        {QLatin1StringView("home"), Home},
        {QLatin1StringView("work"), Work},
        {QLatin1StringView("fax"), Fax},
        {QLatin1StringView("cell"), Cell},
        {QLatin1StringView("mobile"), Cell},
        {QLatin1StringView("other"), OtherWord},
        {QLatin1StringView("pref"), 0},
        {QLatin1StringView("voice"), 0},
        {QLatin1StringView("spouse"), Unknown | SpouseWord}};
    unsigned bits = 0;
    p.forEachType([&](QStringView type) {
        unsigned bit = Unknown;
        for (const auto& [word, value] : words) {
            if (equalsWord(type, word)) {
                bit = value;
            }
        }
        bits |= bit;
    });
    return bits;
}

Selector telephone(unsigned bits)
{
    if (bits & Fax) {
        return bits & Home   ? Selector::HomeFax
               : bits & Work ? Selector::BusinessFax
                             : Selector::OtherFax;
    }
    if (bits & Cell) {
        return Selector::MobileTel;
    }
    if (bits & (Home | Work)) {
        return bits & Home ? Selector::HomeTel : Selector::BusinessTel;
    }
    // A TEL of a kind the object model has no field for is none of them.
    return bits & Unknown ? Selector::First : Selector::OtherTel;
}

Selector address(unsigned bits)
{
    return bits & Home   ? Selector::HomeAdr
           : bits & Work ? Selector::BusinessAdr
                         : Selector::OtherAdr;
}

bool selects(Selector selector, unsigned bits)
{
    switch (selector) {
    case Selector::First:
        return true;
    case Selector::Spouse:
        return bits & SpouseWord;
    case Selector::HomeAdr:
    case Selector::BusinessAdr:
    case Selector::OtherAdr:
        return address(bits) == selector;
    default:
        return telephone(bits) == selector;
    }
}

// A field's vCard form in one version, with the fields each property name can hold.
struct Forms
{
    std::vector<QString> property;
    std::vector<Selector> selector;
    QHash<NameKey, QList<int>> fieldsOf; // views of property
};

const Forms& formsOf(bool is30)
{
    static const auto make = [](bool v30) {
        Forms forms;
        const auto fields = contactFields();
        for (int i = 0; i < int(fields.size()); ++i) {
            const bool replaced = v30 && fields[i].property30;
            const QString name =
                QString::fromLatin1(replaced ? fields[i].property30 : fields[i].property);
            forms.property.push_back(name);
            forms.selector.push_back(replaced ? Selector::First : fields[i].selector);
            forms.fieldsOf[NameKey{forms.property.back()}] += i;
        }
        return forms;
    };
    static const Forms v40 = make(false);
    static const Forms v30 = make(true);
    return is30 ? v30 : v40;
}

} // namespace

// Names mostly come spelt as in the table; other spellings are compared
// without case, letter by letter, so that no lookup allocates.
int fieldNumber(const QString& name)
{
    static const QStringList names = [] {
        QStringList list;
        for (const ContactField& field : contactFields()) {
            list += QString::fromLatin1(field.name);
        }
        return list;
    }();
    static const QHash<NameKey, int> byName = [] {
        QHash<NameKey, int> hash;
        for (int i = 0; i < int(names.size()); ++i) {
            hash.insert(NameKey{names[i]}, i);
        }
        return hash;
    }();
    if (const auto it = byName.constFind(NameKey{name}); it != byName.cend()) {
        return *it;
    }
    const auto fields = contactFields();
    for (int i = 0; i < int(fields.size()); ++i) {
        if (name.compare(QLatin1StringView(fields[i].name), Qt::CaseInsensitive) == 0) {
            return i;
        }
    }
    return -1;
}

bool isPreferred(const VCardProperty& p)
{
    return p.hasParam(QStringLiteral("PREF")) || p.hasType(QLatin1StringView("pref"));
}

VCardProperty blankProperty(const ContactField& field, bool is30)
{
    VCardProperty p;
    const bool replaced = is30 && field.property30;
    p.name = QString::fromLatin1(replaced ? field.property30 : field.property);
    if (field.newTypes && !replaced) {
        p.params +=
            VCardParam{QStringLiteral("TYPE"), QString::fromLatin1(field.newTypes).split(u',')};
    }
    if (field.selector == Selector::Spouse && !replaced) {
        p.params += VCardParam{QStringLiteral("VALUE"), {QStringLiteral("text")}};
    }
    p.value = QString(field.components - 1, u';');
    return p;
}

namespace {

// Made once: adding a property for a field is most of what filling a new
// contact costs, and a copy of a made one shares all its texts.
struct Blank
{
    VCardProperty property;
    unsigned words;
};

const Blank& blankOf(int field, bool is30)
{
    static const auto make = [](bool v30) {
        std::vector<Blank> list;
        for (const ContactField& f : contactFields()) {
            VCardProperty p = blankProperty(f, v30);
            const unsigned words = typeWords(p);
            list.push_back({std::move(p), words});
        }
        return list;
    };
    static const std::vector<Blank> v40 = make(false);
    static const std::vector<Blank> v30 = make(true);
    return (is30 ? v30 : v40)[size_t(field)];
}

} // namespace

CardSlots::CardSlots(const VCard& card) : m_is30(card.is30())
{
    claimAll(card);
}

const QString& CardSlots::propertyOf(int field) const
{
    return formsOf(m_is30).property[size_t(field)];
}

void CardSlots::claimAll(const VCard& card)
{
    m_slots.assign(contactFields().size(), -1);
    for (qsizetype i = 0; i < card.properties.size(); ++i) {
        claim(card, i);
    }
}

// Gives the property at index to the fields that have none before it.
void CardSlots::claim(const VCard& card, qsizetype index)
{
    claim(card, index, std::nullopt);
}

// The TYPE words are known for a property made for a field, worked out otherwise.
void CardSlots::claim(const VCard& card, qsizetype index, std::optional<unsigned> words)
{
    const Forms& forms = formsOf(m_is30);
    const VCardProperty& p = card.properties[index];
    const auto candidates = forms.fieldsOf.constFind(NameKey{p.name});
    if (candidates == forms.fieldsOf.cend()) {
        return;
    }
    if (!words) {
        words = typeWords(p);
    }
    for (int number : *candidates) {
        if (m_slots[size_t(number)] < 0 && selects(forms.selector[size_t(number)], *words)) {
            m_slots[size_t(number)] = index;
        }
    }
}

VCardProperty& CardSlots::findOrAdd(VCard& card, int field)
{
    const qsizetype index = find(field);
    if (index >= 0) {
        return card.properties[index];
    }
    if (card.properties.isEmpty()) {
        card.properties.reserve(qsizetype(contactFields().size()));
    }
    const Blank& blank = blankOf(field, m_is30);
    card.properties += blank.property;
    claim(card, card.properties.size() - 1, blank.words);
    return card.properties.last();
}

void CardSlots::remove(VCard& card, int field)
{
    const qsizetype index = find(field);
    if (index >= 0) {
        card.properties.removeAt(index);
        claimAll(card);
    }
}

void CardSlots::removeAll(VCard& card, const QString& name)
{
    if (card.properties.removeIf([&](const VCardProperty& p) { return p.name == name; })) {
        claimAll(card);
    }
}

void CardSlots::prepend(VCard& card, VCardProperty p)
{
    const bool holdsFields = formsOf(m_is30).fieldsOf.contains(NameKey{p.name});
    card.properties.prepend(std::move(p));
    if (holdsFields) {
        claimAll(card);
        return;
    }
    // A property no field lives in only moves the others one place on.
    for (qsizetype& slot : m_slots) {
        slot += slot >= 0 ? 1 : 0;
    }
}

} // namespace contacts
