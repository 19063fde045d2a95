#include "CardFixture.h"

#include <type_traits>

using namespace TarvoCards;

namespace {

class CardLoad : public CardTest
{
protected:
    void SetUp() override
    {
        CardTest::SetUp();
        RawFile raw(m_file);
        m_zed = raw.addCard("C", "Zed Traders");
        m_adams = raw.addCard("C", "Adams", "John", "CUS001");
        raw.addCard("S", "Beta Supplies");
        raw.addCard("V", "Vale Inc");
        raw.addCard("E", "Carter", "Ann", {}, "Y");
        raw.addCard("E", "Evans", "Bo");
        raw.addCard("P", "Dow", "Jo");
        raw.addAddress(m_adams, 2, "2 Other St");
        raw.addAddress(m_adams, 1, "1 Home St", "john@adams.example");
        connect();
    }

    QStringList loadedNames(const QString& filter, const QString& order)
    {
        CCardsColl cards;
        EXPECT_TRUE(cards.Load(filter, order));
        QStringList names;
        for (const CCard& card : cards) {
            names << card.LastName;
        }
        return names;
    }

    qint32 m_zed = 0;
    qint32 m_adams = 0;
};

} // namespace

CARD_ENGINES(CardLoad);

TEST_P(CardLoad, ProgramConditionsAndOrderChooseTheCards)
{
    const QString order = "CardTypeID, LastName";
    struct Case
    {
        const char* filter;
        QStringList names;
    };
    const Case cases[] = {
        {"(CardTypeID = 'C') OR (CardTypeID = 'E') OR (CardTypeID = 'P') OR (CardTypeID = 'S' "
         "OR CardTypeID = 'V')",
         {"Adams", "Zed Traders", "Carter", "Evans", "Dow", "Beta Supplies", "Vale Inc"}},
        {"((CardTypeID = 'E')) AND (IsInactive = 'N') ", {"Evans"}},
        {"((CardTypeID = 'C') OR (CardTypeID = 'S' OR CardTypeID = 'V')) AND (IsInactive = 'N') ",
         {"Adams", "Zed Traders", "Beta Supplies", "Vale Inc"}},
        {"(IsInactive = 'N') ",
         {"Adams", "Zed Traders", "Evans", "Dow", "Beta Supplies", "Vale Inc"}},
        {"", {"Adams", "Zed Traders", "Carter", "Evans", "Dow", "Beta Supplies", "Vale Inc"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.filter);
        EXPECT_EQ(loadedNames(c.filter, order), c.names);
    }
    // No order: record order.
    EXPECT_EQ(loadedNames("CardTypeID = 'C'", ""), QStringList({"Zed Traders", "Adams"}));
}

TEST_P(CardLoad, CardsAreKeyedByRecordWithTheirAddresses)
{
    CCardsColl cards;
    cards.Load("", "CardTypeID, LastName");
    const CCard* adams = cards.Item(cardKey(m_adams));
    ASSERT_NE(adams, nullptr);
    EXPECT_EQ(adams->Key, cardKey(m_adams));
    EXPECT_EQ(adams->FirstName, "John");
    EXPECT_EQ(adams->IsIndividual, "Y");
    EXPECT_EQ(adams->CardIdentification, "CUS001");
    EXPECT_EQ(adams->Notes, "old notes");
    ASSERT_EQ(adams->Addresses.size(), 2);
    EXPECT_EQ(adams->Addresses.at(0).Location, 1);
    EXPECT_EQ(adams->Addresses.at(0).Email, "john@adams.example");
    EXPECT_EQ(adams->Addresses.at(1).StreetLine1, "2 Other St");
    EXPECT_TRUE(cards.Item(cardKey(m_zed))->Addresses.isEmpty());
    EXPECT_EQ(cards.Item("999K"), nullptr);
    EXPECT_EQ(cards.Item(QString::number(m_adams)), nullptr);
}

TEST_P(CardLoad, ReloadReplacesAndMaxCardsAndMaxAddressLocationLimit)
{
    CCardsColl cards;
    cards.Load("", "");
    cards.Load("CardTypeID = 'P'", "");
    EXPECT_EQ(cards.Count(), 1);
    m_connection.MaxCards = 2;
    cards.Load("", "LastName");
    ASSERT_EQ(cards.Count(), 2);
    EXPECT_EQ(cards.begin()->LastName, "Adams");
    EXPECT_EQ(cards.Item(cardKey(m_adams))->Addresses.size(), 2);
    m_connection.MaxAddressLocation = 1;
    cards.Load("", "LastName");
    ASSERT_EQ(cards.Item(cardKey(m_adams))->Addresses.size(), 1);
    EXPECT_EQ(cards.Item(cardKey(m_adams))->Addresses.at(0).Location, 1);
}

TEST_P(CardLoad, BadConditionThrowsAndLeavesNothing)
{
    CCardsColl cards;
    cards.Load("", "");
    EXPECT_THROW(cards.Load("NoSuchColumn = 1", ""), brindle::PlatformError);
    EXPECT_EQ(cards.Count(), 0);
    EXPECT_NE(m_connection.LastError().number(), 0);
}

// Three cards per column: two hold one value and the third another, so a
// value kept once for many cards is still each card's own and right.
class CardReadBack : public CardTest
{
protected:
    static QStringList valuesFor(const char* column)
    {
        const QString name = QLatin1String(column);
        if (name == "IsIndividual" || name == "IsInactive") {
            return {"Y", "Y", "N"};
        }
        return {name.left(3) + "é", name.left(3) + "é", name.left(2)};
    }

    void SetUp() override
    {
        CardTest::SetUp();
        RawFile raw(m_file);
        for (int i = 0; i < 3; ++i) {
            m_ids << raw.addCard("C", QStringLiteral("Card %1").arg(i));
            raw.addAddress(m_ids.last(), 1, {});
        }
        for (const auto& column : cardColumns()) {
            setColumn(raw, "Cards", column.name);
        }
        for (const auto& column : deliveryColumns()) {
            setColumn(raw, "Cards", column.name);
        }
        for (const auto& column : addressColumns()) {
            setColumn(raw, "Addresses", column.name);
        }
        connect();
    }

    void setColumn(RawFile& raw, const char* table, const char* column)
    {
        const QStringList values = valuesFor(column);
        for (int i = 0; i < 3; ++i) {
            raw.exec(QStringLiteral("UPDATE %1 SET %2 = ? WHERE CardRecordID = ?")
                         .arg(QLatin1String(table), QLatin1String(column)),
                     {values.at(i), m_ids.at(i)});
        }
    }

    // Every text of the three cards as the collection holds them.
    template <typename Item> void expectStoredValues(TarvoCards::KeyedCards<Item>& cards)
    {
        for (int i = 0; i < 3; ++i) {
            Item* card = cards.find(cardKey(m_ids.at(i)));
            ASSERT_NE(card, nullptr);
            ASSERT_EQ(card->Addresses.size(), 1);
            for (const auto& column : cardColumns()) {
                EXPECT_EQ(card->*column.member, valuesFor(column.name).at(i)) << column.name;
            }
            if constexpr (std::is_same_v<Item, CImportCard>) {
                for (const auto& column : deliveryColumns()) {
                    EXPECT_EQ(card->*column.member, valuesFor(column.name).at(i)) << column.name;
                }
            }
            for (const auto& column : addressColumns()) {
                EXPECT_EQ(card->Addresses.at(0).*column.member, valuesFor(column.name).at(i))
                    << column.name;
            }
        }
    }

    QList<qint32> m_ids;
};

CARD_ENGINES(CardReadBack);

TEST_P(CardReadBack, LoadAndImportReadEveryColumnAndBackupEveryDelivery)
{
    CCardsColl loaded;
    loaded.Load("", "");
    expectStoredValues(loaded);

    CCustomerColl saved;
    bool ok = false;
    saved.Backup(0, 0, ok);
    ASSERT_TRUE(ok);
    for (int i = 0; i < 3; ++i) {
        const CImportCard* card = saved.find(cardKey(m_ids.at(i)));
        ASSERT_NE(card, nullptr);
        for (const auto& column : deliveryColumns()) {
            EXPECT_EQ(card->*column.member, valuesFor(column.name).at(i)) << column.name;
        }
    }

    // An item that changes nothing comes back with what the file holds.
    CCustomerColl imported;
    for (const qint32 id : m_ids) {
        CImportCard& item = imported.Add();
        item.CardRecordID = id;
        item.IsIndividual.clear();
        item.IsInactive.clear();
        item.Addresses.Add().Location = 1;
    }
    ASSERT_TRUE(imported.Import());
    expectStoredValues(imported);

    // A card changed after loading leaves the cards that shared its values alone.
    CCard& first = *loaded.find(cardKey(m_ids.at(0)));
    first.Addresses[0].City.append(QLatin1String("x"));
    first.IsInactive[0] = u'N';
    const CCard& second = *loaded.find(cardKey(m_ids.at(1)));
    EXPECT_EQ(second.Addresses.at(0).City, valuesFor("City").at(1));
    EXPECT_EQ(second.IsInactive, "Y");
}
