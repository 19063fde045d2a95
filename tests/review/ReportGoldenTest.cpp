#include "ReportTestSupport.h"
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
        report.setReportAbbreviation(QStringLiteral("VEXOImport"));
        ASSERT_TRUE(report.CreateReport());
        const QString path = reportFolder() + "/VEXOImport.html";
        EXPECT_EQ(report.ReportFilePath(), hasRows ? path : QString());
        EXPECT_EQ(report.ShowReport(), hasRows);
        expectSameDocument(path, goldenName);
    }

    CCardsColl m_existing;
};

TEST_F(ReportGolden, OneNewCustomerFillsOnePage)
{
    CCustomerColl customers;
    TarvoCards::CImportCard& acme = customers.Add();
    acme.LastName = QStringLiteral("Acme Traders");
    acme.CardRecordID = 57;
    addEmail(acme, 1, QStringLiteral("office@acme.example"));
    addEmail(acme, 2, QStringLiteral("sales@acme.example"));
    clsVEXOImportReport report(context);
    report.setVEXOCustomerColl(&customers);
    expectVexoReport(report, QStringLiteral("vexo_one_customer.html"));
}

TEST_F(ReportGolden, SortsByTypeStatusAndNameUnderVendorHeading)
{
    for (const char* name : {"bravo Ltd", "Charlie", "Able", "Bravo"}) {
        m_existing.append(card(QStringLiteral("C"), QString::fromLatin1(name)));
    }
    m_existing.append(card(QStringLiteral("C"), QStringLiteral("Echo"), QStringLiteral("Ed")));

    CCustomerColl customers;
    customers.append(importCard(QStringLiteral("Zulu Pty")));
    customers.append(importCard(QStringLiteral("bravo Ltd"), {}, QStringLiteral("W1"),
                                QStringLiteral("Address trimmed")));
    customers.append(importCard(QStringLiteral("Charlie")));
    customers.append(importCard(QStringLiteral("Delta"), QStringLiteral("E5"), {},
                                QStringLiteral("Card ID in use")));
    customers.append(
        importCard(QStringLiteral("alpha"), {}, {}, QStringLiteral("no code, not shown")));
    customers.append(
        importCard(QStringLiteral("Able"), QStringLiteral("E2"), {}, QStringLiteral("Refused")));
    customers.append(importCard(QStringLiteral("Alpha")));
    customers.append(importCard(QStringLiteral("Bravo"), {}, {}, QStringLiteral("Note")));
    TarvoCards::CImportCard& echo = customers.Add();
    echo.LastName = QStringLiteral("Echo");
    echo.FirstName = QStringLiteral("Eve");
    echo.IsIndividual = QStringLiteral("Y");

    TarvoCards::CSupplierColl vendors;
    TarvoCards::CImportCard& vendor = vendors.Add();
    vendor.LastName = QStringLiteral("Vendor One");
    vendor.FirstName = QStringLiteral("Val");
    vendor.IsIndividual = QStringLiteral("Y");
    addEmail(vendor, 2, QStringLiteral("v2@x.example"));
    addEmail(vendor, 1, QStringLiteral("v1@x.example"));
    addEmail(vendor, 1, QStringLiteral("second@x.example"));
    TarvoCards::CEmployeeColl employees;
    employees.append(importCard(QStringLiteral("Worker")));
    TarvoCards::CPersonalColl personal;
    personal.append(importCard(QStringLiteral("Self")));

    clsVEXOImportReport report(context);
    report.setSupplierWord(QStringLiteral("Vendor"));
    report.setVEXOCustomerColl(&customers);
    report.setVEXOSupplierColl(&vendors);
    report.setVEXOEmployeeColl(&employees);
    report.setVEXOPersonalColl(&personal);
    expectVexoReport(report, QStringLiteral("vexo_sorted_vendors.html"));
}

TEST_F(ReportGolden, EveryCardExistedWritesEmptyReport)
{
    m_existing.append(card(QStringLiteral("C"), QStringLiteral("Known")));
    CCustomerColl customers;
    customers.append(importCard(QStringLiteral("Known"), QStringLiteral(" "), QStringLiteral(""),
                                QStringLiteral("  ")));
    // A longer report of an earlier run must not leave its tail behind.
    ASSERT_TRUE(QDir().mkpath(reportFolder()));
    QFile earlier(reportFolder() + "/VEXOImport.html");
    ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
    earlier.write(QByteArray(50000, 'x'));
    earlier.close();
    clsVEXOImportReport report(context);
    report.setVEXOCustomerColl(&customers);
    expectVexoReport(report, QStringLiteral("vexo_no_rows.html"), false);
}

TEST_F(ReportGolden, OutlookReportEscapesValuesAndListsUnknownTypeFirst)
{
    QList<CCard> added{
        card(QStringLiteral("c"), QStringLiteral("Smith & Sons"), {},
             QStringLiteral("stored, not shown")),
        card(QStringLiteral("X"), QStringLiteral("Mystery")),
        card(QStringLiteral("C"), QStringLiteral("Müller"), QStringLiteral("Jürgen"))};
    addEmail(added[0], 1, QStringLiteral("ignored@x.example"));
    addEmail(added[0], 2, QStringLiteral("a<b>@x.example"));
    const QList<CCard> updated{
        card(QStringLiteral("C"), QStringLiteral("Quiet Co"), {}, QStringLiteral("  ")),
        card(QStringLiteral("C"), QStringLiteral("Noted Co"), {},
             QStringLiteral("Phone changed <old> & \"new\""))};
    const QList<CCard> rejected{
        card(QStringLiteral("S"), QStringLiteral("Parts #PAGETOTAL# Ltd"), {},
             QStringLiteral("Duplicate Card")),
        card(QStringLiteral("V"), QStringLiteral("<script>alert('x')</script>"),
             QStringLiteral("O'Brien"), QStringLiteral("Rejected by User"))};

    clsOutlookImportReport report(context);
    report.setAddedOutlookContacts(&added);
    report.setUpdatedOutlookContacts(&updated);
    report.setRejectedOutlookContacts(&rejected);
    report.setReportPath(reportFolder());
    report.setReportAbbreviation(QStringLiteral("OutlookImport"));
    ASSERT_TRUE(report.CreateReport());
    EXPECT_EQ(report.ReportFilePath(), reportFolder() + "/OutlookImport.html");
    expectSameDocument(report.ReportFilePath(), QStringLiteral("outlook_mixed.html"));
}

} // namespace
} // namespace brindle::testing
