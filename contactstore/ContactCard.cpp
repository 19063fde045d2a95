#include "ContactCard.h"

#include "Object.h"

#include <QDate>
#include <QVarLengthArray>

namespace contacts {

namespace {

enum class Kind
{
    Text,
    Uri,
    Component,
    Categories,
    Date,
    Mailing
};
enum class Tel
{
    None,
    Home,
    Business,
    Mobile,
    Other,
    HomeFax,
    BusinessFax,
    OtherFax
};
enum class Adr
{
    Home = 1,
    Business = 2,
    Other = 3
};

// Tells from the TYPE words of a property (typeWords) whether a field is in it.
using Matcher = bool (*)(unsigned typeWords);

struct Field
{
    const char* name;
    Kind kind;
    const char* property;
    Matcher matches = nullptr; // null: the first property of that name
    const char* newTypes = nullptr;
    int component = 0;
    int components = 1;
};

enum TypeWord : unsigned
{
    Home = 1,
    Work = 2,
    Fax = 4,
    Cell = 8,
    OtherWord = 16,
    Unknown = 32,
    Spouse = 64, // comes with Unknown: no kind of telephone or address
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
        {QLatin1StringView("spouse"), Unknown | Spouse}};
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

Tel telKind(unsigned bits)
{
    if (bits & Fax) {
        return bits & Home ? Tel::HomeFax : bits & Work ? Tel::BusinessFax : Tel::OtherFax;
    }
    if (bits & Cell) {
        return Tel::Mobile;
    }
    if (bits & (Home | Work)) {
        return bits & Home ? Tel::Home : Tel::Business;
    }
    return bits & Unknown ? Tel::None : Tel::Other;
}

Adr adrKind(unsigned bits)
{
    return bits & Home ? Adr::Home : bits & Work ? Adr::Business : Adr::Other;
}

template <Tel kind> bool isTel(unsigned bits)
{
    return telKind(bits) == kind;
}

template <Adr kind> bool isAdr(unsigned bits)
{
    return adrKind(bits) == kind;
}

bool isSpouse(unsigned bits)
{
    return bits & Spouse;
}

#define BRINDLE_ADDRESS(prefix, kind, types)                                                       \
    {prefix "Street", Kind::Component, "ADR", isAdr<kind>, types, 2, 7},                           \
        {prefix "City", Kind::Component, "ADR", isAdr<kind>, types, 3, 7},                         \
        {prefix "State", Kind::Component, "ADR", isAdr<kind>, types, 4, 7},                        \
        {prefix "PostalCode", Kind::Component, "ADR", isAdr<kind>, types, 5, 7},                   \
    {                                                                                              \
        prefix "Country", Kind::Component, "ADR", isAdr<kind>, types, 6, 7                         \
    }

const Field fields[] = {
    {"LastName", Kind::Component, "N", nullptr, nullptr, 0, 5},
    {"FirstName", Kind::Component, "N", nullptr, nullptr, 1, 5},
    {"MiddleName", Kind::Component, "N", nullptr, nullptr, 2, 5},
    {"Title", Kind::Component, "N", nullptr, nullptr, 3, 5},
    {"Suffix", Kind::Component, "N", nullptr, nullptr, 4, 5},
    {"FullName", Kind::Text, "FN"},
    {"CompanyName", Kind::Component, "ORG", nullptr, nullptr, 0, 1},
    {"FileAs", Kind::Text, "X-BRINDLE-FILE-AS"},
    {"CustomerID", Kind::Text, "X-BRINDLE-CUSTOMER-ID"},
    {"User1", Kind::Text, "X-BRINDLE-USER1"},
    {"User2", Kind::Text, "X-BRINDLE-USER2"},
    {"User3", Kind::Text, "X-BRINDLE-USER3"},
    {"User4", Kind::Text, "X-BRINDLE-USER4"},
    {"Categories", Kind::Categories, "CATEGORIES"},
    {"Body", Kind::Text, "NOTE"},
    BRINDLE_ADDRESS("HomeAddress", Adr::Home, "home"),
    BRINDLE_ADDRESS("BusinessAddress", Adr::Business, "work"),
    BRINDLE_ADDRESS("OtherAddress", Adr::Other, "other"),
    {"HomeTelephoneNumber", Kind::Text, "TEL", isTel<Tel::Home>, "home,voice"},
    {"BusinessTelephoneNumber", Kind::Text, "TEL", isTel<Tel::Business>, "work,voice"},
    {"MobileTelephoneNumber", Kind::Text, "TEL", isTel<Tel::Mobile>, "cell"},
    {"OtherTelephoneNumber", Kind::Text, "TEL", isTel<Tel::Other>, "voice"},
    {"HomeFaxNumber", Kind::Text, "TEL", isTel<Tel::HomeFax>, "home,fax"},
    {"BusinessFaxNumber", Kind::Text, "TEL", isTel<Tel::BusinessFax>, "work,fax"},
    {"OtherFaxNumber", Kind::Text, "TEL", isTel<Tel::OtherFax>, "fax"},
    {"Email1Address", Kind::Text, "EMAIL"},
    {"WebPage", Kind::Uri, "URL"},
    {"Anniversary", Kind::Date, "ANNIVERSARY"},
    {"Birthday", Kind::Date, "BDAY"},
    {"Spouse", Kind::Text, "RELATED", isSpouse, "spouse"},
    {"SelectedMailingAddress", Kind::Mailing, "ADR"},
};

#undef BRINDLE_ADDRESS

const Field* findField(const QString& name)
{
    static const QHash<QString, const Field*> byName = [] {
        QHash<QString, const Field*> hash;
        for (const Field& field : fields) {
            hash.insert(QString::fromLatin1(field.name), &field);
            hash.insert(QString::fromLatin1(field.name).toLower(), &field);
        }
        return hash;
    }();
    // Names mostly come spelled as in the table; only other spellings cost a copy.
    if (const Field* field = byName.value(name)) {
        return field;
    }
    return byName.value(name.toLower());
}

const Field& fieldNamed(const char* name)
{
    return *findField(QString::fromLatin1(name));
}

int fieldNumber(const Field& field)
{
    return int(&field - std::begin(fields));
}

// The numbers of the fields a vCard property name can hold.
const QList<int>& fieldsOfProperty(const QString& property)
{
    static const QHash<QString, QList<int>> byProperty = [] {
        QHash<QString, QList<int>> hash;
        for (const Field& field : fields) {
            hash[QString::fromLatin1(field.property)] += fieldNumber(field);
        }
        return hash;
    }();
    static const QList<int> none;
    const auto it = byProperty.constFind(property);
    return it == byProperty.cend() ? none : *it;
}

const char* const nameFields[] = {"Title",    "FirstName", "MiddleName",
                                  "LastName", "Suffix",    "CompanyName"};

bool isNameField(const Field& field)
{
    static const std::vector<bool> flags = [] {
        std::vector<bool> list;
        for (const Field& f : fields) {
            list.push_back(
                std::any_of(std::begin(nameFields), std::end(nameFields),
                            [&](const char* name) { return qstrcmp(name, f.name) == 0; }));
        }
        return list;
    }();
    return flags[size_t(fieldNumber(field))];
}

// The program works with Windows line breaks; vCard values hold plain ones.
QString withWindowsLineBreaks(QString text)
{
    if (std::none_of(text.cbegin(), text.cend(),
                     [](QChar c) { return c == u'\n' || c == u'\r'; })) {
        return text;
    }
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
        .replace(u'\r', u'\n')
        .replace(u'\n', QStringLiteral("\r\n"));
}

QString escapeUri(const QString& text)
{
    QString escaped = withWindowsLineBreaks(text)
                          .replace(u'\\', QStringLiteral("\\\\"))
                          .replace(QStringLiteral("\r\n"), QStringLiteral("\\n"));
    escaped.removeIf([](QChar c) { return c.unicode() < 0x20 && c != u'\t'; });
    return escaped;
}

bool isPreferred(const VCardProperty& p)
{
    return p.hasParam(QStringLiteral("PREF")) || p.hasType(QLatin1StringView("pref"));
}

void touch(VCardProperty& p)
{
    p.raw.clear();
    if (p.params.isEmpty()) {
        return;
    }
    p.removeParam(QStringLiteral("ENCODING"));
    p.removeParam(QStringLiteral("CHARSET"));
}

QString textValue(const VCardProperty& p)
{
    QString text = unescapeText(p.value);
    if (p.name == u"TEL" && text.startsWith(u"tel:", Qt::CaseInsensitive)) {
        text.remove(0, 4);
    }
    return withWindowsLineBreaks(text);
}

QDate parseDate(const VCardProperty& p)
{
    if (p.param(QStringLiteral("VALUE")).compare(u"text", Qt::CaseInsensitive) == 0) {
        return {};
    }
    const QString text = p.value.trimmed().section(u'T', 0, 0);
    return QDate::fromString(text, text.contains(u'-') ? QStringLiteral("yyyy-MM-dd")
                                                       : QStringLiteral("yyyyMMdd"));
}

QDate toDate(const QVariant& value)
{
    switch (value.metaType().id()) {
    case QMetaType::UnknownType:
        return {};
    case QMetaType::QDate:
        return value.toDate();
    case QMetaType::QDateTime:
        return value.toDateTime().date();
    case QMetaType::QString: {
        const QString text = value.toString().trimmed();
        const QDate date = QDate::fromString(text, Qt::ISODate);
        if (text.isEmpty() || date.isValid()) {
            return date;
        }
        break;
    }
    default:
        break;
    }
    raise(brindle::ErrorNumber::TypeMismatch, QStringLiteral("Type mismatch: not a date"));
}

QString toText(const QVariant& value)
{
    if (value.typeId() == QMetaType::QString) {
        return value.toString();
    }
    if (value.isValid() && !value.canConvert<QString>()) {
        raise(brindle::ErrorNumber::TypeMismatch, QStringLiteral("Type mismatch: not a text"));
    }
    return value.toString();
}

int toMailingAddress(const QVariant& value)
{
    bool ok = false;
    const int number = value.toInt(&ok);
    if (!ok || number < 0 || number > 3) {
        raise(brindle::ErrorNumber::TypeMismatch,
              QStringLiteral("Type mismatch: SelectedMailingAddress must be 0 to 3"));
    }
    return number;
}

QStringList categoryItems(const QString& text)
{
    QStringList items;
    for (const QString& item : text.split(u',')) {
        if (!item.trimmed().isEmpty()) {
            items += item.trimmed();
        }
    }
    return items;
}

// Whether an escaped value holds nothing but separators and blanks.
bool isBlankValue(QStringView value)
{
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == u'\\') {
            const QChar next = i + 1 < value.size() ? value[++i] : QChar();
            if (next != u'n' && next != u'N' && next != u';') {
                return false;
            }
        } else if (value[i] != u';' && !value[i].isSpace()) {
            return false;
        }
    }
    return true;
}

bool isBlankAddress(const VCardProperty& p)
{
    return p.name == u"ADR" && isBlankValue(p.value) && !isPreferred(p);
}

// The value with one ;-separated component replaced, padded to at least parts components.
QString withComponent(const QString& value, int index, int parts, const QString& escaped)
{
    QVarLengthArray<qsizetype, 8> separators;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == u'\\') {
            ++i;
        } else if (value[i] == u';') {
            separators.append(i);
        }
    }
    const qsizetype count = separators.size() + 1;
    const QStringView text(value);
    QString result;
    result.reserve(value.size() + escaped.size() + std::max(parts, index + 1));
    if (index < count) {
        result += text.first(index == 0 ? 0 : separators[index - 1] + 1);
        result += escaped;
        result += text.sliced(index < separators.size() ? separators[index] : value.size());
    } else {
        result += text;
        result += QString(index - count + 1, u';');
        result += escaped;
    }
    const qsizetype total = std::max<qsizetype>(count, index + 1);
    if (total < parts) {
        result += QString(parts - total, u';');
    }
    return result;
}

// Whether a value holds nothing but separators.
bool isOnlySeparators(QStringView value)
{
    return std::all_of(value.begin(), value.end(), [](QChar c) { return c == u';'; });
}

// All ;-separated components of a structured value, still escaped.
QVarLengthArray<QStringView, 8> components(QStringView value)
{
    QVarLengthArray<QStringView, 8> parts;
    const QChar* start = value.begin();
    for (const QChar* p = value.begin(); p != value.end(); ++p) {
        if (*p == u'\\') {
            if (++p == value.end()) {
                break;
            }
        } else if (*p == u';') {
            parts.append(QStringView(start, p));
            start = p + 1;
        }
    }
    parts.append(QStringView(start, value.end()));
    return parts;
}

// One ;-separated component of a structured value, still escaped.
QStringView componentAt(QStringView value, int index)
{
    const QVarLengthArray<QStringView, 8> parts = components(value);
    return index < parts.size() ? parts[index] : QStringView();
}

// Whether an escaped value reads as itself: no escapes and no line breaks.
bool isPlainText(QStringView value)
{
    return std::none_of(value.begin(), value.end(),
                        [](QChar c) { return c == u'\\' || c == u'\r' || c == u'\n'; });
}

// The vCard property a field gets when it is first set, with what telling
// its fields needs, so that adding one costs no lookups.
struct BlankProperty
{
    VCardProperty property;
    const QList<int>* candidates;
    unsigned words;
};

const BlankProperty& blankProperty(const Field& field)
{
    static const std::vector<BlankProperty> blanks = [] {
        std::vector<BlankProperty> list;
        for (const Field& f : fields) {
            VCardProperty p;
            p.name = QString::fromLatin1(f.property);
            if (f.newTypes) {
                p.params +=
                    VCardParam{QStringLiteral("TYPE"), QString::fromLatin1(f.newTypes).split(u',')};
            }
            if (p.name == u"RELATED") {
                p.params += VCardParam{QStringLiteral("VALUE"), {QStringLiteral("text")}};
            }
            p.value = QString(f.components - 1, u';');
            const unsigned words = typeWords(p);
            list.push_back(
                {std::move(p), &fieldsOfProperty(QString::fromLatin1(f.property)), words});
        }
        return list;
    }();
    return blanks[size_t(fieldNumber(field))];
}

const Field& addressField(int kind)
{
    static const Field* const streets[] = {&fieldNamed("HomeAddressStreet"),
                                           &fieldNamed("BusinessAddressStreet"),
                                           &fieldNamed("OtherAddressStreet")};
    return *streets[kind - 1];
}

// Which vCard property holds each field. Telling that means matching TYPE
// words, so it is worked out once per card and then follows the edits.
class Lookup
{
public:
    Lookup(const VCard& card, std::vector<qsizetype>& cache) : m_card(card), m_slots(cache) {}

    const VCard& card() const { return m_card; }

    // The index of the vCard property behind a field, or -1.
    qsizetype find(const Field& field) const
    {
        if (m_slots.empty()) {
            m_slots.assign(std::size(fields), -1);
            for (qsizetype i = 0; i < m_card.properties.size(); ++i) {
                claim(i);
            }
        }
        return m_slots[size_t(fieldNumber(field))];
    }

protected:
    // Gives the property at index to the fields that have none before it.
    void claim(qsizetype index) const
    {
        const VCardProperty& p = m_card.properties[index];
        const QList<int>& candidates = fieldsOfProperty(p.name);
        claim(index, candidates, candidates.isEmpty() ? 0 : typeWords(p));
    }

    void claim(qsizetype index, const QList<int>& candidates, unsigned words) const
    {
        for (int number : candidates) {
            const Field& field = fields[number];
            if (m_slots[size_t(number)] < 0 && (!field.matches || field.matches(words))) {
                m_slots[size_t(number)] = index;
            }
        }
    }

    // Properties removed: worked out afresh when next needed.
    void forget() const { m_slots.clear(); }

    // A property put in front of all others.
    void forgetOrShift() const
    {
        if (m_slots.empty()) {
            return;
        }
        const QList<int>& candidates = fieldsOfProperty(m_card.properties.first().name);
        if (!candidates.isEmpty()) {
            forget();
            return;
        }
        for (qsizetype& slot : m_slots) {
            slot += slot >= 0 ? 1 : 0;
        }
    }

private:
    const VCard& m_card;
    std::vector<qsizetype>& m_slots;
};

// The vCard properties behind the fields, changed and made on demand.
class Slots : public Lookup
{
public:
    Slots(VCard& card, std::vector<qsizetype>& cache) : Lookup(card, cache), m_card(card) {}

    VCardProperty& findOrAdd(const Field& field)
    {
        const qsizetype index = find(field);
        if (index >= 0) {
            return m_card.properties[index];
        }
        if (m_card.properties.isEmpty()) {
            m_card.properties.reserve(qsizetype(std::size(fields)));
        }
        const BlankProperty& blank = blankProperty(field);
        m_card.properties += blank.property;
        claim(m_card.properties.size() - 1, *blank.candidates, blank.words);
        return m_card.properties.last();
    }

    // Puts a property first, ahead of those the fields had found.
    void prepend(VCardProperty p)
    {
        m_card.properties.prepend(std::move(p));
        forgetOrShift();
    }

    void removeAll(const QString& name)
    {
        if (m_card.properties.removeIf([&](const VCardProperty& p) { return p.name == name; })) {
            forget();
        }
    }

    void remove(const Field& field)
    {
        const qsizetype index = find(field);
        if (index >= 0) {
            m_card.properties.removeAt(index);
            forget();
        }
    }

    void setValue(const Field& field, const QString& escaped)
    {
        if (escaped.isEmpty()) {
            remove(field);
            return;
        }
        VCardProperty& p = findOrAdd(field);
        touch(p);
        if (p.name == u"TEL") {
            p.removeParam(QStringLiteral("VALUE"));
        }
        p.value = escaped;
    }

    void setComponent(const Field& field, const QString& escaped)
    {
        if (escaped.isEmpty() && find(field) < 0) {
            return;
        }
        VCardProperty& p = findOrAdd(field);
        touch(p);
        p.value = withComponent(p.value, field.component,
                                std::max(field.components, field.component + 1), escaped);
        if (isBlankAddress(p) || (p.name != u"ADR" && isOnlySeparators(p.value))) {
            remove(field);
        }
    }

    void setCategories(const QStringList& items)
    {
        QStringList escaped;
        for (const QString& item : items) {
            escaped += escapeText(item);
        }
        const Field& categories = fieldNamed("Categories");
        while (find(categories) >= 0) {
            remove(categories);
        }
        if (!escaped.isEmpty()) {
            findOrAdd(categories).value = escaped.join(u',');
        }
    }

    void setMailingAddress(int selected)
    {
        for (int kind = 1; kind <= 3; ++kind) {
            const Field& field = addressField(kind);
            const qsizetype index = find(field);
            if (index < 0) {
                continue;
            }
            VCardProperty& p = m_card.properties[index];
            unprefer(p);
            if (kind != selected && isBlankAddress(p)) {
                m_card.properties.removeAt(index);
                forget();
            }
        }
        if (selected > 0) {
            VCardProperty& p = findOrAdd(addressField(selected));
            touch(p);
            p.setParam(QStringLiteral("PREF"), {QStringLiteral("1")});
        }
    }

private:
    static void unprefer(VCardProperty& p)
    {
        if (!isPreferred(p)) {
            return;
        }
        touch(p);
        QStringList types = p.types();
        types.removeAll(QStringLiteral("pref"));
        p.removeParam(QStringLiteral("PREF"));
        p.removeParam(QStringLiteral("TYPE"));
        if (!types.isEmpty()) {
            p.params.prepend(VCardParam{QStringLiteral("TYPE"), {types.join(u',')}});
        }
    }

    VCard& m_card;
};

// A field of a text or component kind.
QString readText(const Lookup& lookup, const Field& field)
{
    const qsizetype index = lookup.find(field);
    if (index < 0) {
        return QString();
    }
    const VCardProperty& p = lookup.card().properties[index];
    if (field.kind == Kind::Component) {
        return withWindowsLineBreaks(unescapeText(componentAt(p.value, field.component)));
    }
    return textValue(p);
}

QVariant readField(const Lookup& lookup, const Field& field)
{
    const VCard& card = lookup.card();
    if (field.kind == Kind::Categories) {
        QStringList items;
        for (const VCardProperty& p : card.properties) {
            if (p.name == u"CATEGORIES") {
                for (const QString& item : splitEscaped(p.value, u',')) {
                    items += unescapeText(item).trimmed();
                }
            }
        }
        items.removeAll(QString());
        return items.join(QStringLiteral(", "));
    }
    if (field.kind == Kind::Mailing) {
        for (int kind = 1; kind <= 3; ++kind) {
            const qsizetype index = lookup.find(addressField(kind));
            if (index >= 0 && isPreferred(card.properties[index])) {
                return kind;
            }
        }
        return 0;
    }
    if (field.kind == Kind::Date) {
        const qsizetype index = lookup.find(field);
        return index < 0 ? QDate() : parseDate(card.properties[index]);
    }
    return readText(lookup, field);
}

// A date the program treats as "none" on the original platform.
bool isNoDate(const QDate& date)
{
    return !date.isValid() || date == QDate(4501, 1, 1);
}

// Whether a field reads as text, built only when its value holds escapes.
bool holdsText(const Lookup& lookup, const Field& field, const QString& text)
{
    if (field.kind == Kind::Component) {
        const qsizetype index = lookup.find(field);
        if (index < 0) {
            return text.isEmpty();
        }
        const QStringView part =
            componentAt(lookup.card().properties[index].value, field.component);
        if (isPlainText(part)) {
            return part == text;
        }
    }
    return text == readText(lookup, field);
}

// Whether a text needs no escaping and holds no line breaks, as most do.
bool isPlainValue(const QString& text)
{
    return std::none_of(text.cbegin(), text.cend(), [](QChar c) {
        const char16_t code = c.unicode();
        return code <= u'\\' &&
               ((code < 0x20 && code != u'\t') || code == u'\\' || code == u',' || code == u';');
    });
}

bool writeText(Slots& editor, const Field& field, const QString& value)
{
    const bool plain = isPlainValue(value);
    const QString text = plain ? value : withWindowsLineBreaks(value);
    if (holdsText(editor, field, text)) {
        return false;
    }
    const QString escaped = plain                     ? text
                            : field.kind == Kind::Uri ? escapeUri(text)
                                                      : escapeText(text);
    if (field.kind == Kind::Component) {
        editor.setComponent(field, escaped);
    } else {
        editor.setValue(field, escaped);
    }
    return true;
}

bool writeField(Slots& editor, const Field& field, const QVariant& value)
{
    if (field.kind == Kind::Text || field.kind == Kind::Uri || field.kind == Kind::Component) {
        return writeText(editor, field, toText(value));
    }
    const QVariant before = readField(editor, field);
    switch (field.kind) {
    case Kind::Date: {
        const QDate date = toDate(value);
        if (isNoDate(date) ? !before.toDate().isValid() : date == before.toDate()) {
            return false;
        }
        editor.setValue(field, isNoDate(date) ? QString() : date.toString(u"yyyyMMdd"));
        return true;
    }
    case Kind::Mailing: {
        const int selected = toMailingAddress(value);
        if (selected == before.toInt()) {
            return false;
        }
        editor.setMailingAddress(selected);
        return true;
    }
    default:
        break;
    }
    const QStringList items = categoryItems(toText(value));
    if (items.join(QStringLiteral(", ")) == before.toString()) {
        return false;
    }
    editor.setCategories(items);
    return true;
}

// Adds a name component, trimmed, as readField gives it.
void appendNamePart(QString& text, QStringView part)
{
    QString converted;
    if (!isPlainText(part)) {
        converted = withWindowsLineBreaks(unescapeText(part));
        part = converted;
    }
    part = part.trimmed();
    if (part.isEmpty()) {
        return;
    }
    if (!text.isEmpty()) {
        text += u' ';
    }
    text += part;
}

QStringView valueOf(const Lookup& lookup, const Field& field)
{
    const qsizetype index = lookup.find(field);
    return index < 0 ? QStringView() : QStringView(lookup.card().properties[index].value);
}

QString displayName(const Lookup& lookup)
{
    static const Field* const names[] = {&fieldNamed("Title"), &fieldNamed("FirstName"),
                                         &fieldNamed("MiddleName"), &fieldNamed("LastName"),
                                         &fieldNamed("Suffix")};
    static const Field& company = fieldNamed("CompanyName");
    QString text;
    text.reserve(64);
    // All names live in one property: find it once.
    const QVarLengthArray<QStringView, 8> parts = components(valueOf(lookup, *names[0]));
    for (const Field* name : names) {
        if (name->component < parts.size()) {
            appendNamePart(text, parts[name->component]);
        }
    }
    if (text.isEmpty()) {
        appendNamePart(text, componentAt(valueOf(lookup, company), company.component));
    }
    return text;
}

const Field& requireField(const QString& name)
{
    const Field* field = findField(name);
    if (!field) {
        raise(brindle::ErrorNumber::NoSuchMember,
              QStringLiteral("Object doesn't support this property or method: ContactItem.%1")
                  .arg(name));
    }
    return *field;
}

} // namespace

ContactCard::ContactCard(VCard card) : m_card(std::move(card)) {}

bool ContactCard::isField(const QString& name)
{
    return findField(name) != nullptr;
}

QStringList ContactCard::fieldNames()
{
    QStringList names;
    for (const Field& field : fields) {
        names += QString::fromLatin1(field.name);
    }
    return names;
}

int ContactCard::fieldNumber(const QString& name)
{
    const Field* field = findField(name);
    return field ? contacts::fieldNumber(*field) : -1;
}

QVariant ContactCard::get(const QString& name) const
{
    return readField(Lookup(m_card, m_slots), requireField(name));
}

QVariant ContactCard::get(int field) const
{
    return readField(Lookup(m_card, m_slots), fields[field]);
}

bool ContactCard::set(const QString& name, const QVariant& value)
{
    const Field& field = requireField(name);
    Slots editor(m_card, m_slots);
    if (!isNameField(field)) {
        return writeField(editor, field, value);
    }
    // The formatted name follows the names until someone sets it otherwise.
    static const Field& fullNameField = fieldNamed("FullName");
    const QString fullName = readText(editor, fullNameField);
    if (!fullName.isEmpty() && !m_composedName) {
        m_composedName = displayName(editor);
    }
    const bool follows = fullName.isEmpty() || fullName == *m_composedName;
    if (!writeField(editor, field, value)) {
        return false;
    }
    if (follows) {
        m_composedName = displayName(editor);
        writeText(editor, fullNameField, *m_composedName);
    } else {
        m_composedName.reset();
    }
    return true;
}

QString ContactCard::uid() const
{
    for (const VCardProperty& p : m_card.properties) {
        if (p.name == u"UID") {
            return p.value.trimmed();
        }
    }
    return {};
}

void ContactCard::prepareForSave(const QString& newUid)
{
    Slots editor(m_card, m_slots);
    if (uid().isEmpty()) {
        editor.removeAll(QStringLiteral("UID"));
        VCardProperty p;
        p.name = QStringLiteral("UID");
        p.value = newUid;
        editor.prepend(std::move(p));
    }
    const bool hasName = std::any_of(m_card.properties.begin(), m_card.properties.end(),
                                     [](const VCardProperty& p) { return p.name == u"FN"; });
    if (!hasName || get(QStringLiteral("FullName")).toString().isEmpty()) {
        editor.removeAll(QStringLiteral("FN"));
        VCardProperty p;
        p.name = QStringLiteral("FN");
        p.value = escapeText(displayName(editor));
        editor.prepend(std::move(p));
    }
}

} // namespace contacts
