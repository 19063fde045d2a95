#include "SyncFixture.h"
#include "startup/Environment.h"

namespace brindle {
namespace {

struct ConnectRow
{
    const char* name;
    int country; // 0: no company file
    const char* password;
    qint32 direction;
    qint32 product;
    double driverVersion;
    bool connected;
    int hostProduct;
    bool unicode;
    const char* countryText;
    const char* supplierWord;
};

class CompanyFileConnection : public test::SyncFixture,
                              public testing::WithParamInterface<ConnectRow>
{};

TEST_P(CompanyFileConnection, ConnectsWithTheFixedValuesOrSaysItCannot)
{
    const ConnectRow& row = GetParam();
    enableLog();
    if (row.country != 0) {
        samples::writeCompanyFile(file, {20, row.country, 3, QStringLiteral("secret")},
                                  samples::ExistingFile::Keep);
    }
    program().gobjOptions->Analyse(
        QStringLiteral("DATABASE=") + file + QStringLiteral("<USERNAME=Administrator<PASSWORD=") +
        QString::fromLatin1(row.password) + QStringLiteral("<CUSTOMERS=YES<SUPPLIERS=YES"));
    program().glTransferAction = row.direction;
    program().glVEXOProduct = row.product;
    program().gdODBCVersion = row.driverVersion;
    process.SetTransferFilterOptions();

    EXPECT_EQ(process.PopulateVEXODataObjects(), row.connected);
    EXPECT_EQ(process.UserCancelled(), !row.connected);
    ASSERT_TRUE(process.mobjVEXOConnection);
    const TarvoCards::CConnectionSettings& connection = process.mobjVEXOConnection->Settings();
    EXPECT_EQ(connection.HostProduct, row.hostProduct);
    EXPECT_EQ(connection.Unicode, row.unicode);
    EXPECT_EQ(connection.AccessMode, 2);
    EXPECT_EQ(connection.SyncLevel, 3);
    EXPECT_TRUE(connection.CheckIntegrity);
    EXPECT_EQ(process.mobjVEXOConnection->ConnectionTimeout, 3);
    EXPECT_EQ(process.msEmptyValue, TarvoCards::emptyValue());
    EXPECT_EQ(progress.events.filter(QStringLiteral("panel:")),
              row.connected ? QStringList({"panel:0:1", "panel:0:0"}) : QStringList{"panel:0:0"});
    if (!row.connected) {
        ASSERT_EQ(prompts.messages.size(), 1);
        EXPECT_EQ(prompts.messages[0].text,
                  QStringLiteral("The VEXO ODBC Connection was unsuccessful."));
        EXPECT_EQ(prompts.messages[0].icon, Prompts::Icon::Exclamation);
        EXPECT_EQ(prompts.messages[0].title, QStringLiteral("VEXO Brindle"));
        EXPECT_EQ(logLines().filter(QStringLiteral("FProcess.OpenVEXOConnection Error : ")).size(),
                  1);
        return;
    }
    EXPECT_TRUE(prompts.messages.isEmpty());
    EXPECT_EQ(program().gsSupplierWord, QString::fromLatin1(row.supplierWord));
    EXPECT_TRUE(logLines()
                    .filter(QStringLiteral("CountryLocalisation"))
                    .value(0)
                    .endsWith(QStringLiteral(" VEXOBrindle.FProcess.CountryLocalisation ") +
                              QString::fromLatin1(row.countryText)));
    const QString active = row.direction == 1 ? QString() : QStringLiteral(" AND IsInactive = 'N'");
    EXPECT_EQ(process.mobjExistingCards->Count(),
              count(QStringLiteral("SELECT count(*) FROM Cards WHERE CardTypeID IN ('C', 'S', "
                                   "'V')") +
                    active));
}

INSTANTIATE_TEST_SUITE_P(
    Connections, CompanyFileConnection,
    testing::Values(
        ConnectRow{"import_started_by_VEXO", 1, "secret", 1, 1, 5'000'000, true, 3, true,
                   "DataFileCountry = Australia ", "Supplier"},
        ConnectRow{"import_started_by_VEXOP", 1, "secret", 1, 2, 4'999'999, true, 1, false,
                   "DataFileCountry = Australia ", "Supplier"},
        ConnectRow{"import_started_by_another_program", 1, "secret", 1, 0, 5'000'000, true, 0, true,
                   "DataFileCountry = Australia ", "Supplier"},
        ConnectRow{"export_sets_no_product", 2, "secret", 2, 1, 5'000'000, true, 0, true,
                   "DataFileCountry = United States           ", "Vendor"},
        ConnectRow{"wrong_password", 1, "guess", 1, 1, 5'000'000, false, 3, true, "", ""},
        ConnectRow{"missing_file", 0, "secret", 1, 1, 5'000'000, false, 3, true, "", ""}),
    [](const testing::TestParamInfo<ConnectRow>& info) { return std::string(info.param.name); });

} // namespace
} // namespace brindle
