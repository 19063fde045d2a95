#include "accounting/CardRules.h"

#include "AccountingFixture.h"

namespace brindle {
namespace {

using TarvoCards::CAddress;
using TarvoCards::CCard;
using TarvoCards::CImportCard;
using test::card;

struct ConditionRow
{
    bool customers, employees, personal, suppliers, activeOnly;
    const char* condition;
};

TEST(ExistingCardsCondition, SelectedTypesInFixedOrderWithTheInactiveClause)
{
    const ConditionRow rows[] = {
        {true, false, false, true, false,
         "(CardTypeID = 'C') OR (CardTypeID = 'S' OR CardTypeID = 'V')"},
        {true, false, false, true, true,
         "((CardTypeID = 'C') OR (CardTypeID = 'S' OR CardTypeID = 'V')) AND (IsInactive = 'N') "},
        {false, true, false, false, true, "((CardTypeID = 'E')) AND (IsInactive = 'N') "},
        {true, true, true, true, false,
         "(CardTypeID = 'C') OR (CardTypeID = 'E') OR (CardTypeID = 'P') OR (CardTypeID = 'S' OR "
         "CardTypeID = 'V')"},
        {false, false, false, false, true, "(IsInactive = 'N') "},
        {false, false, false, false, false, ""},
    };
    for (const ConditionRow& row : rows) {
        EXPECT_EQ(existingCardsCondition(row.customers, row.employees, row.personal, row.suppliers,
                                         row.activeOnly),
                  QString::fromLatin1(row.condition));
    }
}

struct StreetRow
{
    const char* street;
    QStringList expected; // StreetLine1 to StreetLine4
};

TEST(StreetLines, EveryLineBreakSplitsOnceAndShorterStreetsBlankTheOldLines)
{
    const StreetRow rows[] = {
        {"12 George St", {"12 George St", " ", " ", " "}},
        {"", {"", "old 2", "old 3", "old 4"}},
        {"\r\nLevel 2", {" ", "Level 2", " ", " "}},
        {"Level 3\r\n12 King St", {"Level 3", "12 King St", " ", " "}},
        {"Level 3\n12 King St", {"Level 3", "12 King St", " ", " "}},
        {"Level 3\r12 King St", {"Level 3", "12 King St", " ", " "}},
        {"a\r\r\nb", {"a", " ", "b", " "}},
        {"1\n2\n3\n4\n5", {"1", "2", "3", "4"}},
        {"Unit\t4\r\nRear", {"Unit4", "Rear", " ", " "}},
    };
    for (const StreetRow& row : rows) {
        CAddress address;
        address.StreetLine1 = QStringLiteral("old 1");
        address.StreetLine2 = QStringLiteral("old 2");
        address.StreetLine3 = QStringLiteral("old 3");
        address.StreetLine4 = QStringLiteral("old 4");
        setStreetLines(address, withWindowsLineBreaks(QString::fromUtf8(row.street)));
        EXPECT_EQ(QStringList({address.StreetLine1, address.StreetLine2, address.StreetLine3,
                               address.StreetLine4}),
                  row.expected)
            << row.street;
    }
}

// The existing card every comparison row starts from; the new card is a copy
// of it that the row changes.
CCard acme()
{
    CCard made =
        card(QStringLiteral("C"), QStringLiteral("Acme Traders"), {}, QStringLiteral("CUS1"), 11);
    CAddress& first = made.Addresses.Add();
    first.Location = 1;
    first.Email = QStringLiteral("a@acme.example");
    first.Phone1 = QStringLiteral("(02) 9999 1111");
    first.WWW = QStringLiteral("www.acme.example");
    first.StreetLine1 = QStringLiteral("1 Old St");
    first.City = QStringLiteral("Perth");
    CAddress& second = made.Addresses.Add();
    second.Location = 2;
    second.City = QStringLiteral("Hobart");
    made.Addresses.Add().Location = 3;
    return made;
}

using Values = QList<std::pair<const char*, const char*>>;

struct DifferenceRow
{
    const char* name;
    Values existing;         // changes to acme() that make the existing card
    Values updated;          // and the new one
    const char* differences; // "key:stored>new", comma-separated
    bool blank = false;
    const char* readBack = nullptr; // a member of the new card afterwards
    const char* heldAfterwards = nullptr;
};

class CompareCards : public test::AccountingFixture
{};

TEST_F(CompareCards, FieldsDifferOnlyByTheirRule)
{
    // clang-format off
    const DifferenceRow rows[] = {
        {"unchanged", {}, {}, ""},
        {"e-mail case and blanks", {}, {{"1.Email", " A@ACME.EXAMPLE "}}, ""},
        {"phone format", {}, {{"1.Phone1", "02-9999-1111"}}, ""},
        {"phone number", {}, {{"1.Phone1", "02 9999 1112"}}, "Phone1:(02) 9999 1111>02 9999 1112"},
        {"city", {}, {{"1.City", "Perth WA"}}, "City:Perth>Perth WA"},
        {"web scheme added", {}, {{"1.WWW", "http://www.acme.example"}}, "", false, "1.WWW", "www.acme.example"},
        {"web secure scheme in capitals", {}, {{"1.WWW", "HTTPS://WWW.ACME.EXAMPLE"}}, "", false, "1.WWW", "www.acme.example"},
        {"short web address", {}, {{"1.WWW", "acme"}}, "WWW:www.acme.example>acme", false, "1.WWW", "acme"},
        {"web address that only ends with the old one", {}, {{"1.WWW", "shop://www.acme.example"}},
         "WWW:www.acme.example>shop://www.acme.example", false, "1.WWW", "shop://www.acme.example"},
        {"existing address has the scheme", {{"1.WWW", "http://www.acme.example"}}, {{"1.WWW", "www.acme.example"}},
         "", false, "1.WWW", "http://www.acme.example"},
        {"name case", {}, {{"LastName", "ACME TRADERS"}}, "", false, "LastName", "ACME TRADERS"},
        {"first name case and blanks", {{"FirstName", "Al"}}, {{"FirstName", " AL "}}, ""},
        {"name with The in front of the file's form", {{"LastName", "Acme Traders, The"}},
         {{"LastName", "The Acme Traders"}}, "", false, "LastName", "Acme Traders, The"},
        {"name in the file's form with The in front", {{"LastName", "The Acme Traders"}},
         {{"LastName", "Acme Traders, The"}}, "", false, "LastName", "The Acme Traders"},
        {"other name", {}, {{"LastName", "Acme"}}, "LastName:Acme Traders>Acme"},
        {"third address ignored", {}, {{"3.City", "Darwin"}}, ""},
        {"address without partner", {{"-2", ""}}, {}, ""},
        {"blanked city", {}, {{"2.City", ""}}, "City:Hobart>", true},
        {"blank street line against an empty one", {}, {{"1.StreetLine2", " "}}, ""},
        {"blank street line against a stored one", {{"1.StreetLine2", "Level 2"}}, {{"1.StreetLine2", " "}},
         "StreetLine2:Level 2> ", true},
        {"individual", {}, {{"IsIndividual", "Y"}}, "IsIndividual:N>Y"},
        {"order of comparison", {}, {{"2.Country", "NZ"}, {"CardIdentification", "CUS2"}, {"FirstName", "Al"}},
         "FirstName:>Al,CardIdentification:CUS1>CUS2,Country:>NZ"},
    };
    // clang-format on
    for (const DifferenceRow& row : rows) {
        SCOPED_TRACE(row.name);
        CCard existing = acme();
        test::setMembers(existing, row.existing);
        CCard updated = existing;
        test::setMembers(updated, row.updated);
        Differences differences{{"stale", "", ""}};
        bool blank = false;
        const bool differ = process.AreDifferentVEXOCards(updated, existing, differences, blank);
        QStringList found;
        for (const Difference& d : differences) {
            found << d.key + u':' + d.existing + u'>' + d.updated;
        }
        EXPECT_EQ(found.join(u','), QString::fromUtf8(row.differences));
        EXPECT_EQ(differ, !found.isEmpty());
        EXPECT_EQ(blank, row.blank);
        if (row.readBack) {
            EXPECT_EQ(test::member(updated, QLatin1String(row.readBack)),
                      QString::fromUtf8(row.heldAfterwards));
        }
    }
    CCard moved = acme();
    test::setMembers(moved, {{"1.City", "Perth WA"}});
    Differences differences;
    bool blank = true;
    process.AreDifferentVEXOCards(moved, acme(), differences, blank);
    EXPECT_TRUE(blank) << "never set back";
}

// Existing cards of the identity rows, in loaded order.
QList<CCard> identityCards()
{
    QList<CCard> cards{card("C", "Smith", "Jo", "", 10),     card("C", "Acme", "", "CUS1", 11),
                       card("E", "Smith", "Jo", "", 12),     card("C", "Brown", "Ann", "*None", 13),
                       card("C", "Bakery, The", "", "", 14), card("C", "Smith", "Jo", "C15", 15),
                       card("V", "Vale", "", "", 16)};
    cards[2].IsInactive = QStringLiteral("Y");
    return cards;
}

struct MatchRow
{
    const char* name;
    CCard card;
    qint32 skipMatch; // record ID CheckCardSkip gives the card under rule 0; 0 none
    bool duplicate;   // CheckForDuplicate mode 1
    bool inactive;    // CheckForInactive
};

class Identity : public test::AccountingFixture
{
protected:
    void SetUp() override
    {
        AccountingFixture::SetUp();
        existing(identityCards());
    }
};

TEST_F(Identity, FirstMatchOfTheSameTypeByRecordIdentificationOrName)
{
    const MatchRow rows[] = {
        {"person by name: the first of two", card("C", "Smith", "Jo"), 10, true, false},
        {"no identification matches no other", card("C", "Zed", "", ""), 0, false, false},
        {"blank identification", card("C", "Zed", "", "  "), 0, false, false},
        {"company by identification", card("C", "Other", "", "CUS1"), 11, false, false},
        {"*none matches nothing", card("C", "Green", "Al", "*NONE"), 0, false, false},
        {"company by name in the other form", card("C", "The Bakery"), 14, true, false},
        {"same name of another type", card("E", "Smith", "Jo"), 12, true, true},
        {"supplier letters are one type", card("S", "Vale"), 16, true, false},
        {"no supplier of that name", card("S", "Smith", "Jo"), 0, false, false},
        {"record ID decides", card("C", "Smith", "Jo", "", 15), 15, true, false},
        {"record ID of an inactive card", card("E", "Anyone", "", "", 12), 12, true, true},
        {"company name with a first name", card("C", "Acme", "X"), 0, false, false},
    };
    for (const MatchRow& row : rows) {
        SCOPED_TRACE(row.name);
        CCard checked = row.card;
        EXPECT_FALSE(process.CheckCardSkip(checked));
        EXPECT_EQ(checked.CardRecordID, row.skipMatch ? row.skipMatch : row.card.CardRecordID);
        EXPECT_EQ(process.CheckForDuplicate(1, row.card), row.duplicate);
        EXPECT_EQ(process.CheckForInactive(row.card), row.inactive);
    }
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST_F(Identity, ExportDuplicatesAreFoundAmongTheContactCards)
{
    process.mobjOutlookColl = std::make_unique<TarvoCards::CCardsColl>();
    process.mobjOutlookColl->AddNew() = card("C", "Smith, The", "", "", 0);
    process.mobjOutlookColl->AddNew() = card("E", "Ng", "Mai", "", 40);
    EXPECT_TRUE(process.CheckForDuplicate(2, card("C", "Other", "", "", 40)));
    EXPECT_TRUE(process.CheckForDuplicate(2, card("P", "The Smith", "", "", 41)));
    EXPECT_TRUE(process.CheckForDuplicate(2, card("C", "Ng", "Mai", "", 42)));
    EXPECT_FALSE(process.CheckForDuplicate(2, card("C", "Ng", "May", "", 43)));
}

struct ChoiceRow
{
    const char* name;
    qint32 rule;
    CCard card;
    QList<qint32> choices; // the dialog's answers; none: no dialog
    bool skip;
    qint32 ruleAfter;
    bool userCancelled;
    const char* message = "";
};

TEST_F(Identity, RulesAndAnswersDecideTheSkip)
{
    CCard changed = card("C", "Smith", "Jo", "NEW1");
    // clang-format off
    const ChoiceRow rows[] = {
        {"rule 2 refuses a match", 2, changed, {}, true, 2, false, "Duplicate Card"},
        {"rule 2 writes a new card", 2, card("C", "New", "Al"), {}, false, 2, false, "New Card"},
        {"rule 0 writes a change unasked", 0, changed, {}, false, 0, false, "Changed Card"},
        {"rule 3 without differences", 3, card("C", "Smith", "Jo"), {}, false, 3, false},
        {"rule 3 update", 3, changed, {FUpdateChoice::Update}, false, 3, false, "Changed Card"},
        {"rule 3 skip", 3, changed, {FUpdateChoice::Skip}, true, 3, false, "Changed Card"},
        {"rule 3 update all", 3, changed, {FUpdateChoice::UpdateAll}, false, 0, false, "Changed Card"},
        {"rule 3 cancel", 3, changed, {FUpdateChoice::CancelRun}, true, 3, true, "Changed Card"},
        {"rule 3 new card added", 3, card("C", "New", "Al"), {FUpdateChoice::Update}, false, 3, false, "New Card"},
        {"rule 3 new card skipped", 3, card("C", "New", "Al"), {FUpdateChoice::Skip}, true, 3, false, "New Card"},
    };
    // clang-format on
    for (const ChoiceRow& row : rows) {
        SCOPED_TRACE(row.name);
        process.mlRulesFilter = row.rule;
        process.mbUserCancelled = false;
        prompts.shown.clear();
        prompts.choices = row.choices;
        prompts.answers = {Prompts::Yes}; // Cancel asks first
        CCard checked = row.card;
        EXPECT_EQ(process.CheckCardSkip(checked), row.skip);
        EXPECT_EQ(prompts.shown.size(), row.choices.size());
        EXPECT_EQ(process.mlRulesFilter, row.ruleAfter);
        EXPECT_EQ(process.UserCancelled(), row.userCancelled);
        EXPECT_EQ(checked.TransferMessage, QString::fromLatin1(row.message));
    }
}

TEST_F(Identity, TheDialogShowsTheChangesAndTheBlankNoticeComesOnce)
{
    process.mlRulesFilter = 3;
    prompts.choices = {FUpdateChoice::Update, FUpdateChoice::Update};
    for (const char* identification : {"", "  "}) {
        CCard checked = card("C", "Smith", "Jo", "");
        checked.FirstName = QStringLiteral("Jo");
        checked.Addresses.Add().Location = 1;
        CCard& stored = *process.mobjExistingCards->Item(QStringLiteral("10K"));
        stored.Addresses.clear();
        CAddress& address = stored.Addresses.Add();
        address.Location = 1;
        address.City = QStringLiteral("Perth");
        checked.CardIdentification = QString::fromLatin1(identification);
        EXPECT_FALSE(process.CheckCardSkip(checked));
        EXPECT_EQ(checked.CardRecordID, 10);
    }
    ASSERT_EQ(prompts.shown.size(), 2);
    EXPECT_EQ(prompts.shown[0].differences(), Differences({{"City", "Perth", ""}}));
    EXPECT_FALSE(prompts.shown[0].NewVEXOCard);
    EXPECT_EQ(prompts.notices, QStringList{"FVEXOEmptyMsg"});
}

class CopyCards : public test::AccountingFixture
{};

TEST_F(CopyCards, EmptyFieldsBecomeTheEmptyValueAndDeliveryIsCarriedOver)
{
    process.msEmptyValue = TarvoCards::emptyValue();
    TarvoCards::CCustomerColl backedUp;
    CImportCard& stored = backedUp.Add();
    stored.CardRecordID = 21;
    stored.InvoiceDeliveryID = QStringLiteral("E");
    stored.PurchaseDeliveryID = QStringLiteral("P");
    process.keepDeliveries(backedUp);
    const QString empty = TarvoCards::emptyValue();

    struct Row
    {
        const char* name;
        qint32 recordId;
        const char* type;
        const char* delivery; // invoice and purchase delivery after the copy
    };
    const Row rows[] = {{"an update of a customer", 21, "c", "E|P"},
                        {"a new card", 0, "C", "|"},
                        {"the record of another type", 21, "S", "|"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CCard source = card(QString::fromLatin1(row.type), "Ng", "", "", row.recordId);
        source.Notes = QStringLiteral("note");
        for (int location = 1; location <= 4; ++location) {
            CAddress& address = source.Addresses.Add();
            address.Location = location;
            address.City = QStringLiteral("City %1").arg(location);
            address.Email = QStringLiteral("e%1@x.example").arg(location);
        }
        CImportCard copied;
        ASSERT_TRUE(process.MapCardToCard(source, copied));
        EXPECT_EQ(copied.InvoiceDeliveryID + '|' + copied.PurchaseDeliveryID,
                  QString::fromLatin1(row.delivery));
        EXPECT_EQ(copied.CardRecordID, row.recordId);
        ASSERT_EQ(copied.Addresses.size(), 2);
        // Only address 1 has contact details.
        const std::pair<const char*, QString> members[] = {
            {"LastName", "Ng"},         {"FirstName", empty},     {"CustomField2", empty},
            {"CardIdentification", {}}, {"Notes", "note"},        {"1.Email", "e1@x.example"},
            {"1.Phone2", empty},        {"1.Salutation", {}},     {"2.Location", "2"},
            {"2.City", "City 2"},       {"2.StreetLine3", empty}, {"2.Email", {}}};
        for (const auto& [name, expected] : members) {
            EXPECT_EQ(test::member(copied, QLatin1String(name)).toString(), expected) << name;
        }
    }
}

} // namespace
} // namespace brindle
