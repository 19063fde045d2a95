#include "ContactSide.h"
#include "ContactText.h"
#include "CustomFieldDate.h"
#include "accounting/CardIndex.h"
#include "contactstore/ContactItem.h"
#include "run/FProcess.h"
#include "startup/ErrorLog.h"
#include "startup/TextHelpers.h"

namespace brindle {

namespace {

// How a property's two values are made comparable and shown.
enum class Rule
{
    Text,    // upper-case cleaning; shown with the case-keeping one
    Company, // as Text, and "Acme, The" is "The Acme"
    Phone,   // formatting characters removed; shown as they stand
    Web,     // as Text, and a difference of "HTTP://" alone is none
    Date,    // as text in the locale's short format
    Spouse,  // upper-case cleaning; shown as they stand
    Body     // trimmed and upper-cased with its line breaks; shown as they stand
};

struct Compared
{
    const char* property;
    Rule rule;
};

// The properties after the names and the main telephone number, in order.
const Compared laterProperties[] = {{"OtherTelephoneNumber", Rule::Phone},
                                    {"MobileTelephoneNumber", Rule::Phone},
                                    {"HomeFaxNumber", Rule::Phone},
                                    {"BusinessFaxNumber", Rule::Phone},
                                    {"OtherFaxNumber", Rule::Phone},
                                    {"HomeAddressStreet", Rule::Text},
                                    {"HomeAddressCity", Rule::Text},
                                    {"HomeAddressState", Rule::Text},
                                    {"HomeAddressPostalCode", Rule::Text},
                                    {"HomeAddressCountry", Rule::Text},
                                    {"BusinessAddressStreet", Rule::Text},
                                    {"BusinessAddressCity", Rule::Text},
                                    {"BusinessAddressState", Rule::Text},
                                    {"BusinessAddressPostalCode", Rule::Text},
                                    {"BusinessAddressCountry", Rule::Text},
                                    {"OtherAddressStreet", Rule::Text},
                                    {"OtherAddressCity", Rule::Text},
                                    {"OtherAddressState", Rule::Text},
                                    {"OtherAddressPostalCode", Rule::Text},
                                    {"OtherAddressCountry", Rule::Text},
                                    {"WebPage", Rule::Web},
                                    {"Anniversary", Rule::Date},
                                    {"Birthday", Rule::Date},
                                    {"Spouse", Rule::Spouse},
                                    {"Body", Rule::Body}};

// Upper case letter for letter, as CleanText makes it, keeping every other
// character (line breaks and tabs included).
QString upperKeepingLength(const QString& text)
{
    QString upper = text;
    for (QChar& c : upper) {
        if (!c.isSurrogate()) {
            c = c.toUpper();
        }
    }
    return upper;
}

struct Prepared
{
    QString compared;
    QString shown;
};

Prepared prepare(Rule rule, const QVariant& value)
{
    const QString text = value.toString();
    switch (rule) {
    case Rule::Text:
    case Rule::Web:
        return {MMain::CleanText(text, false), MMain::CleanText(text, true)};
    case Rule::Company: {
        const QString kept = MMain::CleanText(text, true);
        return {upperKeepingLength(trimBlanks(comparableLastName(kept))), kept};
    }
    case Rule::Phone:
        return {upperKeepingLength(trimBlanks(FixPhoneCharacters(text))), text};
    case Rule::Date: {
        const QString shown = dateText(value.toDate());
        return {MMain::CleanText(shown, false), shown};
    }
    case Rule::Spouse:
        return {MMain::CleanText(text, false), text};
    case Rule::Body:
        return {upperKeepingLength(trimBlanks(text)), text};
    }
    return {text, text};
}

bool same(Rule rule, const QString& a, const QString& b)
{
    if (a == b) {
        return true;
    }
    const QLatin1String scheme("HTTP://");
    return rule == Rule::Web && QString(a).remove(scheme) == QString(b).remove(scheme);
}

// Compares one property after another; a property that cannot be read is
// logged and passed over.
class ContactComparison
{
public:
    ContactComparison(ProgramContext& context, contacts::ContactItem& updated,
                      contacts::ContactItem& existing, Differences& differences)
        : m_context(context), m_updated(updated), m_existing(existing), m_differences(differences)
    {
        m_differences.clear();
    }

    void compare(const Compared& compared)
    {
        try {
            const QString name = QLatin1String(compared.property);
            const Prepared existing = prepare(compared.rule, m_existing.property(name));
            const Prepared updated = prepare(compared.rule, m_updated.property(name));
            if (!same(compared.rule, existing.compared, updated.compared)) {
                record(QLatin1Char('.') + name, existing.shown, updated.shown);
            }
        } catch (const std::exception& error) {
            m_context.logError(QStringLiteral("FProcess.AreDifferentOutlookContacts"), error);
        }
    }

    // A person's new contact has no company name.
    bool updatedIsCompany()
    {
        try {
            return !MMain::CleanText(m_updated.property(QStringLiteral("CompanyName")).toString(),
                                     false)
                        .isEmpty();
        } catch (const std::exception& error) {
            m_context.logError(QStringLiteral("FProcess.AreDifferentOutlookContacts"), error);
            return false;
        }
    }

private:
    void record(const QString& key, const QString& existing, const QString& updated)
    {
        m_differences.append({key, existing, updated});
        logTrace(m_context, "AreDifferentOutlookContacts",
                 key + QStringLiteral(" OLD: ") + existing + QStringLiteral("| NEW:") + updated +
                     QStringLiteral("| "));
    }

    ProgramContext& m_context;
    contacts::ContactItem& m_updated;
    contacts::ContactItem& m_existing;
    Differences& m_differences;
};

} // namespace

// A person is compared on the names too, so that an export that empties a
// person's company name, or changes the names, is seen.
bool FProcess::AreDifferentOutlookContacts(contacts::ContactItem& pobjNewContact,
                                           contacts::ContactItem& pobjExistingContact,
                                           Differences& psDifferences)
{
    ContactComparison comparison(m_context, pobjNewContact, pobjExistingContact, psDifferences);
    const bool company = comparison.updatedIsCompany();
    if (!company) {
        comparison.compare({"LastName", Rule::Text});
        comparison.compare({"FirstName", Rule::Text});
    }
    comparison.compare({"CompanyName", Rule::Company});
    comparison.compare({"Email1Address", Rule::Text});
    comparison.compare({company ? "BusinessTelephoneNumber" : "HomeTelephoneNumber", Rule::Phone});
    for (const Compared& compared : laterProperties) {
        comparison.compare(compared);
    }
    return !psDifferences.isEmpty();
}

} // namespace brindle
