#include "FileSizeLimit.h"
#include "ReportTestSupport.h"
#include "ScriptedProgress.h"
#include "TableFile.h"
#include "review/clsOutlookImportReport.h"
#include "review/clsVEXOImportReport.h"
#include "startup/MMain.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

namespace brindle::testing {
namespace {

// The five cell texts of each row of a document, in order.
QList<QStringList> rowsOf(const QString& html)
{
    static const QRegularExpression rowPattern(
        "<!-- ItemDATA -->\\r\\n\\s*<TR>((?:\\r\\n.*?</TD>){5})");
    static const QRegularExpression cellPattern("<SPAN class='c433'>(.*?)</SPAN>");
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

bool flag(const QString& text)
{
    return text == u"True";
}

TEST_F(ReportTest, ReportPagesAsTheTableSays)
{
    for (const QStringList& c : test::tableRows("paging.txt")) {
        SCOPED_TRACE(c.join(u'|').toStdString());
        TarvoCards::CCustomerColl customers;
        TarvoCards::CSupplierColl suppliers;
        for (int i = 0; i < c[0].toInt() + c[1].toInt(); ++i) {
            const QString name = QStringLiteral("%1").arg(i, 3, 10, QLatin1Char('0'));
            i < c[0].toInt() ? customers.append(importCard("C" + name))
                             : suppliers.append(importCard("S" + name));
        }
        clsVEXOImportReport report(context);
        report.setVEXOCustomerColl(&customers);
        report.setVEXOSupplierColl(&suppliers);
        report.setReportPath(reportFolder());
        report.setReportAbbreviation("VEXOImport");
        ASSERT_TRUE(report.CreateReport());
        EXPECT_EQ(QFile::permissions(reportFolder() + "/VEXOImport.html") & 0x777, 0x600)
            << "a report lists company data: no one else reads it";
        const QString html = readText(reportFolder() + "/VEXOImport.html");
        const QList<QStringList> rows = rowsOf(html);
        EXPECT_EQ(rows.size(), c[3].toInt());
        EXPECT_EQ(rows.count({"&nbsp", "", "", "", ""}), c[4].toInt());
        EXPECT_EQ(html.count("<!-- TITLE -->"), c[2].toInt());
        EXPECT_TRUE(html.contains(QStringLiteral("PAGE %1 OF\r\n                %1<").arg(c[2])));
        EXPECT_FALSE(html.contains(QRegularExpression("#[A-Za-z]+#")));
    }
}

TEST_F(ReportTest, ReportShowsTheStatusWordAndTheMessageThatGoesWithIt)
{
    for (const QStringList& c : test::tableRows("status.txt")) {
        const QString vexo = clsVEXOImportReport(context).DetailLine(
            "L", "F", "E", "errors", "warnings", c[0].toInt(), flag(c[1]));
        const QString outlook = clsOutlookImportReport(context).DetailLine(
            "L", "F", "E", "errors", "warnings", c[0].toInt(), flag(c[1]));
        EXPECT_EQ(rowsOf(vexo).value(0), QStringList({"L", "F", "E"}) + c.mid(2, 2));
        EXPECT_EQ(rowsOf(outlook).value(0), QStringList({"L", "F", "E"}) + c.mid(4, 2));
        EXPECT_EQ(vexo.count("BACKGROUND-COLOR: silver"), flag(c[1]) ? 5 : 0);
    }
}

TEST_F(ReportTest, ReportListsTheCardsWithSomethingToSay)
{
    for (const QStringList& c : test::tableRows("listing.txt")) {
        SCOPED_TRACE(c.join(u'|').toStdString());
        TarvoCards::CCardsColl existing;
        if (flag(c[3])) {
            existing.append(card("E", "Kim"));
        }
        TarvoCards::CEmployeeColl employees;
        employees.append(importCard("Kim", c[0], c[1], c[2]));
        clsVEXOImportReport report(context);
        report.setVEXOEmployeeColl(&employees);
        report.setExistingCards(&existing);
        report.setShowUpdatedCards(flag(c[4]));
        ASSERT_TRUE(report.CreateDetailRecordset());
        ASSERT_TRUE(report.AddEmployeeDetails());
        QStringList listed;
        for (const DetailRecord& row : *report.detailRecordset()) {
            listed << QString::number(row.VEXOType) << QString::number(row.Status) << row.Errors
                   << row.Warnings;
        }
        EXPECT_EQ(listed, (c[5] == u"0" ? QStringList() : QStringList{"4", c[5], c[6], c[7]}));
    }
}

TEST_F(ReportTest, ReportCardExistsByLastNameAndIndividualsFirstName)
{
    TarvoCards::CCardsColl existing;
    existing.append(card("C", "Lee", "Ann"));
    existing.append(card("C", "Acme"));
    clsVEXOImportReport report(context);
    for (const QStringList& c : test::tableRows("exists.txt")) {
        TarvoCards::CCard test = card("C", c[0], c[1]);
        test.IsIndividual = c[2];
        report.setExistingCards(&existing);
        EXPECT_EQ(report.VEXOCardExists(test), flag(c[3])) << c.join(u'|').toStdString();
        report.setExistingCards(nullptr);
        EXPECT_FALSE(report.VEXOCardExists(test));
    }
}

// Fails at a pump past the gathering of 400 cards, halfway through their rows.
struct FailingProgress : test::ScriptedProgress
{
    void pumpMessages() override
    {
        if (++pumps == 600) {
            throw std::runtime_error("the window failed");
        }
    }
};

TEST_F(ReportTest, ReportThatCannotBeWrittenWholeLeavesTheEarlierOne)
{
    TarvoCards::CCustomerColl few;
    few.append(importCard("Earlier"));
    TarvoCards::CCustomerColl many;
    for (int i = 0; i < 400; ++i) {
        many.append(importCard(QStringLiteral("Later %1").arg(i)));
    }
    const auto write = [this](const TarvoCards::CCustomerColl& customers, RunProgress* progress) {
        clsVEXOImportReport report(context);
        report.setVEXOCustomerColl(&customers);
        report.setReportPath(reportFolder());
        report.setReportAbbreviation("VEXOImport");
        report.setProgress(progress);
        const bool written = report.CreateReport();
        return std::pair{written, report.ReportFilePath()};
    };
    ASSERT_TRUE(write(few, nullptr).first);
    const QString earlier = readText(reportFolder() + "/VEXOImport.html");
    ASSERT_LT(earlier.size(), 64 * 1024);

    const auto expectEarlierKept = [&](RunProgress* progress, const char* loggedFirst) {
        QFile::remove(MMain::logFilePath());
        EXPECT_EQ(write(many, progress), std::pair(false, QString()));
        EXPECT_EQ(readText(reportFolder() + "/VEXOImport.html"), earlier);
        EXPECT_EQ(QDir(reportFolder()).entryList(QDir::Files), QStringList{"VEXOImport.html"});
        EXPECT_TRUE(logLines().value(0).contains(
            QStringLiteral(" VEXOBrindle.clsVEXOImportReport.%1 Error : ").arg(loggedFirst)))
            << logLines().value(0).toStdString();
    };
    {
        const test::FileSizeLimit diskFull(64 * 1024); // several times smaller than the report
        expectEarlierKept(nullptr, "GenerateReport");
    }
    FailingProgress failing;
    expectEarlierKept(&failing, "GenerateDetail");
    EXPECT_TRUE(write(many, nullptr).first); // nothing of the failures stays behind
}

} // namespace
} // namespace brindle::testing
