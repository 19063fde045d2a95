// Card library against plain prepared SQLite statements doing the same
// rows in one transaction. Run: CardLibraryBench --benchmark_counters_tabular=true
#include "cardlib/CardRows.h"
#include "cardlib/Collections.h"
#include "cardlib/CompanyFile.h"
#include "cardlib/Connection.h"
#include "cardlib/Schema.h"
#include "cardlib/SqlUtil.h"
#include "samples/CardGenerator.h"
#include "samples/CompanyFileGenerator.h"

#include <QCoreApplication>
#include <QFile>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace TarvoCards;
using namespace brindle::samples;

namespace {

QTemporaryDir& workDir()
{
    static QTemporaryDir dir;
    return dir;
}

// A sample file of n cards, made once per size.
QString sampleFile(int cards)
{
    const QString path = workDir().filePath(QStringLiteral("sample-%1.sqlite").arg(cards));
    if (!QFile::exists(path)) {
        writeCompanyFile(path, CompanyFileOptions{cards, 1, 42, {}}, ExistingFile::Keep);
    }
    return path;
}

QString freshCopy(int cards)
{
    const QString copy = workDir().filePath(QStringLiteral("copy.sqlite"));
    QFile::remove(copy);
    QFile::copy(sampleFile(cards), copy);
    return copy;
}

// n new customers with two addresses each, as the program hands them over.
void fillNew(CTypeColl& coll, int n, quint32 seed)
{
    SampleRandom random(seed);
    CardGenerator cards(random, 1);
    for (int i = 0; i < n; ++i) {
        CImportCard card = cards.next(brindle::CardType::Customer);
        card.LastName += QStringLiteral(" new %1").arg(i);
        card.CardIdentification = QStringLiteral("*None");
        card.Addresses.resize(2);
        coll.append(card);
    }
}

struct Connected
{
    explicit Connected(const QString& file)
    {
        connection.Settings().DataFile = file;
        if (!connection.Connect()) {
            qFatal("%s", qPrintable(connection.LastError().description()));
        }
    }
    CConnection connection;
};

void BM_LoadCards(benchmark::State& state)
{
    Connected open(sampleFile(int(state.range(0))));
    for (auto _ : state) {
        CCardsColl cards;
        cards.Load(open.connection, QString(), QStringLiteral("CardTypeID, LastName"));
        benchmark::DoNotOptimize(cards.Count());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// The characters of every value of every row the query reads.
qint64 readAll(QSqlDatabase& db, const QString& sql)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    query.exec(sql);
    const int columns = query.record().count();
    qint64 values = 0;
    while (query.next()) {
        for (int i = 0; i < columns; ++i) {
            values += query.value(i).toString().size();
        }
    }
    return values;
}

void BM_RawLoad(benchmark::State& state)
{
    Connected open(sampleFile(int(state.range(0))));
    QSqlDatabase& db = open.connection.database();
    for (auto _ : state) {
        const qint64 values =
            readAll(db, QStringLiteral("SELECT %1 FROM Cards ORDER BY CardTypeID, LastName")
                            .arg(cardSelectList())) +
            readAll(db, QStringLiteral("SELECT %1 FROM Addresses ORDER BY CardRecordID, Location")
                            .arg(addressSelectList()));
        benchmark::DoNotOptimize(values);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Updates of n stored cards: each item names its card and changes a field.
void fillUpdates(CConnection& connection, CTypeColl& coll, int n)
{
    CCustomerColl stored;
    bool ok = false;
    stored.Backup(connection, 0, 0, ok);
    QFile::remove(stored.backupPath());
    int i = 0;
    for (const CImportCard& card : stored) {
        if (i++ == n) {
            break;
        }
        CImportCard item = card;
        item.Notes = QStringLiteral("updated %1").arg(i);
        item.Addresses.resize(qMin<qsizetype>(2, item.Addresses.size()));
        coll.append(item);
    }
}

void fillNewCustomers(CConnection&, CTypeColl& coll, int n)
{
    fillNew(coll, n, 5);
}

// Times one write of the n customers fill makes, each into a fresh copy of
// a sample file of fileCards cards.
template <typename Write>
void timeWrite(benchmark::State& state, int fileCards, void (*fill)(CConnection&, CTypeColl&, int),
               Write write)
{
    const int n = int(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        Connected open(freshCopy(fileCards));
        CCustomerColl customers;
        fill(open.connection, customers, n);
        state.ResumeTiming();
        write(open.connection, customers, state);
    }
    state.SetItemsProcessed(state.iterations() * n);
}

void libraryImport(CConnection& connection, CTypeColl& customers, benchmark::State& state)
{
    if (!customers.Import(connection)) {
        state.SkipWithError("import failed");
    }
}

// The same rows through plain prepared statements in one transaction. They
// bind the library's own row values, so only the library's finding and
// merging is measured against them.
void plainWrite(QSqlDatabase& db, CTypeColl& customers, bool update)
{
    const QStringList columns = cardTextColumnNames();
    QSqlQuery card(db), address(db);
    card.prepare(update ? QStringLiteral("UPDATE Cards SET CardTypeID = ?, %1 = ? WHERE "
                                         "CardRecordID = ?")
                              .arg(columns.join(QStringLiteral(" = ?, ")))
                        : QStringLiteral("INSERT INTO Cards (CardTypeID, %1) VALUES (%2)")
                              .arg(columns.join(','), placeholders(columns.size() + 1)));
    address.prepare(
        QStringLiteral("INSERT OR REPLACE INTO Addresses (%1) VALUES (%2)")
            .arg(addressSelectList(), placeholders(addressTextColumnNames().size() + 2)));
    QSqlQuery(db).exec(QStringLiteral("BEGIN"));
    for (const CImportCard& item : customers) {
        QVariantList values = QVariantList{item.CardTypeID} + cardValues(item);
        execOrThrow(card, update ? values << item.CardRecordID : values);
        const qint32 id = update ? item.CardRecordID : card.lastInsertId().toInt();
        for (const CAddress& a : item.Addresses) {
            execOrThrow(address, addressValues(id, a));
        }
    }
    QSqlQuery(db).exec(QStringLiteral("COMMIT"));
}

// The same rows written with plain SQL, timed as the library's import is.
void rawInsert(CConnection& connection, CTypeColl& customers, benchmark::State&)
{
    plainWrite(connection.database(), customers, false);
}

void rawUpdate(CConnection& connection, CTypeColl& customers, benchmark::State&)
{
    plainWrite(connection.database(), customers, true);
}

void BM_ImportNew(benchmark::State& state)
{
    timeWrite(state, 1000, fillNewCustomers, libraryImport);
}

void BM_RawInsert(benchmark::State& state)
{
    timeWrite(state, 1000, fillNewCustomers, rawInsert);
}

void BM_ImportUpdate(benchmark::State& state)
{
    timeWrite(state, 25000, fillUpdates, libraryImport);
}

void BM_RawUpdate(benchmark::State& state)
{
    timeWrite(state, 25000, fillUpdates, rawUpdate);
}

} // namespace

BENCHMARK(BM_LoadCards)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_RawLoad)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ImportNew)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_RawInsert)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ImportUpdate)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_RawUpdate)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
