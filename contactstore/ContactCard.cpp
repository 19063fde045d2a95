#include "ContactCard.h"

#include "Errors.h"
#include "FieldValues.h"

namespace contacts {

namespace {

const ContactField& fieldAt(int field)
{
    return contactFields()[size_t(field)];
}

int requireField(const QString& name)
{
    const int field = fieldNumber(name);
    if (field < 0) {
        raiseNoSuchMember(QStringLiteral("ContactItem"), name);
    }
    return field;
}

int field(const char* name)
{
    return fieldNumber(QString::fromLatin1(name));
}

// The street field of each address the mailing address can name, 1 to 3.
int addressField(int kind)
{
    static const int streets[] = {field("HomeAddressStreet"), field("BusinessAddressStreet"),
                                  field("OtherAddressStreet")};
    return streets[kind - 1];
}

bool isNameField(int number)
{
    static const QList<int> names = {field("Title"),    field("FirstName"), field("MiddleName"),
                                     field("LastName"), field("Suffix"),    field("CompanyName")};
    return names.contains(number);
}

bool isBlankAddress(const VCardProperty& p)
{
    return p.name == u"ADR" && isBlankValue(p.value) && !isPreferred(p);
}

// A property about to change is written anew, without the encodings it was read in.
void touch(VCardProperty& p)
{
    p.raw.clear();
    if (p.params.isEmpty()) {
        return;
    }
    p.removeParam(QStringLiteral("ENCODING"));
    p.removeParam(QStringLiteral("CHARSET"));
}

// Adds a name component, trimmed, as the field reads.
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

} // namespace

ContactCard::ContactCard(VCard card) : m_card(std::move(card)), m_slots(m_card) {}

QStringList ContactCard::fieldNames()
{
    QStringList names;
    for (const ContactField& field : contactFields()) {
        names += QString::fromLatin1(field.name);
    }
    return names;
}

QVariant ContactCard::get(const QString& name) const
{
    return readField(requireField(name));
}

QVariant ContactCard::get(int field) const
{
    return readField(field);
}

// A field of a text or component kind.
QString ContactCard::readText(int field) const
{
    const qsizetype index = m_slots.find(field);
    if (index < 0) {
        return QString();
    }
    const VCardProperty& p = m_card.properties[index];
    if (fieldAt(field).kind == FieldKind::Component) {
        return escapedText(componentAt(p.value, fieldAt(field).component));
    }
    return textValue(p);
}

QVariant ContactCard::readField(int field) const
{
    switch (fieldAt(field).kind) {
    case FieldKind::Categories: {
        QStringList items;
        for (const VCardProperty& p : m_card.properties) {
            if (p.name == u"CATEGORIES") {
                for (const QString& item : splitEscaped(p.value, u',')) {
                    items += withWindowsLineBreaks(unescapeText(item).trimmed());
                }
            }
        }
        items.removeAll(QString());
        return items.join(QStringLiteral(", "));
    }
    case FieldKind::Mailing:
        for (int kind = 1; kind <= 3; ++kind) {
            const qsizetype index = m_slots.find(addressField(kind));
            if (index >= 0 && isPreferred(m_card.properties[index])) {
                return kind;
            }
        }
        return 0;
    case FieldKind::Date: {
        const qsizetype index = m_slots.find(field);
        return index < 0 ? QDate() : parseDate(m_card.properties[index]);
    }
    default:
        return readText(field);
    }
}

// Whether a field reads as text, built only when its value holds escapes.
bool ContactCard::holdsText(int field, const QString& text) const
{
    if (fieldAt(field).kind == FieldKind::Component) {
        const qsizetype index = m_slots.find(field);
        if (index < 0) {
            return text.isEmpty();
        }
        const QStringView part =
            componentAt(m_card.properties[index].value, fieldAt(field).component);
        if (isPlainText(part)) {
            return part == text;
        }
    }
    return text == readText(field);
}

QStringView ContactCard::valueOf(int field) const
{
    const qsizetype index = m_slots.find(field);
    return index < 0 ? QStringView() : QStringView(m_card.properties[index].value);
}

QString ContactCard::displayName() const
{
    static const int names[] = {field("Title"), field("FirstName"), field("MiddleName"),
                                field("LastName"), field("Suffix")};
    static const int company = field("CompanyName");
    QString text;
    text.reserve(64);
    // All names live in one property: find it once.
    const Components parts = components(valueOf(names[0]));
    for (const int name : names) {
        if (fieldAt(name).component < parts.size()) {
            appendNamePart(text, parts[fieldAt(name).component]);
        }
    }
    if (text.isEmpty()) {
        appendNamePart(text, componentAt(valueOf(company), fieldAt(company).component));
    }
    return text;
}

bool ContactCard::set(const QString& name, const QVariant& value)
{
    const int number = requireField(name);
    if (!isNameField(number)) {
        return writeField(number, value);
    }
    // The formatted name follows the names until someone sets it otherwise.
    static const int fullNameField = field("FullName");
    const QString fullName = readText(fullNameField);
    if (!fullName.isEmpty() && !m_composedName) {
        m_composedName = displayName();
    }
    const bool follows = fullName.isEmpty() || fullName == *m_composedName;
    if (!writeField(number, value)) {
        return false;
    }
    if (follows) {
        m_composedName = displayName();
        writeText(fullNameField, *m_composedName);
    } else {
        m_composedName.reset();
    }
    return true;
}

bool ContactCard::writeField(int number, const QVariant& value)
{
    const ContactField& field = fieldAt(number);
    switch (field.kind) {
    case FieldKind::Date: {
        const QDate date = toDate(value);
        const QDate before = readField(number).toDate();
        if (isNoDate(date) ? !before.isValid() : date == before) {
            return false;
        }
        const QString format =
            m_card.is30() ? QStringLiteral("yyyy-MM-dd") : QStringLiteral("yyyyMMdd");
        setValue(number, isNoDate(date) ? QString() : date.toString(format));
        return true;
    }
    case FieldKind::Mailing: {
        const int selected = toMailingAddress(value);
        if (selected == readField(number).toInt()) {
            return false;
        }
        setMailingAddress(selected);
        return true;
    }
    case FieldKind::Categories: {
        const QStringList items = categoryItems(toText(value));
        if (items.join(QStringLiteral(", ")) == readField(number).toString()) {
            return false;
        }
        setCategories(items);
        return true;
    }
    default:
        return writeText(number, toText(value));
    }
}

bool ContactCard::writeText(int field, const QString& value)
{
    const bool plain = isPlainValue(value);
    const QString text = plain ? value : withWindowsLineBreaks(value);
    if (holdsText(field, text)) {
        return false;
    }
    const QString escaped = plain                                   ? text
                            : fieldAt(field).kind == FieldKind::Uri ? escapeUri(text)
                                                                    : escapeText(text);
    if (fieldAt(field).kind == FieldKind::Component) {
        setComponent(field, escaped);
    } else {
        setValue(field, escaped);
    }
    return true;
}

void ContactCard::setValue(int field, const QString& escaped)
{
    if (escaped.isEmpty()) {
        m_slots.remove(m_card, field);
        return;
    }
    VCardProperty& p = m_slots.findOrAdd(m_card, field);
    touch(p);
    if (p.name == u"TEL") {
        p.removeParam(QStringLiteral("VALUE"));
    }
    p.value = escaped;
}

void ContactCard::setComponent(int field, const QString& escaped)
{
    if (escaped.isEmpty() && m_slots.find(field) < 0) {
        return;
    }
    const ContactField& form = fieldAt(field);
    VCardProperty& p = m_slots.findOrAdd(m_card, field);
    touch(p);
    p.value = withComponent(p.value, form.component, std::max(form.components, form.component + 1),
                            escaped);
    if (isBlankAddress(p) || (p.name != u"ADR" && isOnlySeparators(p.value))) {
        m_slots.remove(m_card, field);
    }
}

void ContactCard::setCategories(const QStringList& items)
{
    static const int categories = field("Categories");
    QStringList escaped;
    for (const QString& item : items) {
        escaped += escapeText(item);
    }
    m_slots.removeAll(m_card, m_slots.propertyOf(categories));
    if (!escaped.isEmpty()) {
        m_slots.findOrAdd(m_card, categories).value = escaped.join(u',');
    }
}

void ContactCard::setMailingAddress(int selected)
{
    for (int kind = 1; kind <= 3; ++kind) {
        const qsizetype index = m_slots.find(addressField(kind));
        if (index < 0) {
            continue;
        }
        unprefer(index);
        if (kind != selected && isBlankAddress(m_card.properties[index])) {
            m_slots.remove(m_card, addressField(kind));
        }
    }
    if (selected > 0) {
        prefer(addressField(selected));
    }
}

void ContactCard::unprefer(qsizetype index)
{
    VCardProperty& p = m_card.properties[index];
    if (!isPreferred(p)) {
        return;
    }
    touch(p);
    QStringList types = p.types();
    types.removeAll(QStringLiteral("pref"));
    p.removeParam(QStringLiteral("PREF"));
    p.removeParam(QStringLiteral("TYPE"));
    if (!types.isEmpty()) {
        p.params.prepend(VCardParam{QStringLiteral("TYPE"), types});
    }
}

// vCard 3.0 says preferred with a TYPE word, 4.0 with a parameter of its own.
void ContactCard::prefer(int field)
{
    VCardProperty& p = m_slots.findOrAdd(m_card, field);
    touch(p);
    if (!m_card.is30()) {
        p.setParam(QStringLiteral("PREF"), {QStringLiteral("1")});
        return;
    }
    QStringList types = p.types();
    types += QStringLiteral("pref");
    p.setParam(QStringLiteral("TYPE"), types);
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
        m_slots.removeAll(m_card, QStringLiteral("UID"));
        VCardProperty p;
        p.name = QStringLiteral("UID");
        p.value = newUid;
        m_slots.prepend(m_card, std::move(p));
    }
    // vCard 3.0 requires a structured name, 4.0 only the formatted one.
    if (m_card.is30() && m_slots.find(field("LastName")) < 0) {
        m_slots.findOrAdd(m_card, field("LastName"));
    }
    static const int fullName = field("FullName");
    const bool hasName = std::any_of(m_card.properties.begin(), m_card.properties.end(),
                                     [](const VCardProperty& p) { return p.name == u"FN"; });
    if (!hasName || readText(fullName).isEmpty()) {
        m_slots.removeAll(m_card, QStringLiteral("FN"));
        VCardProperty p;
        p.name = QStringLiteral("FN");
        p.value = escapeText(displayName());
        m_slots.prepend(m_card, std::move(p));
    }
}

} // namespace contacts
