#include "FileSizeLimit.h"
#include "ReportTestSupport.h"
#include "ScriptedProgress.h"
#include "review/clsOutlookImportReport.h"
#include "review/clsVEXOImportReport.h"
#include "startup/ErrorLog.h"
#include "startup/MMain.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

namespace brindle::testing {
namespace {

using TarvoCards::CCard;
using TarvoCards::CImportCard;

// The five cell texts of each row of a document, in order.
QList<QStringList> rowsOf(const QString& html)
{
    static const QRegularExpression rowPattern(
        QStringLiteral("<!-- ItemDATA -->\\r\\n\\s*<TR>((?:\\r\\n.*?</TD>){5})"));
    static const QRegularExpression cellPattern(QStringLiteral("<SPAN class='c433'>(.*?)</SPAN>"));
    QList<QStringList> rows;
    for (const auto& row : rowPattern.globalMatch(html)) {
        QStringList cells;
        for (const auto& cell : cellPattern.globalMatch(row.captured(1))) {
            cells << cell.captured(1);
        }
        rows << cells;
    }
    return rows;
}

QString writtenText(const ImportReportWriter& report)
{
    return readText(report.ReportPath() + '/' + report.ReportAbbreviation() + ".html");
}

struct PagingCase
{
    int customers;
    int suppliers;
    int pages;
    int rows; // row slots written, headings and filler rows included
    int fillerRows;
};

class ReportPaging : public ReportTest, public ::testing::WithParamInterface<PagingCase>
{};

TEST_P(ReportPaging, FillsSixteenSlotsPerPageAndFifteenOnTheLast)
{
    const PagingCase& c = GetParam();
    TarvoCards::CCustomerColl customers;
    for (int i = 0; i < c.customers; ++i) {
        customers.append(importCard(QStringLiteral("C%1").arg(i, 3, 10, QLatin1Char('0'))));
    }
    TarvoCards::CSupplierColl suppliers;
    for (int i = 0; i < c.suppliers; ++i) {
        suppliers.append(importCard(QStringLiteral("S%1").arg(i, 3, 10, QLatin1Char('0'))));
    }
    clsVEXOImportReport report;
    report.setVEXOCustomerColl(&customers);
    report.setVEXOSupplierColl(&suppliers);
    report.setReportPath(reportFolder());
    report.setReportAbbreviation(QStringLiteral("VEXOImport"));
    test::ScriptedProgress progress;
    report.setProgress(&progress);
    ASSERT_TRUE(report.CreateReport());

    const QString html = writtenText(report);
    const QList<QStringList> rows = rowsOf(html);
    EXPECT_EQ(rows.size(), c.rows);
    EXPECT_EQ(rows.count({"&nbsp", "", "", "", ""}), c.fillerRows);
    // Once per card gathered and once per row slot filled from the records.
    EXPECT_EQ(progress.pumps, c.customers + c.suppliers + c.rows - c.fillerRows);
    EXPECT_EQ(html.count(QStringLiteral("<div id='page_break' />")), c.pages - 1);
    EXPECT_EQ(html.count(QStringLiteral("<!-- TITLE -->")), c.pages);
    EXPECT_TRUE(html.contains(QStringLiteral(">%1 of %1<").arg(c.pages)));
    EXPECT_TRUE(html.contains(QStringLiteral("PAGE %1 OF\r\n                %1<").arg(c.pages)));
    EXPECT_FALSE(html.contains(QRegularExpression(QStringLiteral("#[A-Za-z]+#"))));
}

INSTANTIATE_TEST_SUITE_P(
    Report, ReportPaging,
    ::testing::Values(PagingCase{1, 0, 1, 15, 13}, PagingCase{14, 0, 1, 15, 0},
                      PagingCase{15, 0, 1, 16, 0}, PagingCase{16, 0, 2, 31, 14},
                      PagingCase{31, 0, 2, 32, 0}, PagingCase{32, 0, 3, 47, 14},
                      PagingCase{14, 1, 2, 31, 14}, PagingCase{2, 2, 1, 15, 9}));

TEST_F(ReportTest, ReportHeadingTakesLastSlotAndItsCardOpensNextPage)
{
    TarvoCards::CCustomerColl customers;
    for (int i = 0; i < 14; ++i) {
        customers.append(importCard(QStringLiteral("C%1").arg(i, 2, 10, QLatin1Char('0'))));
    }
    TarvoCards::CSupplierColl suppliers;
    suppliers.append(importCard(QStringLiteral("Parts Ltd")));
    clsVEXOImportReport report;
    report.setVEXOCustomerColl(&customers);
    report.setVEXOSupplierColl(&suppliers);
    report.setReportPath(reportFolder());
    report.setReportAbbreviation(QStringLiteral("VEXOImport"));
    ASSERT_TRUE(report.CreateReport());

    const QStringList pages = writtenText(report).split(QStringLiteral("<div id='page_break' />"));
    ASSERT_EQ(pages.size(), 2);
    const QList<QStringList> first = rowsOf(pages[0]);
    const QList<QStringList> second = rowsOf(pages[1]);
    ASSERT_EQ(first.size(), 16);
    EXPECT_EQ(first.last(), QStringList({"VEXO Suppliers", "", "", "", ""}));
    ASSERT_FALSE(second.isEmpty());
    EXPECT_EQ(second.first(), QStringList({"Parts Ltd", "", "", "", "ADD"}));
}

TEST_F(ReportTest, ReportOutlookPageBreakEndsItsLine)
{
    QList<CCard> added;
    for (int i = 0; i < 16; ++i) {
        added << card(QStringLiteral("P"), QStringLiteral("P%1").arg(i, 2, 10, QLatin1Char('0')));
    }
    clsOutlookImportReport report;
    report.setAddedOutlookContacts(&added);
    report.setReportPath(reportFolder());
    report.setReportAbbreviation(QStringLiteral("OutlookImport"));
    ASSERT_TRUE(report.CreateReport());
    const QString html = writtenText(report);
    EXPECT_EQ(html.count(QStringLiteral("<TD align='center'>\r\n            </TD>")), 2);
    EXPECT_EQ(html.count(QStringLiteral("<!-- EndFOOTER -->\r\n<div id='page_break' />\r\n    "
                                        "<!-- TITLE -->")),
              1);
}

struct StatusCase
{
    qint32 status;
    bool heading;
    const char* vexoProblem;
    const char* vexoWord;
    const char* outlookProblem;
    const char* outlookWord;
};

class ReportStatusWords : public ReportTest, public ::testing::WithParamInterface<StatusCase>
{};

TEST_P(ReportStatusWords, ShowWordAndTheMessageThatGoesWithIt)
{
    const StatusCase& c = GetParam();
    const QString errors = QStringLiteral("errors"), warnings = QStringLiteral("warnings");
    const QString line =
        clsVEXOImportReport().DetailLine("L", "F", "E", errors, warnings, c.status, c.heading);
    const QStringList outlook = rowsOf(clsOutlookImportReport().DetailLine(
        "L", "F", "E", errors, warnings, c.status, c.heading))[0];
    EXPECT_EQ(rowsOf(line)[0], QStringList({"L", "F", "E", c.vexoProblem, c.vexoWord}));
    EXPECT_EQ(outlook, QStringList({"L", "F", "E", c.outlookProblem, c.outlookWord}));
    EXPECT_EQ(line.count(QStringLiteral("<TD style='BACKGROUND-COLOR: silver'>")),
              c.heading ? 5 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Report, ReportStatusWords,
    ::testing::Values(StatusCase{1, false, "warnings", "ADD", "warnings", "ADD"},
                      StatusCase{2, false, "warnings", "UPDATE", "errors", "UPDATE"},
                      StatusCase{3, false, "errors", "REJECTED", "errors", "ERROR"},
                      StatusCase{0, false, "", "", "", ""}, StatusCase{4, false, "", "", "", ""},
                      StatusCase{1, true, "warnings", "", "warnings", ""},
                      StatusCase{3, true, "errors", "", "errors", ""}));

struct ListingCase
{
    const char* errorCode;
    const char* warningCode;
    const char* logMessage;
    bool existed;
    bool showUpdated;
    qint32 status; // 0: not listed
    const char* errors;
    const char* warnings;
};

class ReportVexoListing : public ReportTest, public ::testing::WithParamInterface<ListingCase>
{};

TEST_P(ReportVexoListing, ListsCardsWithSomethingToSay)
{
    const ListingCase& c = GetParam();
    TarvoCards::CCardsColl existing;
    if (c.existed) {
        existing.append(card(QStringLiteral("E"), QStringLiteral("Kim")));
    }
    TarvoCards::CEmployeeColl employees;
    employees.append(importCard(QStringLiteral("Kim"), c.errorCode, c.warningCode, c.logMessage));
    clsVEXOImportReport report;
    report.setVEXOEmployeeColl(&employees);
    report.setExistingCards(&existing);
    report.setShowUpdatedCards(c.showUpdated);
    ASSERT_TRUE(report.CreateDetailRecordset());
    ASSERT_TRUE(report.AddEmployeeDetails());

    const DetailRecordset& rows = *report.detailRecordset();
    ASSERT_EQ(rows.count(), c.status == 0 ? 0 : 1);
    if (c.status != 0) {
        EXPECT_EQ(rows.at(0).VEXOType, 4);
        EXPECT_EQ(rows.at(0).Status, c.status);
        EXPECT_EQ(rows.at(0).Errors, QString::fromLatin1(c.errors));
        EXPECT_EQ(rows.at(0).Warnings, QString::fromLatin1(c.warnings));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Report, ReportVexoListing,
    ::testing::Values(ListingCase{"", "", "", false, false, 1, "", ""},
                      ListingCase{"", "", "", true, false, 0, "", ""},
                      ListingCase{" ", "  ", "  ", true, false, 0, "", ""},
                      // Only blanks are trimmed: a tab is something to say.
                      ListingCase{" ", "\t", "  ", true, false, 2, "", "  "},
                      ListingCase{"", "", "\t", true, false, 2, "", ""},
                      ListingCase{"", "", "", true, true, 2, "", ""},
                      ListingCase{"", "W7", "Phone too long", true, false, 2, "", "Phone too long"},
                      ListingCase{"", "", "Note only", true, false, 2, "", ""},
                      ListingCase{"E1", "W7", "Refused", false, false, 3, "Refused", ""},
                      ListingCase{"E1", "", "Refused", true, false, 3, "Refused", ""},
                      ListingCase{"", "W7", "Trimmed", false, false, 1, "", "Trimmed"}));

TEST_F(ReportTest, ReportOutlookListsUpdatedCardsOnlyWithMessage)
{
    const QList<CCard> added{card("C", "Added", {}, "kept in Errors")};
    const QList<CCard> updated{card("C", "Silent", {}, " "), card("C", "Spoken", {}, "Phone")};
    const QList<CCard> rejected{card("C", "Refused")};
    for (const bool showUpdated : {false, true}) {
        clsOutlookImportReport report;
        report.setShowUpdatedCards(showUpdated);
        ASSERT_TRUE(report.CreateDetailRecordset());
        ASSERT_TRUE(report.AddDetails(&added, 1));
        ASSERT_TRUE(report.AddDetails(&updated, 2));
        ASSERT_TRUE(report.AddDetails(&rejected, 3));
        QStringList listed;
        for (const DetailRecord& row : *report.detailRecordset()) {
            listed << QStringLiteral("%1:%2:%3:%4")
                          .arg(row.VEXOLastName, QString::number(row.Status), row.Errors,
                               row.Warnings);
        }
        QStringList expected{"Added:1:kept in Errors:", "Spoken:2:Phone:", "Refused:3::"};
        if (showUpdated) {
            expected.insert(1, "Silent:2: :");
        }
        EXPECT_EQ(listed, expected) << "ShowUpdatedCards " << showUpdated;
    }
}

TEST_F(ReportTest, ReportAddDetailsNeedsTheRecordset)
{
    TarvoCards::CCustomerColl customers;
    customers.append(importCard(QStringLiteral("Early")));
    clsVEXOImportReport vexo;
    vexo.setVEXOCustomerColl(&customers);
    EXPECT_FALSE(vexo.AddCustomerDetails());
    const QList<CCard> cards{card("C", "Early")};
    clsOutlookImportReport outlook;
    EXPECT_FALSE(outlook.AddDetails(&cards, 1));
}

TEST_F(ReportTest, ReportCardExistsByLastNameAndIndividualsFirstName)
{
    TarvoCards::CCardsColl existing;
    existing.append(card("C", "Lee", "Ann"));
    existing.append(card("C", "Acme"));
    struct Case
    {
        CCard test;
        bool exists;
    };
    CCard lowerFlag = card("C", "Lee", "Bob");
    lowerFlag.IsIndividual = QStringLiteral("y");
    CCard companyNamedLee = card("C", "Lee");
    companyNamedLee.FirstName = QStringLiteral("Bob");
    const QList<Case> cases{{card("C", "Lee", "Ann"), true},
                            {card("C", "Lee", "Bob"), false},
                            {lowerFlag, false},
                            {companyNamedLee, true},
                            {card("C", "Acme"), true},
                            {card("C", "ACME"), false},
                            {card("C", "Acme", "Ann"), false},
                            {card("C", "Lee "), false}};
    clsVEXOImportReport report;
    for (const Case& c : cases) {
        report.setExistingCards(&existing);
        EXPECT_EQ(report.VEXOCardExists(c.test), c.exists) << c.test.LastName.toStdString();
        report.setExistingCards(nullptr);
        EXPECT_FALSE(report.VEXOCardExists(c.test));
    }
}

TEST_F(ReportTest, ReportEmailComesFromTheMainAddress)
{
    CCard person = card("C", "Lee", "Ann");
    addEmail(person, 3, "three@x");
    addEmail(person, 1, "first@x");
    addEmail(person, 1, "second@x");
    addEmail(person, 2, "work@x");
    CCard company = person;
    company.IsIndividual = QStringLiteral("N");
    CCard noMain = card("C", "Acme");
    addEmail(noMain, 1, "home@x");
    const QList<CCard> cards{person, company, noMain};
    clsOutlookImportReport report;
    ASSERT_TRUE(report.CreateDetailRecordset());
    ASSERT_TRUE(report.AddDetails(&cards, 1));
    const DetailRecordset& rows = *report.detailRecordset();
    ASSERT_EQ(rows.count(), 3);
    EXPECT_EQ(rows.at(0).VEXOEmail, "first@x");
    EXPECT_EQ(rows.at(1).VEXOEmail, "work@x");
    EXPECT_EQ(rows.at(2).VEXOEmail, "");
}

TEST_F(ReportTest, ReportWriteFailureOffersNoReportAndLogsIt)
{
    QFile blocker(m_dir.path() + "/blocker");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    TarvoCards::CCustomerColl customers;
    customers.append(importCard(QStringLiteral("New")));

    struct Case
    {
        QString folder;
        QString name;
    };
    const QList<Case> cases{{blocker.fileName(), "VEXOImport"},
                            {reportFolder(), "missing/VEXOImport"},
                            {QString(), "VEXOImport"}};
    for (const Case& c : cases) {
        clsVEXOImportReport report;
        report.setVEXOCustomerColl(&customers);
        report.setReportPath(c.folder);
        report.setReportAbbreviation(c.name);
        EXPECT_FALSE(report.CreateReport()) << c.folder.toStdString();
        EXPECT_EQ(report.ReportFilePath(), QString());
    }
    EXPECT_TRUE(firstLogLine().contains(
        QStringLiteral(" VEXOBrindle.clsVEXOImportReport.GenerateReport Error : ")))
        << firstLogLine().toStdString();
    EXPECT_FALSE(QFile::exists(QStringLiteral("/VEXOImport.html")));
}

// Lets the window serve its events until the given pump, which fails.
class FailingProgress : public test::ScriptedProgress
{
public:
    explicit FailingProgress(int failAt) : m_failAt(failAt) {}
    void pumpMessages() override
    {
        if (++pumps == m_failAt) {
            throw std::runtime_error("the window failed");
        }
    }

private:
    int m_failAt;
};

TEST_F(ReportTest, ReportThatCannotBeWrittenWholeLeavesTheEarlierOne)
{
    TarvoCards::CCustomerColl few;
    few.append(importCard(QStringLiteral("Earlier")));
    TarvoCards::CCustomerColl many;
    for (int i = 0; i < 400; ++i) {
        many.append(importCard(QStringLiteral("Later %1").arg(i)));
    }
    const auto write = [this](const TarvoCards::CCustomerColl& customers, RunProgress* progress) {
        clsVEXOImportReport report;
        report.setVEXOCustomerColl(&customers);
        report.setReportPath(reportFolder());
        report.setReportAbbreviation(QStringLiteral("VEXOImport"));
        report.setProgress(progress);
        const bool written = report.CreateReport();
        return std::pair{written, report.ReportFilePath()};
    };
    ASSERT_TRUE(write(few, nullptr).first);
    const QString earlier = readText(reportFolder() + "/VEXOImport.html");
    ASSERT_LT(earlier.size(), 64 * 1024);

    struct Case
    {
        const char* name;
        std::function<void()> failingWrite;
        const char* loggedFirst;
    };
    const Case cases[] = {
        // The new report is several times the size of the limit.
        {"disk full",
         [&] {
             const test::FileSizeLimit limit(64 * 1024);
             EXPECT_EQ(write(many, nullptr), std::pair(false, QString()));
         },
         "GenerateReport"},
        // Past the gathering of the 400 cards, halfway through their rows.
        {"rows stop",
         [&] {
             FailingProgress progress(600);
             EXPECT_EQ(write(many, &progress), std::pair(false, QString()));
         },
         "GenerateDetail"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(MMain::logFilePath());
        c.failingWrite();
        EXPECT_EQ(readText(reportFolder() + "/VEXOImport.html"), earlier);
        EXPECT_EQ(QDir(reportFolder()).entryList(QDir::Files), QStringList{"VEXOImport.html"});
        EXPECT_TRUE(firstLogLine().contains(
            QStringLiteral(" VEXOBrindle.clsVEXOImportReport.%1 Error : ").arg(c.loggedFirst)))
            << firstLogLine().toStdString();
    }
    EXPECT_TRUE(write(many, nullptr).first); // nothing of the failures stays behind
}

TEST_F(ReportTest, ReportWithoutCollectionsStillWritesItsFile)
{
    clsOutlookImportReport report;
    report.setReportPath(reportFolder() + "/new/deeper");
    report.setReportAbbreviation(QStringLiteral("OutlookImport"));
    ASSERT_TRUE(report.CreateReport());
    EXPECT_EQ(report.ReportFilePath(), QString());
    EXPECT_FALSE(report.ShowReport());
    EXPECT_EQ(QFile::permissions(reportFolder() + "/new/deeper/OutlookImport.html") & 0x0777,
              QFile::ReadUser | QFile::WriteUser)
        << "a report lists company data: no one else reads it";
    const QString html = writtenText(report);
    EXPECT_TRUE(
        html.contains(QStringLiteral("<TITLE>VEXO Brindle - OUTLOOK IMPORT REPORT</TITLE>")));
    EXPECT_TRUE(
        html.contains(QStringLiteral("    <BODY>\r\n</TABLE></TABLE>\r\n    <!-- FOOTER -->")));
    EXPECT_TRUE(html.contains(QStringLiteral("PAGE 0 OF\r\n                0</SPAN>")));
    EXPECT_TRUE(html.endsWith(QStringLiteral("<!-- EndFOOTER -->\r\n</BODY>\r\n</HTML>")));
}

} // namespace
} // namespace brindle::testing
