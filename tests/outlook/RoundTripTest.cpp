#include "ExportFixture.h"

namespace brindle {
namespace {

using TarvoCards::CCard;

struct RoundTripRow
{
    const char* name;
    qint32 disableFolders;
};

void PrintTo(const RoundTripRow& row, std::ostream* out)
{
    *out << row.name;
}

class RoundTrip : public test::ExportFixture, public testing::WithParamInterface<RoundTripRow>
{};

// Another program edits exported contacts: a phone number in the file's
// text, a note before the notes marker, a category of the user's own. The
// import brings the phone into the company file and nothing else; the next
// export rewrites only the contact whose categories it keeps in order, and
// the one after that rewrites nothing.
TEST_P(RoundTrip, ChangesMadeElsewhereComeBackAndTheUsersOwnStay)
{
    makeCompanyFile();
    MMain::glDisableOutlookFolders = GetParam().disableFolders;
    const CCard person = active("CardTypeID = 'C' AND IsIndividual = 'Y'");
    const CCard company = active("CardTypeID = 'S' AND IsIndividual = 'N'");
    const CCard staff = active("CardTypeID = 'E'");
    RawFile(file).exec(QStringLiteral("UPDATE Cards SET Notes = 'Pays quarterly' WHERE "
                                      "CardRecordID = ?"),
                       {company.CardRecordID});
    ASSERT_TRUE(runExport());
    const QStringList rowsBefore = rows();

    const QString oldPhone = person.Addresses[0].Phone1;
    const QString newPhone = QStringLiteral("(02) 4444 5555");
    QFile vcf(contactFile(person));
    ASSERT_TRUE(vcf.open(QIODevice::ReadOnly));
    const QByteArray text = vcf.readAll();
    vcf.close();
    ASSERT_TRUE(text.contains(oldPhone.toUtf8()));
    ASSERT_TRUE(vcf.open(QIODevice::WriteOnly | QIODevice::Truncate));
    vcf.write(QByteArray(text).replace(oldPhone.toUtf8(), newPhone.toUtf8()));
    vcf.close();
    const QString body = QStringLiteral("Our own note\r\n-!VEXO NOTES!-\r\nPays quarterly");
    changeContact(contactOf(company),
                  {{"Body", QStringLiteral("Our own note") + property(company, "Body")}});
    const QString mapped = property(staff, "Categories");
    changeContact(contactOf(staff), {{"Categories", mapped + QStringLiteral(", Golf")}});

    ASSERT_TRUE(runImport());
    QStringList changedRows;
    for (const QString& line : rows()) {
        if (!rowsBefore.contains(line)) {
            changedRows << line;
        }
    }
    ASSERT_EQ(changedRows.size(), 1) << changedRows.join(u'\n').toStdString();
    EXPECT_TRUE(changedRows[0].startsWith(QString::number(person.CardRecordID) + u'|'));
    EXPECT_TRUE(changedRows[0].contains(newPhone));

    const auto stamps = fileStamps();
    ASSERT_TRUE(runExport());
    EXPECT_EQ(property(company, "Body"), body);
    EXPECT_EQ(property(person, "HomeTelephoneNumber"), newPhone);
    EXPECT_EQ(property(staff, "Categories"), mapped);
    EXPECT_EQ(property(staff, "User4"), QStringLiteral("Golf"));
    QStringList rewritten;
    const auto after = fileStamps();
    for (auto it = after.cbegin(); it != after.cend(); ++it) {
        if (stamps.value(it.key()) != it.value()) {
            rewritten << it.key();
        }
    }
    EXPECT_EQ(rewritten, QStringList{contactFile(staff)});
    ASSERT_TRUE(runExport());
    EXPECT_EQ(fileStamps(), after) << "the user's own categories are no change";
}

INSTANTIATE_TEST_SUITE_P(Layouts, RoundTrip,
                         testing::Values(RoundTripRow{"folders", 0}, RoundTripRow{"categories", 1}),
                         [](const testing::TestParamInfo<RoundTripRow>& info) {
                             return info.param.name;
                         });

} // namespace
} // namespace brindle
