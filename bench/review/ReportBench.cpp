#include "cardlib/Collections.h"
#include "review/clsOutlookImportReport.h"
#include "review/clsVEXOImportReport.h"
#include "startup/ProgramContext.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

using namespace brindle;

TarvoCards::CImportCard importCard(int i)
{
    TarvoCards::CImportCard card;
    card.CardRecordID = i;
    card.LastName = QStringLiteral("Customer & Sons %1").arg((i * 7919) % 100000);
    card.FirstName = QStringLiteral("First %1").arg(i);
    card.IsIndividual = (i % 2) ? QStringLiteral("Y") : QStringLiteral("N");
    TarvoCards::CAddress& address = card.Addresses.Add();
    address.Location = 1 + i % 2;
    address.Email = QStringLiteral("card%1@example.com").arg(i);
    if (i % 10 == 0) {
        card.ErrorCode = QStringLiteral("E1");
        card.LogMessage = QStringLiteral("Refused <by> the company file");
    }
    return card;
}

// Cards that get a row each: new ones, or existing ones with a warning.
void fill(TarvoCards::CTypeColl& cards, TarvoCards::CCardsColl& existing, int count, int offset,
          bool existed)
{
    for (int i = offset; i < offset + count; ++i) {
        TarvoCards::CImportCard& card = cards.append(importCard(i));
        if (existed) {
            existing.append(card);
            card.WarningCode = QStringLiteral("W1");
            card.LogMessage = QStringLiteral("Address trimmed");
        }
    }
}

void runVexoReport(benchmark::State& state, bool existed)
{
    const int rows = int(state.range(0));
    TarvoCards::CCustomerColl customers;
    TarvoCards::CSupplierColl suppliers;
    TarvoCards::CCardsColl existing;
    fill(customers, existing, rows / 2, 0, existed);
    fill(suppliers, existing, rows - rows / 2, rows, existed);
    QTemporaryDir dir;
    ProgramContext context;
    for (auto _ : state) {
        clsVEXOImportReport report(context);
        report.setVEXOCustomerColl(&customers);
        report.setVEXOSupplierColl(&suppliers);
        report.setExistingCards(&existing);
        report.setReportPath(dir.path());
        report.setReportAbbreviation(QStringLiteral("VEXOImport"));
        if (!report.CreateReport() || report.ReportFilePath().isEmpty()) {
            state.SkipWithError("report not written");
        }
    }
    state.SetItemsProcessed(state.iterations() * rows);
}

void BM_VexoReportNewCards(benchmark::State& state)
{
    runVexoReport(state, false);
}

// Every card is looked for among as many existing cards.
void BM_VexoReportExistingCards(benchmark::State& state)
{
    runVexoReport(state, true);
}

void BM_OutlookReport(benchmark::State& state)
{
    const int rows = int(state.range(0));
    QList<TarvoCards::CCard> added;
    for (int i = 0; i < rows; ++i) {
        TarvoCards::CCard card = importCard(i);
        card.CardTypeID = QStringLiteral("CSPE").mid(i % 4, 1);
        added << card;
    }
    QTemporaryDir dir;
    ProgramContext context;
    for (auto _ : state) {
        clsOutlookImportReport report(context);
        report.setAddedOutlookContacts(&added);
        report.setReportPath(dir.path());
        report.setReportAbbreviation(QStringLiteral("OutlookImport"));
        if (!report.CreateReport()) {
            state.SkipWithError("report not written");
        }
    }
    state.SetItemsProcessed(state.iterations() * rows);
}

} // namespace

BENCHMARK(BM_VexoReportNewCards)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VexoReportExistingCards)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OutlookReport)->Arg(10000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
