#include "ContactCard.h"

#include "Object.h"

#include <QDate>

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

using Matcher = bool (*)(const VCardProperty&);

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
};

// The TYPE words of a property that tell its kind, as bits.
unsigned typeWords(const VCardProperty& p)
{
    static const std::pair<QLatin1StringView, unsigned> words[] = {
        {QLatin1StringView("home"), Home},   {QLatin1StringView("work"), Work},
        {QLatin1StringView("fax"), Fax},     {QLatin1StringView("cell"), Cell},
        {QLatin1StringView("mobile"), Cell}, {QLatin1StringView("other"), OtherWord},
        {QLatin1StringView("pref"), 0},      {QLatin1StringView("voice"), 0}};
    unsigned bits = 0;
    p.forEachType([&](QStringView type) {
        unsigned bit = Unknown;
        for (const auto& [word, value] : words) {
            if (type.compare(word, Qt::CaseInsensitive) == 0) {
                bit = value;
            }
        }
        bits |= bit;
    });
    return bits;
}

Tel telKind(const VCardProperty& p)
{
    const unsigned bits = typeWords(p);
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

Adr adrKind(const VCardProperty& p)
{
    const unsigned bits = typeWords(p);
    return bits & Home ? Adr::Home : bits & Work ? Adr::Business : Adr::Other;
}

template <Tel kind> bool isTel(const VCardProperty& p)
{
    return telKind(p) == kind;
}

template <Adr kind> bool isAdr(const VCardProperty& p)
{
    return adrKind(p) == kind;
}

bool isSpouse(const VCardProperty& p)
{
    return p.hasType(QLatin1StringView("spouse"));
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
            hash.insert(QString::fromLatin1(field.name).toLower(), &field);
        }
        return hash;
    }();
    return byName.value(name.toLower());
}

const char* const nameFields[] = {"Title",    "FirstName", "MiddleName",
                                  "LastName", "Suffix",    "CompanyName"};

bool isNameField(const Field& field)
{
    return std::any_of(std::begin(nameFields), std::end(nameFields),
                       [&](const char* name) { return qstrcmp(name, field.name) == 0; });
}

// The program works with Windows line breaks; vCard values hold plain ones.
QString withWindowsLineBreaks(QString text)
{
    if (!text.contains(u'\n') && !text.contains(u'\r')) {
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

bool isBlankAddress(const VCardProperty& p)
{
    return p.name == u"ADR" && !isPreferred(p) &&
           unescapeText(p.value).remove(u';').trimmed().isEmpty();
}

// One ;-separated component of a structured value, still escaped.
QStringView componentAt(QStringView value, int index)
{
    qsizetype start = 0;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == u'\\') {
            ++i;
        } else if (value[i] == u';') {
            if (index-- == 0) {
                return value.mid(start, i - start);
            }
            start = i + 1;
        }
    }
    return index == 0 ? value.mid(start) : QStringView();
}

// The index of the vCard property behind a field, or -1.
qsizetype findSlot(const VCard& card, const Field& field)
{
    const auto& list = card.properties;
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (list[i].name == QLatin1StringView(field.property) &&
            (!field.matches || field.matches(list[i]))) {
            return i;
        }
    }
    return -1;
}

const Field& addressField(int kind)
{
    static const char* const names[] = {"HomeAddressStreet", "BusinessAddressStreet",
                                        "OtherAddressStreet"};
    return *findField(QLatin1StringView(names[kind - 1]));
}

// The vCard properties behind the fields, changed and made on demand.
class Slots
{
public:
    explicit Slots(VCard& card) : m_card(card) {}

    qsizetype find(const Field& field) const { return findSlot(m_card, field); }

    VCardProperty& findOrAdd(const Field& field)
    {
        const qsizetype index = find(field);
        if (index >= 0) {
            return m_card.properties[index];
        }
        VCardProperty p;
        p.name = QString::fromLatin1(field.property);
        if (field.newTypes) {
            p.params +=
                VCardParam{QStringLiteral("TYPE"), QString::fromLatin1(field.newTypes).split(u',')};
        }
        if (p.name == u"RELATED") {
            p.params += VCardParam{QStringLiteral("VALUE"), {QStringLiteral("text")}};
        }
        p.value = QString(field.components - 1, u';');
        m_card.properties += p;
        return m_card.properties.last();
    }

    void remove(const Field& field)
    {
        const qsizetype index = find(field);
        if (index >= 0) {
            m_card.properties.removeAt(index);
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

    void setComponent(const Field& field, const QString& text)
    {
        if (text.isEmpty() && find(field) < 0) {
            return;
        }
        VCardProperty& p = findOrAdd(field);
        QStringList parts = splitEscaped(p.value, u';');
        while (parts.size() < std::max(field.components, field.component + 1)) {
            parts += QString();
        }
        parts[field.component] = escapeText(text);
        touch(p);
        p.value = parts.join(u';');
        if (isBlankAddress(p) || (p.name != u"ADR" && QString(p.value).remove(u';').isEmpty())) {
            remove(field);
        }
    }

    void setCategories(const QStringList& items)
    {
        QStringList escaped;
        for (const QString& item : items) {
            escaped += escapeText(item);
        }
        const Field categories{"Categories", Kind::Categories, "CATEGORIES"};
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

QVariant readField(const VCard& card, const Field& field)
{
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
            const qsizetype index = findSlot(card, addressField(kind));
            if (index >= 0 && isPreferred(card.properties[index])) {
                return kind;
            }
        }
        return 0;
    }
    const qsizetype index = findSlot(card, field);
    if (field.kind == Kind::Date) {
        return index < 0 ? QDate() : parseDate(card.properties[index]);
    }
    if (index < 0) {
        return QString();
    }
    const VCardProperty& p = card.properties[index];
    if (field.kind == Kind::Component) {
        return withWindowsLineBreaks(unescapeText(componentAt(p.value, field.component)));
    }
    return textValue(p);
}

// A date the program treats as "none" on the original platform.
bool isNoDate(const QDate& date)
{
    return !date.isValid() || date == QDate(4501, 1, 1);
}

bool writeField(VCard& card, const Field& field, const QVariant& value)
{
    Slots editor(card);
    const QVariant before = readField(card, field);
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
    case Kind::Categories: {
        const QStringList items = categoryItems(toText(value));
        if (items.join(QStringLiteral(", ")) == before.toString()) {
            return false;
        }
        editor.setCategories(items);
        return true;
    }
    default:
        break;
    }
    const QString text = withWindowsLineBreaks(toText(value));
    if (text == before.toString()) {
        return false;
    }
    if (field.kind == Kind::Component) {
        editor.setComponent(field, text);
    } else {
        editor.setValue(field, field.kind == Kind::Uri ? escapeUri(text) : escapeText(text));
    }
    return true;
}

QString displayName(const VCard& card)
{
    QStringList parts;
    for (const char* name : {"Title", "FirstName", "MiddleName", "LastName", "Suffix"}) {
        const QString part = readField(card, *findField(QLatin1StringView(name))).toString();
        if (!part.trimmed().isEmpty()) {
            parts += part.trimmed();
        }
    }
    if (parts.isEmpty()) {
        return readField(card, *findField(QStringLiteral("CompanyName"))).toString().trimmed();
    }
    return parts.join(u' ');
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

QVariant ContactCard::get(const QString& name) const
{
    return readField(m_card, requireField(name));
}

bool ContactCard::set(const QString& name, const QVariant& value)
{
    const Field& field = requireField(name);
    if (!isNameField(field)) {
        return writeField(m_card, field, value);
    }
    // The formatted name follows the names until someone sets it otherwise.
    const QString before = displayName(m_card);
    const QString fullName = get(QStringLiteral("FullName")).toString();
    const bool changed = writeField(m_card, field, value);
    if (changed && (fullName.isEmpty() || fullName == before)) {
        writeField(m_card, requireField(QStringLiteral("FullName")), displayName(m_card));
    }
    return changed;
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
    if (uid().isEmpty()) {
        m_card.properties.removeIf([](const VCardProperty& p) { return p.name == u"UID"; });
        VCardProperty p;
        p.name = QStringLiteral("UID");
        p.value = newUid;
        m_card.properties.prepend(p);
    }
    const bool hasName = std::any_of(m_card.properties.begin(), m_card.properties.end(),
                                     [](const VCardProperty& p) { return p.name == u"FN"; });
    if (!hasName || get(QStringLiteral("FullName")).toString().isEmpty()) {
        m_card.properties.removeIf([](const VCardProperty& p) { return p.name == u"FN"; });
        VCardProperty p;
        p.name = QStringLiteral("FN");
        p.value = escapeText(displayName(m_card));
        m_card.properties.prepend(p);
    }
}

} // namespace contacts
