#include "startup/clsOptions.h"

#include <gtest/gtest.h>

using brindle::clsOptions;

namespace {

struct Expected
{
    const char* options;
    const char* database;
    const char* hostExePath;
    const char* networkProtocol;
    const char* username;
    const char* password;
    bool customers, suppliers, personal, employees;
};

void PrintTo(const Expected& expected, std::ostream* os)
{
    *os << '"' << expected.options << '"';
}

class OptionsAnalyse : public ::testing::TestWithParam<Expected>
{};

TEST_P(OptionsAnalyse, ReadsEveryProperty)
{
    const Expected& e = GetParam();
    clsOptions options;
    EXPECT_TRUE(options.Analyse(QString::fromUtf8(e.options)));
    EXPECT_EQ(options.Database(), QString::fromUtf8(e.database));
    EXPECT_EQ(options.HostExePath(), QString::fromUtf8(e.hostExePath));
    EXPECT_EQ(options.Username(), QString::fromUtf8(e.username));
    EXPECT_EQ(options.Password(), QString::fromUtf8(e.password));
    EXPECT_EQ(options.NetworkProtocol(), QString::fromUtf8(e.networkProtocol));
    EXPECT_EQ(options.Customers(), e.customers);
    EXPECT_EQ(options.Suppliers(), e.suppliers);
    EXPECT_EQ(options.Personal(), e.personal);
    EXPECT_EQ(options.Employees(), e.employees);
}

INSTANTIATE_TEST_SUITE_P(
    OptionStrings, OptionsAnalyse,
    ::testing::Values(
        Expected{"", "", "", "", "", "", false, false, false, false},
        Expected{"DATABASE=C:\\Data\\Company.dat<HOST_EXE_PATH=C:\\Programs\\VEXOP.exe<USERNAME="
                 "Clerk<CUSTOMERS=YES<SUPPLIERS=yes",
                 "C:\\Data\\Company.dat", "C:\\Programs\\VEXOP.exe", "", "Clerk", "", true, true,
                 false, false},
        // All nine keys, in an order unlike the parser's.
        Expected{"EMPLOYEES=YES<NETWORK_PROTOCOL=TCP/IP<PASSWORD=pw<DATABASE=/d.db<PERSONAL=yes"
                 "<HOST_EXE_PATH=/opt/VEXOP.exe<USERNAME=Clerk<SUPPLIERS=No<CUSTOMERS=YES",
                 "/d.db", "/opt/VEXOP.exe", "TCP/IP", "Clerk", "pw", true, false, true, true},
        // Keys in any case; values keep theirs.
        Expected{"database=C:\\MiXed.dat<password=SeCret<network_protocol=Ipx", "C:\\MiXed.dat", "",
                 "Ipx", "", "SeCret", false, false, false, false},
        // Blanks around YES are trimmed; Y and TRUE are not YES.
        Expected{"CUSTOMERS= YES <SUPPLIERS=Y<PERSONAL=TRUE<EMPLOYEES=Yes", "", "", "", "", "",
                 true, false, false, true},
        // Only blanks are trimmed: a tab or a line break stays part of the value.
        Expected{"CUSTOMERS=YES\t<SUPPLIERS=\tYES<PERSONAL=YES\r\n<NETWORK_PROTOCOL= \tTCP\t ", "",
                 "", "\tTCP\t", "", "", false, false, false, false},
        Expected{"DATABASE=\t", "\t", "", "", "", "", false, false, false, false},
        // Other Unicode spaces are not blanks either.
        Expected{"USERNAME=\u00a0Clerk\u3000<EMPLOYEES=YES\u00a0", "", "", "", "\u00a0Clerk\u3000",
                 "", false, false, false, false},
        // The first occurrence wins, even inside another option's value.
        Expected{"DATABASE=C:\\Personal\\Company.dat<PERSONAL=YES", "C:\\Personal\\Company.dat", "",
                 "", "", "", false, false, false, false},
        // A value cannot hold "<".
        Expected{"USERNAME=a<b", "", "", "", "a", "", false, false, false, false},
        // Exactly one character after the key is skipped.
        Expected{"DATABASE = C:\\x.dat", "= C:\\x.dat", "", "", "", "", false, false, false, false},
        Expected{"NETWORK_PROTOCOL:SPX<PASSWORD", "", "", "SPX", "", "", false, false, false,
                 false},
        // The last value runs to the end, trailing blanks removed.
        Expected{"CUSTOMERS=YES<USERNAME=Clerk   ", "", "", "", "Clerk", "", true, false, false,
                 false}));

} // namespace
