#include "CardType.h"

#include "TextHelpers.h"
#include "cardlib/Collections.h"

namespace brindle {

namespace {

template <typename Collection> std::unique_ptr<TarvoCards::CTypeColl> makeCollection()
{
    return std::make_unique<Collection>();
}

// What each type is called and kept as, in the order of CardType::Id. A
// supplier's letter, word and folder follow the supplier word instead.
struct TypeFacts
{
    char16_t letter;
    const char* word;
    const char* folder;
    qint32 reportCode;
    std::unique_ptr<TarvoCards::CTypeColl> (*newCollection)();
};

const TypeFacts typeFacts[] = {
    {u'C', "Customer", "VEXO Customers", 1, makeCollection<TarvoCards::CCustomerColl>},
    {u'S', "", "", 2, makeCollection<TarvoCards::CSupplierColl>},
    {u'E', "Employee", "VEXO Employees", 4, makeCollection<TarvoCards::CEmployeeColl>},
    {u'P', "Personal", "VEXO Personal", 3, makeCollection<TarvoCards::CPersonalColl>},
};

const CardType::Id allTypes[] = {CardType::Customer, CardType::Supplier, CardType::Employee,
                                 CardType::Personal};

const TypeFacts& factsOf(CardType::Id id)
{
    return typeFacts[id];
}

} // namespace

std::optional<CardType> CardType::fromLetter(QStringView letter)
{
    if (letter.size() != 1) {
        return std::nullopt;
    }
    const char16_t upper = letter.front().toUpper().unicode();
    if (upper == u'V') {
        return Supplier;
    }
    for (const Id id : allTypes) {
        if (factsOf(id).letter == upper) {
            return id;
        }
    }
    return std::nullopt;
}

std::optional<CardType> CardType::fromReportCode(qint32 code)
{
    for (const Id id : allTypes) {
        if (factsOf(id).reportCode == code) {
            return id;
        }
    }
    return std::nullopt;
}

QString CardType::supplierWordOf(int countryCode)
{
    return countryCode == 2 ? QStringLiteral("Vendor") : QStringLiteral("Supplier");
}

QString CardType::letter(const QString& supplierWord) const
{
    if (m_id == Supplier && !supplierWord.isEmpty()) {
        return firstCharacters(supplierWord, 1).toUpper();
    }
    return QString(QChar(factsOf(m_id).letter));
}

QString CardType::word(const QString& supplierWord) const
{
    return m_id == Supplier ? supplierWord : QLatin1String(factsOf(m_id).word);
}

QString CardType::folderName(const QString& supplierWord) const
{
    if (m_id == Supplier) {
        return QLatin1String("VEXO ") + supplierWord + QLatin1Char('s');
    }
    return QLatin1String(factsOf(m_id).folder);
}

qint32 CardType::reportCode() const
{
    return factsOf(m_id).reportCode;
}

bool CardType::selectedBy(bool customers, bool suppliers, bool employees, bool personal) const
{
    const bool selected[] = {customers, suppliers, employees, personal};
    return selected[m_id];
}

std::unique_ptr<TarvoCards::CTypeColl> CardType::newCollection() const
{
    return factsOf(m_id).newCollection();
}

qint32 reportCodeOf(QStringView cardTypeId)
{
    const std::optional<CardType> type = CardType::fromLetter(cardTypeId);
    return type ? type->reportCode() : 0;
}

} // namespace brindle
