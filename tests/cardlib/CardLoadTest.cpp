#include "CardFixture.h"

using namespace TarvoCards;

namespace {

class CardLoad : public CardTest
{
protected:
    QString names(const QString& filter, const QString& order)
    {
        CCardsColl cards;
        EXPECT_TRUE(cards.Load(m_connection, filter, order));
        QStringList names;
        for (const CCard& card : cards) {
            names << card.LastName + QString::number(card.Addresses.size());
        }
        return names.join(u',');
    }
};

} // namespace

CARD_ENGINES(CardLoad, fileEngine, serverEngine);

// A bad condition throws, leaves the collection empty and the connection usable.
TEST_P(CardLoad, ProgramConditionsOrderAndLimitsChooseTheCards)
{
    const QString all = "Acme Traders2,Brown0,Smith0,Carter1,Evans0,Dow0,Acme Traders0,Vale Inc0";
    const std::tuple<int, int, const char*, QString, QString> cases[] = {
        // most cards, last address location, condition, order, the cards and their addresses
        {0, 5, "", "CardTypeID, LastName", all},
        {0, 5, "(CardTypeID = 'E') AND (IsInactive = 'N') ", "LastName", "Evans0"},
        {0, 5, "CardTypeID = 'C'", "", "Acme Traders2,Smith0,Brown0"}, // record order
        {2, 5, "", "LastName", "Acme Traders2,Acme Traders0"},
        {0, 1, "CardTypeID = 'C'", "LastName", "Acme Traders1,Brown0,Smith0"},
    };
    for (const auto& [maxCards, lastLocation, filter, order, expected] : cases) {
        SCOPED_TRACE(filter);
        m_connection.MaxCards = maxCards;
        m_connection.MaxAddressLocation = lastLocation;
        EXPECT_EQ(names(filter, order), expected);
    }
    CCardsColl cards;
    cards.Load(m_connection, "", "");
    EXPECT_THROW(cards.Load(m_connection, "NoSuchColumn = 1", ""), brindle::PlatformError);
    EXPECT_EQ(cards.Count(), 0);
    EXPECT_NE(m_connection.LastError().number(), 0);
    EXPECT_EQ(names("CardTypeID = 'P'", ""), "Dow0");
}

// Three cards per column: two hold one value and the third another, so a
// value kept once for many cards is still each card's own and right.
TEST_P(CardLoad, LoadImportAndBackupReadEveryColumn)
{
    const QList<qint32> ids{m_acme, m_smith, m_brown};
    auto valueOf = [](const char* column, int card) {
        const QString name = QLatin1String(column);
        if (name.startsWith("IsIn")) {
            return QString(card < 2 ? "Y" : "N");
        }
        return card < 2 ? name.left(3) + "é" : name.left(2);
    };
    {
        RawFile raw(m_file);
        raw.exec("DELETE FROM Addresses WHERE Location = 3");
        for (int i = 0; i < 3; ++i) {
            raw.exec("INSERT INTO Addresses (CardRecordID, Location) VALUES (?, 1) ON CONFLICT "
                     "DO NOTHING",
                     {ids[i]});
            for (const QString& column : cardTextColumnNames() + addressTextColumnNames()) {
                raw.exec(QStringLiteral("UPDATE %1 SET %2 = ? WHERE CardRecordID = ?")
                             .arg(cardTextColumnNames().contains(column) ? "Cards" : "Addresses",
                                  column),
                         {valueOf(qPrintable(column), i), ids[i]});
            }
        }
    }
    // whole: every column; else the delivery settings only, as a backup fills them.
    auto expectStored = [&](auto& cards, bool whole) {
        for (int i = 0; i < 3; ++i) {
            const auto* card = cards.find(cardKey(ids[i]));
            ASSERT_NE(card, nullptr);
            ASSERT_EQ(card->Addresses.size(), whole ? 1 : 0);
            for (const auto& column : cardColumns()) {
                EXPECT_EQ(card->*column.member,
                          whole ? valueOf(column.name, i) : column.defaultValue);
            }
            for (const auto& column : addressColumns()) {
                EXPECT_EQ(card->Addresses.value(0).*column.member,
                          whole ? valueOf(column.name, i) : "");
            }
            if constexpr (std::is_same_v<std::decay_t<decltype(*card)>, CImportCard>) {
                for (const auto& column : deliveryColumns()) {
                    EXPECT_EQ(card->*column.member, valueOf(column.name, i)) << column.name;
                }
            }
        }
    };
    CCardsColl loaded;
    loaded.Load(m_connection, "", "");
    expectStored(loaded, true);
    CCustomerColl saved;
    bool ok = false;
    saved.Backup(m_connection, 0, 0, ok);
    expectStored(saved, false);
    CCustomerColl imported; // an item that changes nothing comes back as the file holds it
    for (const qint32 id : ids) {
        CImportCard& item = imported.Add();
        item.CardRecordID = id;
        item.IsIndividual.clear();
        item.IsInactive.clear();
        item.Addresses.Add().Location = 1;
    }
    ASSERT_TRUE(imported.Import(m_connection));
    expectStored(imported, true);

    // A card changed after loading leaves the cards that shared its values alone.
    CCard& first = *loaded.find(cardKey(ids[0]));
    first.Addresses[0].City.append(QLatin1String("x"));
    first.IsInactive[0] = u'N';
    EXPECT_EQ(loaded.find(cardKey(ids[1]))->Addresses.at(0).City, valueOf("City", 1));
    EXPECT_EQ(loaded.find(cardKey(ids[1]))->IsInactive, "Y");
}
