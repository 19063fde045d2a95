// The store against plain file I/O of the same vCard files, at two sizes to
// show that each operation grows linearly.
#include "contactstore/Application.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <optional>

namespace contacts {
namespace {

QString value(const QString& name, const QString& suffix)
{
    if (name == u"Anniversary" || name == u"Birthday" || name == u"SelectedMailingAddress") {
        return {};
    }
    return name + suffix;
}

void fill(const std::function<void(const QString&, const QVariant&)>& set, int index)
{
    static const QStringList names = ContactCard::fieldNames();
    const QString suffix = QString::number(index);
    for (const QString& name : names) {
        const QString text = value(name, suffix);
        if (!text.isEmpty()) {
            set(name, text);
        }
    }
    set(QStringLiteral("SelectedMailingAddress"), 1);
}

QByteArray cardBytes(int index)
{
    static QHash<int, QByteArray> made;
    if (made.contains(index)) {
        return made[index];
    }
    ContactCard card;
    fill([&](const QString& name, const QVariant& v) { card.set(name, v); }, index);
    card.prepareForSave(QStringLiteral("bench-%1").arg(index));
    return made[index] = card.card().serialize();
}

// N contact files written once per size, shared by the read benchmarks.
const QString& storeOf(int count)
{
    static QTemporaryDir dir;
    static QHash<int, QString> roots;
    if (!roots.contains(count)) {
        const QString root = dir.path() + QStringLiteral("/%1").arg(count);
        QDir().mkpath(root + QStringLiteral("/Contacts"));
        for (int i = 0; i < count; ++i) {
            QFile file(root + QStringLiteral("/Contacts/bench-%1.vcf").arg(i));
            file.open(QIODevice::WriteOnly);
            file.write(cardBytes(i));
        }
        roots.insert(count, root);
    }
    return roots[count];
}

void RawReadBaseline(benchmark::State& state)
{
    const QString dir = storeOf(int(state.range(0))) + QStringLiteral("/Contacts");
    for (auto _ : state) {
        qint64 bytes = 0;
        for (const QString& name : QDir(dir).entryList({QStringLiteral("*.vcf")}, QDir::Files)) {
            QFile file(dir + u'/' + name);
            file.open(QIODevice::ReadOnly);
            bytes += file.readAll().size();
        }
        benchmark::DoNotOptimize(bytes);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void StoreOpenAndWalk(benchmark::State& state)
{
    const QString root = storeOf(int(state.range(0)));
    const QStringList names = ContactCard::fieldNames();
    for (auto _ : state) {
        Application app(root);
        const auto items = app.GetNamespace(QStringLiteral("MAPI"))->GetDefaultFolder(10)->Items();
        qint64 length = 0;
        for (int i = 1; i <= items.Count(); ++i) {
            const auto item = items.Item(i);
            for (const QString& name : names) {
                length += item->property(name).toString().size();
            }
        }
        benchmark::DoNotOptimize(length);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Each write benchmark starts in an empty folder; making and removing it is
// not timed, as it would hide the difference between the two.
void timedInEmptyFolder(benchmark::State& state, const std::function<void(const QString&)>& run)
{
    for (auto _ : state) {
        state.PauseTiming();
        std::optional<QTemporaryDir> dir(std::in_place);
        state.ResumeTiming();
        run(dir->path());
        state.PauseTiming();
        dir.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void RawWriteBaseline(benchmark::State& state)
{
    const int count = int(state.range(0));
    storeOf(count);
    timedInEmptyFolder(state, [&](const QString& dir) {
        for (int i = 0; i < count; ++i) {
            QFile file(dir + QStringLiteral("/bench-%1.vcf").arg(i));
            file.open(QIODevice::WriteOnly);
            file.write(cardBytes(i));
        }
    });
}

void addAndSave(Application& app, int count)
{
    const auto items = app.GetNamespace(QStringLiteral("MAPI"))->GetDefaultFolder(10)->Items();
    for (int i = 0; i < count; ++i) {
        const auto item = items.Add();
        fill([&](const QString& name, const QVariant& v) { item->setProperty(name, v); }, i);
        item->Save();
    }
}

void StoreAddAndSave(benchmark::State& state)
{
    timedInEmptyFolder(state, [&](const QString& dir) {
        Application app(dir);
        addAndSave(app, int(state.range(0)));
    });
}

// The same with the one flush an export ends with; it only costs on a disk.
void StoreAddSaveAndFlush(benchmark::State& state)
{
    timedInEmptyFolder(state, [&](const QString& dir) {
        Application app(dir);
        addAndSave(app, int(state.range(0)));
        app.Flush();
    });
}

void StoreFind(benchmark::State& state)
{
    const int count = int(state.range(0));
    Application app(storeOf(count));
    const auto items = app.GetNamespace(QStringLiteral("MAPI"))->GetDefaultFolder(10)->Items();
    // The first Find reads every contact into the index, as a walk would.
    items.Find(QStringLiteral("[User1] = 'NONE'"));
    for (auto _ : state) {
        int found = 0;
        for (int i = 0; i < count; ++i) {
            const int wanted = (i * 7919) % count;
            const QString filter =
                QStringLiteral(
                    "([User1] = 'NONE') OR ([LastName] = 'LastName%1' And [FirstName] = "
                    "'FirstName%1') OR ([User3] = 'x') OR ([CustomerID] = 'CustomerID%1')")
                    .arg(wanted);
            found += items.Find(filter) != nullptr;
        }
        if (found != count) {
            state.SkipWithError("Find missed a contact");
        }
    }
    state.SetItemsProcessed(state.iterations() * count);
}

BENCHMARK(RawReadBaseline)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(StoreOpenAndWalk)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(RawWriteBaseline)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(StoreAddAndSave)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(StoreAddSaveAndFlush)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(StoreFind)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace contacts

BENCHMARK_MAIN();
