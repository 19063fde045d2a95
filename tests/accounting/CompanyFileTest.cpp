#include "SyncFixture.h"
#include "TableFile.h"
#include "startup/Environment.h"

namespace brindle {
namespace {

class CompanyFileConnection : public test::SyncFixture,
                              public testing::WithParamInterface<QStringList>
{};

TEST_P(CompanyFileConnection, ConnectsWithTheFixedValuesOrSaysItCannot)
{
    const QStringList& row = GetParam();
    const bool connected = row[6] == u"yes";
    enableLog();
    if (row[1] != u"0") {
        samples::writeCompanyFile(file, {20, row[1].toInt(), 3, QStringLiteral("secret")},
                                  samples::ExistingFile::Keep);
    }
    program().gobjOptions->Analyse(QStringLiteral("DATABASE=") + file +
                                   QStringLiteral("<USERNAME=Administrator<PASSWORD=") + row[2] +
                                   QStringLiteral("<CUSTOMERS=YES<SUPPLIERS=YES"));
    program().glTransferAction = row[3].toInt();
    program().glVEXOProduct = row[4].toInt();
    program().gdODBCVersion = row[5].toDouble();
    process.SetTransferFilterOptions();

    EXPECT_EQ(process.PopulateVEXODataObjects(), connected);
    EXPECT_EQ(process.UserCancelled(), !connected);
    ASSERT_TRUE(process.companyFile.mobjVEXOConnection);
    const TarvoCards::CConnectionSettings& connection =
        process.companyFile.mobjVEXOConnection->Settings();
    EXPECT_EQ(connection.HostProduct, row[7].toInt());
    EXPECT_EQ(connection.Unicode, row[8] == u"yes");
    EXPECT_EQ(connection.AccessMode, 2);
    EXPECT_EQ(connection.SyncLevel, 3);
    EXPECT_TRUE(connection.CheckIntegrity);
    EXPECT_EQ(process.companyFile.mobjVEXOConnection->ConnectionTimeout, 3);
    EXPECT_EQ(process.companyFile.msEmptyValue, TarvoCards::emptyValue());
    EXPECT_EQ(progress.events.filter(QStringLiteral("panel:")),
              connected ? QStringList({"panel:0:1", "panel:0:0"}) : QStringList{"panel:0:0"});
    if (!connected) {
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
    EXPECT_EQ(program().gsSupplierWord, row[10]);
    EXPECT_TRUE(
        logLines()
            .filter(QStringLiteral("CountryLocalisation"))
            .value(0)
            .endsWith(QStringLiteral(" VEXOBrindle.FProcess.CountryLocalisation ") + row[9]));
    const QString active = row[3] == u"1" ? QString() : QStringLiteral(" AND IsInactive = 'N'");
    EXPECT_EQ(process.companyFile.mobjExistingCards->Count(),
              count(QStringLiteral("SELECT count(*) FROM Cards WHERE CardTypeID IN ('C', 'S', "
                                   "'V')") +
                    active));
}

INSTANTIATE_TEST_SUITE_P(Connections, CompanyFileConnection,
                         testing::ValuesIn(test::tableRows("connections.txt")),
                         [](const auto& info) { return info.param[0].toStdString(); });

} // namespace
} // namespace brindle
