#include "SyncFixture.h"
#include "TableFile.h"

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
        samples::writeCompanyFile(file, {20, row[1].toInt(), 3, "secret"},
                                  samples::ExistingFile::Keep);
    }
    program().gobjOptions->Analyse("DATABASE=" + file + "<USERNAME=Administrator<PASSWORD=" +
                                   row[2] + "<CUSTOMERS=YES<SUPPLIERS=YES");
    std::tie(program().glTransferAction, program().glVEXOProduct, program().gdODBCVersion) =
        std::tuple(row[3].toInt(), row[4].toInt(), row[5].toDouble());
    process.SetTransferFilterOptions();

    EXPECT_EQ(process.PopulateVEXODataObjects(), connected);
    EXPECT_EQ(process.UserCancelled(), !connected);
    ASSERT_TRUE(process.companyFile.mobjVEXOConnection);
    const auto& connection = process.companyFile.mobjVEXOConnection->Settings();
    EXPECT_EQ(std::tuple(connection.HostProduct, connection.Unicode, connection.AccessMode,
                         connection.SyncLevel, connection.CheckIntegrity,
                         process.companyFile.mobjVEXOConnection->ConnectionTimeout),
              std::tuple(row[7].toInt(), row[8] == u"yes", 2, 3, true, 3));
    EXPECT_EQ(process.companyFile.msEmptyValue, TarvoCards::emptyValue());
    EXPECT_EQ(progress.events.filter("panel:"),
              connected ? QStringList({"panel:0:1", "panel:0:0"}) : QStringList{"panel:0:0"});
    if (!connected) {
        ASSERT_EQ(prompts.messages.size(), 1);
        const auto& said = prompts.messages[0];
        EXPECT_EQ(std::tuple(said.text, said.icon, said.title),
                  std::tuple("The VEXO ODBC Connection was unsuccessful.",
                             Prompts::Icon::Exclamation, "VEXO Brindle"));
        EXPECT_EQ(logLines().filter("FProcess.OpenVEXOConnection Error : ").size(), 1);
        return;
    }
    EXPECT_TRUE(prompts.messages.isEmpty());
    EXPECT_EQ(program().gsSupplierWord, row[10]);
    EXPECT_TRUE(logLines()
                    .filter("CountryLocalisation")
                    .value(0)
                    .endsWith(" VEXOBrindle.FProcess.CountryLocalisation " + row[9]));
    const QString active = row[3] == u"1" ? "" : " AND IsInactive = 'N'";
    EXPECT_EQ(process.companyFile.mobjExistingCards->Count(),
              count("SELECT count(*) FROM Cards WHERE CardTypeID IN ('C', 'S', 'V')" + active));
}

INSTANTIATE_TEST_SUITE_P(Connections, CompanyFileConnection,
                         testing::ValuesIn(test::tableRows("connections.txt")),
                         [](const auto& info) { return info.param[0].toStdString(); });

} // namespace
} // namespace brindle
