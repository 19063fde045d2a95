#include "accounting/CardRules.h"

#include "AccountingFixture.h"
#include "TableFile.h"

namespace brindle {
namespace {

using TarvoCards::CAddress;
using TarvoCards::CCard;
using TarvoCards::CImportCard;
using test::card;

TEST(CardText, ConditionsStreetLinesAndComparableLastNames)
{
    for (const QStringList& row : test::tableRows("card-text.txt")) {
        SCOPED_TRACE(row.join(u'|').toStdString());
        if (row[0] == u"condition") {
            const auto has = [&row](char letter) { return row[1].contains(QChar(letter)); };
            EXPECT_EQ(existingCardsCondition(has('C'), has('E'), has('P'), has('S'), has('A')),
                      row[2]);
        } else if (row[0] == u"street") {
            CAddress address;
            std::tie(address.StreetLine1, address.StreetLine2, address.StreetLine3,
                     address.StreetLine4) = std::tuple("old 1", "old 2", "old 3", "old 4");
            setStreetLines(address, withWindowsLineBreaks(row[1]));
            EXPECT_EQ(test::streetText(address), row[2]);
        } else if (row[0] == u"last name") {
            EXPECT_EQ(comparableLastName(row[1]), row[2]);
        }
    }
}

// The existing card every comparison row starts from; the new card is a copy
// of it that the row changes.
CCard acme()
{
    CCard made = card("C", "Acme Traders", {}, "CUS1", 11);
    for (qint32 location = 1; location <= 3; ++location) {
        made.Addresses.Add().Location = location;
    }
    test::setMembers(made, test::tablePairs("1.Email=a@acme.example; 1.Phone1=(02) 9999 1111; "
                                            "1.WWW=www.acme.example; 1.StreetLine1=1 Old St; "
                                            "1.City=Perth; 2.City=Hobart"));
    return made;
}

using CompareCards = test::AccountingFixture;

TEST_F(CompareCards, FieldsDifferOnlyByTheirRule)
{
    for (const QStringList& row : test::tableRows("card-differences.txt")) {
        SCOPED_TRACE(row[0].toStdString());
        CCard existing = acme();
        test::setMembers(existing, test::tablePairs(row[1]));
        CCard updated = existing;
        test::setMembers(updated, test::tablePairs(row[2]));
        Differences differences{{"stale", "", ""}};
        bool blank = false;
        const bool differ =
            process.companyFile.AreDifferentVEXOCards(updated, existing, differences, blank);
        QStringList found;
        for (const Difference& d : differences) {
            found << d.key + u'=' + d.existing + u'>' + d.updated;
        }
        EXPECT_EQ(found.join("; "), row[3]);
        EXPECT_EQ(differ, !found.isEmpty());
        EXPECT_EQ(blank, row[4] == u"yes");
        for (const auto& [name, value] : test::tablePairs(row[5])) {
            EXPECT_EQ(test::member(updated, name), value.toString());
        }
    }
}

class Identity : public test::AccountingFixture
{
protected:
    void SetUp() override
    {
        AccountingFixture::SetUp();
        QList<CCard> cards;
        for (const QString& text : test::tableRows("identity.txt", "existing").value(0)) {
            cards << cardOf(text);
        }
        cards[2].IsInactive = "Y";
        existing(cards);
    }
    // "type/last/first/identification/record ID".
    static CCard cardOf(const QString& text)
    {
        const QStringList parts = text.split(u'/');
        return card(parts[0], parts.value(1), parts.value(2), parts.value(3),
                    parts.value(4).toInt());
    }
};

TEST_F(Identity, FirstMatchOfTheSameTypeByRecordIdentificationOrName)
{
    for (const QStringList& row : test::tableRows("identity.txt", "match")) {
        SCOPED_TRACE(row[0].toStdString());
        const CCard given = cardOf(row[1]);
        CCard checked = given;
        EXPECT_FALSE(process.companyFile.CheckCardSkip(checked));
        EXPECT_EQ(checked.CardRecordID, row[2] == u"0" ? given.CardRecordID : row[2].toInt());
        EXPECT_EQ(process.companyFile.CheckForDuplicate(1, given), row[3] == u"yes");
        EXPECT_EQ(process.companyFile.CheckForInactive(given), row[4] == u"yes");
    }
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST_F(Identity, TheBlankFieldNoticeComesOncePerRun)
{
    CAddress& stored = process.companyFile.mobjExistingCards->Item("10K")->Addresses.Add();
    stored.Location = 1;
    stored.City = "Perth";
    for (int card = 0; card < 2; ++card) {
        CCard blanked = cardOf("C/Smith/Jo");
        blanked.Addresses.Add().Location = 1;
        EXPECT_FALSE(process.companyFile.CheckCardSkip(blanked));
    }
    EXPECT_EQ(prompts.notices, QStringList{"FVEXOEmptyMsg"});
}

TEST_F(Identity, ExportDuplicatesAreFoundAmongTheContactCards)
{
    process.state.mobjOutlookColl = std::make_unique<TarvoCards::CCardsColl>();
    process.state.mobjOutlookColl->AddNew() = card("C", "Smith, The", "", "", 0);
    process.state.mobjOutlookColl->AddNew() = card("E", "Ng", "Mai", "", 40);
    for (const QStringList& row : test::tableRows("identity.txt", "export")) {
        SCOPED_TRACE(row[0].toStdString());
        EXPECT_EQ(process.companyFile.CheckForDuplicate(2, cardOf(row[1])), row[2] == u"yes");
    }
}

TEST_F(Identity, RulesAndAnswersDecideTheSkip)
{
    for (const QStringList& row : test::tableRows("identity.txt", "choice")) {
        SCOPED_TRACE(row[0].toStdString());
        process.state.mlRulesFilter = row[2].toInt();
        process.state.mbUserCancelled = false;
        prompts.shown.clear();
        prompts.choices = row[3].isEmpty() ? QList<qint32>() : QList{row[3].toInt()};
        prompts.answers = {Prompts::Yes}; // Cancel asks first
        CCard checked = cardOf(row[1]);
        EXPECT_EQ(process.companyFile.CheckCardSkip(checked), row[4] == u"yes");
        EXPECT_EQ(prompts.shown.size(), row[3].isEmpty() ? 0 : 1);
        EXPECT_EQ(process.state.mlRulesFilter, row[5].toInt());
        EXPECT_EQ(process.UserCancelled(), row[6] == u"yes");
        EXPECT_EQ(checked.TransferMessage, row[7]);
    }
}

using ConfirmUpdate = test::AccountingFixture;

TEST_F(ConfirmUpdate, ShowsTheDialogAgainUntilItIsAnswered)
{
    CCard card = test::card("C", "Smith");
    const Differences list{{"LastName", "Smyth", "Smith"}};
    // The close box answered No leaves no answer; the dialog comes back.
    prompts.choices << test::ScriptedPrompts::CloseBox << FUpdateChoice::Skip;
    prompts.answers << Prompts::No;

    EXPECT_EQ(process.state.ConfirmUpdate(card, nullptr, list, 1, false), FUpdateChoice::Skip);
    ASSERT_EQ(prompts.shown.size(), 2);
    for (const FUpdateChoice& shown : prompts.shown) {
        EXPECT_EQ(std::tuple(shown.txtLastName.caption, shown.rows[0].label, shown.TransferAction),
                  std::tuple("Smith", "Last Name", 1));
    }
}

TEST_F(ConfirmUpdate, AFailingDialogGivesNoAnswerAndIsLogged)
{
    enableLog();
    TarvoCards::CCard card;
    EXPECT_EQ(process.state.ConfirmUpdate(card, nullptr, {}, 2, false), FUpdateChoice::NoAnswer);
    const QStringList lines = logLines();
    EXPECT_EQ(lines.size(), 1);
    EXPECT_EQ(lines.filter("VEXOBrindle.FProcess.ConfirmUpdate Error : "), lines);
}

using CopyCards = test::AccountingFixture;

TEST_F(CopyCards, EmptyFieldsBecomeTheEmptyValueAndDeliveryIsCarriedOver)
{
    const QString empty = process.companyFile.msEmptyValue = TarvoCards::emptyValue();
    TarvoCards::CCustomerColl backedUp;
    CImportCard& stored = backedUp.Add();
    std::tie(stored.CardRecordID, stored.InvoiceDeliveryID, stored.PurchaseDeliveryID) =
        std::tuple(21, "E", "P");
    process.companyFile.keepDeliveries(backedUp);

    for (const QStringList& row : test::tableRows("card-text.txt", "copy")) {
        SCOPED_TRACE(row[0].toStdString());
        CCard source = card(row[2], "Ng", "", "", row[1].toInt());
        source.Notes = "note";
        for (int at = 1; at <= 4; ++at) {
            source.Addresses.Add().Location = at;
            test::setMembers(
                source,
                test::tablePairs(QString("%1.City=City %1; %1.Email=e%1@x.example").arg(at)));
        }
        CImportCard copied;
        ASSERT_TRUE(process.companyFile.MapCardToCard(source, copied));
        EXPECT_EQ(copied.InvoiceDeliveryID + '|' + copied.PurchaseDeliveryID, row[3]);
        EXPECT_EQ(copied.CardRecordID, row[1].toInt());
        ASSERT_EQ(copied.Addresses.size(), 2) << "only address 1 has contact details";
        for (const auto& [name, expected] : test::tablePairs(row[4])) {
            EXPECT_EQ(test::member(copied, name).toString(),
                      expected.toString() == u"_" ? empty : expected.toString())
                << qPrintable(name);
        }
    }
}

} // namespace
} // namespace brindle
