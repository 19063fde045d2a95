#include "TableFile.h"
#include "startup/clsOptions.h"

namespace {

TEST(Options, AnalyseReadsEveryProperty)
{
    for (const QStringList& row : brindle::test::tableRows("options.txt")) {
        brindle::clsOptions options;
        EXPECT_TRUE(options.Analyse(row[0]));
        const auto yes = [](bool value) { return QString(value ? u'Y' : u'N'); };
        const QStringList read{options.Database(),
                               options.HostExePath(),
                               options.NetworkProtocol(),
                               options.Username(),
                               options.Password(),
                               QStringLiteral("%1%2%3%4")
                                   .arg(yes(options.Customers()), yes(options.Suppliers()),
                                        yes(options.Personal()), yes(options.Employees()))};
        EXPECT_EQ(read, row.mid(1)) << row[0].toStdString();
    }
}

} // namespace
