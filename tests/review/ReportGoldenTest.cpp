#include "ReportTestSupport.h"
#include "TableFile.h"
#include "review/clsOutlookImportReport.h"
#include "review/clsVEXOImportReport.h"
#include "startup/MMain.h"

#include <QDir>
#include <QFile>

namespace brindle::testing {
namespace {

using TarvoCards::CCard;
using TarvoCards::CCardsColl;
using TarvoCards::CCustomerColl;

class ReportGolden : public ReportTest
{
protected:
    // Writes the import report of these collections and checks it byte for byte.
    void expectVexoReport(clsVEXOImportReport& report, const QString& goldenName,
                          bool hasRows = true)
    {
        report.setExistingCards(&m_existing);
        report.setReportPath(reportFolder());
        report.setReportAbbreviation("VEXOImport");
        ASSERT_TRUE(report.CreateReport());
        const QString path = reportFolder() + "/VEXOImport.html";
        EXPECT_EQ(report.ReportFilePath(), hasRows ? path : QString());
        EXPECT_EQ(report.ShowReport(), hasRows);
        expectSameDocument(path, goldenName);
    }

    CCardsColl m_existing;
};

TEST_F(ReportGolden, SortsByTypeStatusAndNameUnderVendorHeading)
{
    for (const char* name : {"bravo Ltd", "Charlie", "Able", "Bravo"}) {
        m_existing.append(card("C", QString::fromLatin1(name)));
    }
    m_existing.append(card("C", "Echo", "Ed"));

    CCustomerColl customers;
    for (const QStringList& row : test::tableRows("sorted-customers.txt")) {
        customers.append(importCard(row[0], row[1], row[2], row[3], row[4]));
    }

    TarvoCards::CSupplierColl vendors;
    TarvoCards::CImportCard& vendor = vendors.Add();
    vendor = importCard("Vendor One", {}, {}, {}, "Val");
    addEmail(vendor, 2, "v2@x.example");
    addEmail(vendor, 1, "v1@x.example");
    addEmail(vendor, 1, "second@x.example");
    TarvoCards::CEmployeeColl employees;
    employees.append(importCard("Worker"));
    TarvoCards::CPersonalColl personal;
    personal.append(importCard("Self"));

    clsVEXOImportReport report(context);
    report.setSupplierWord("Vendor");
    report.setVEXOCustomerColl(&customers);
    report.setVEXOSupplierColl(&vendors);
    report.setVEXOEmployeeColl(&employees);
    report.setVEXOPersonalColl(&personal);
    expectVexoReport(report, "vexo_sorted_vendors.html");
}

TEST_F(ReportGolden, EveryCardExistedWritesEmptyReport)
{
    m_existing.append(card("C", "Known"));
    CCustomerColl customers;
    customers.append(importCard("Known", " ", "", "  "));
    // A longer report of an earlier run must not leave its tail behind.
    ASSERT_TRUE(QDir().mkpath(reportFolder()));
    QFile earlier(reportFolder() + "/VEXOImport.html");
    ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
    earlier.write(QByteArray(50000, 'x'));
    earlier.close();
    clsVEXOImportReport report(context);
    report.setVEXOCustomerColl(&customers);
    expectVexoReport(report, "vexo_no_rows.html", false);
}

TEST_F(ReportGolden, OutlookReportEscapesValuesAndListsUnknownTypeFirst)
{
    QList<CCard> added{card("c", "Smith & Sons", {}, "stored, not shown"), card("X", "Mystery"),
                       card("C", "Müller", "Jürgen")};
    addEmail(added[0], 1, "ignored@x.example");
    addEmail(added[0], 2, "a<b>@x.example");
    const QList<CCard> updated{card("C", "Quiet Co", {}, "  "),
                               card("C", "Noted Co", {}, "Phone changed <old> & \"new\"")};
    const QList<CCard> rejected{
        card("S", "Parts #PAGETOTAL# Ltd", {}, "Duplicate Card"),
        card("V", "<script>alert('x')</script>", "O'Brien", "Rejected by User")};

    clsOutlookImportReport report(context);
    report.setAddedOutlookContacts(&added);
    report.setUpdatedOutlookContacts(&updated);
    report.setRejectedOutlookContacts(&rejected);
    report.setReportPath(reportFolder());
    report.setReportAbbreviation("OutlookImport");
    ASSERT_TRUE(report.CreateReport());
    EXPECT_EQ(report.ReportFilePath(), reportFolder() + "/OutlookImport.html");
    expectSameDocument(report.ReportFilePath(), "outlook_mixed.html");
}

} // namespace
} // namespace brindle::testing
