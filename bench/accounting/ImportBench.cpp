// An import of N contacts from a contact store into a company file of N
// cards under rule 0: half of them changes to cards of the file, half new
// cards. The store is what an export of the file left, then changed by
// another program: the contacts of the first half of the record IDs have a
// new city (those of odd record IDs lost their link, so the import finds
// their cards by identification or name), the others became new people.
// Beside it, as the baseline, the card library alone writes as many rows:
// the cards loaded as the run loads them (addresses 1 and 2), then half
// updates and half new cards of two addresses, each type's in the order the
// run hands them over (its folder's order): the same rows written in record
// order take a seventh less time at 100,000 cards.
// The store and the file are made by a process of their own and each
// measurement runs in one, so its peak memory (VmHWM) is its own. Each side
// runs three times on fresh copies; the best time counts (a shared machine
// only ever adds to it) and the highest peak.
// Run: ImportBench [N...]   (default 10000 100000; the store under $TMPDIR)
#include "bench/support/BenchRun.h"
#include "contactstore/Application.h"
#include "samples/CompanyFileGenerator.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <filesystem>

namespace {

using namespace brindle;
using TarvoCards::CCard;

QString companyFile(const QString& base)
{
    return bench::companyOf(base);
}

// The baseline's copy: a file, or a database of its own on a server.
QString libraryFile(const QString& base)
{
    return bench::companyOf(base + QStringLiteral("/library"));
}

// The record IDs of the contacts in the order the run reads them.
QString orderFile(const QString& base)
{
    return base + QStringLiteral("/order.txt");
}

// Another program's changes to one contact an export left: a new city for
// the first half, a new person for the second.
void change(contacts::ContactItem& contact, int count, int& newcomers)
{
    const qint32 record = contact.property(QStringLiteral("CustomerID")).toString().toInt();
    if (record > count / 2) {
        contact.setProperty(QStringLiteral("CompanyName"), QString());
        contact.setProperty(QStringLiteral("LastName"),
                            QStringLiteral("Newcomer %1").arg(newcomers++));
        contact.setProperty(QStringLiteral("FirstName"), QStringLiteral("Al"));
        contact.setProperty(QStringLiteral("User1"), QString());
        contact.setProperty(QStringLiteral("CustomerID"), QString());
    } else {
        const bool company = !contact.property(QStringLiteral("CompanyName")).toString().isEmpty();
        contact.setProperty(company ? QStringLiteral("BusinessAddressCity")
                                    : QStringLiteral("HomeAddressCity"),
                            QStringLiteral("Moved %1").arg(record));
        if (record % 2) {
            contact.setProperty(QStringLiteral("CustomerID"), QString());
        }
    }
    contact.Save();
}

// The company file, its export into the store, the store changed, and a copy
// of the file for the baseline.
int prepare(int count, const QString& base)
{
    bench::createCompany(base);
    samples::writeCompanyFile(companyFile(base), {count, 1, 11, {}}, samples::ExistingFile::Keep);
    if (bench::serverAddress().isEmpty()) {
        QDir(base).mkdir(QStringLiteral("library"));
        if (!QFile::copy(companyFile(base), libraryFile(base))) {
            qFatal("cannot copy the company file");
        }
    }
    bench::copyCompany(base, base + QStringLiteral("/library"));
    bench::runTransfer(base, bench::exportDirection);
    contacts::Application store(base + QStringLiteral("/contacts"));
    const auto folder = store.Session()->GetDefaultFolder(10);
    QFile order(orderFile(base));
    if (!order.open(QIODevice::WriteOnly)) {
        qFatal("cannot write the contacts' order");
    }
    QTextStream records(&order);
    int newcomers = 0;
    for (const std::shared_ptr<contacts::Folder> typeFolder : folder->Folders()) {
        for (const std::shared_ptr<contacts::ContactItem> contact : typeFolder->Items()) {
            if (contact->Class() == contacts::ContactItem::ContactClass) {
                records << contact->property(QStringLiteral("CustomerID")).toString() << '\n';
                change(*contact, count, newcomers);
            }
        }
    }
    return 0;
}

// The baseline's copy of the company file, read as the run reads it: the
// addresses a contact holds and no more.
void connectLibrary(TarvoCards::CConnection& connection, const QString& base)
{
    connection.Settings().DataFile = libraryFile(base);
    connection.MaxAddressLocation = 2;
    if (!connection.Connect()) {
        qFatal("cannot open the company file");
    }
}

// A card as the run hands the library a contact's card: two addresses.
CCard libraryItem(const CCard& stored)
{
    CCard card;
    card.CardTypeID = stored.CardTypeID;
    card.IsIndividual = stored.IsIndividual;
    card.IsInactive.clear();
    card.LastName = stored.LastName;
    card.FirstName = stored.FirstName;
    card.CardIdentification = stored.CardIdentification;
    card.Notes = stored.Notes;
    for (const TarvoCards::CAddress& address : stored.Addresses) {
        if (address.Location <= 2) {
            card.Addresses.Add() = address;
        }
    }
    return card;
}

// The stored cards in the order the run reads their contacts.
QList<const CCard*> inRunOrder(const QString& base, const TarvoCards::CCardsColl& stored)
{
    QFile order(orderFile(base));
    if (!order.open(QIODevice::ReadOnly)) {
        qFatal("cannot read the contacts' order");
    }
    QHash<qint32, const CCard*> byRecord;
    for (const CCard& card : stored) {
        byRecord.insert(card.CardRecordID, &card);
    }
    QList<const CCard*> cards;
    QTextStream records(&order);
    for (QString line; records.readLineInto(&line);) {
        const CCard* card = byRecord.value(line.toInt());
        if (!card) {
            qFatal("no card of record %s", qPrintable(line));
        }
        cards << card;
    }
    return cards;
}

// The rows the baseline writes: the first half of the record IDs updated
// with a new city (odd ones found by the library's own rules), the rest new
// cards.
QList<CCard> libraryItems(const QString& base, int count)
{
    TarvoCards::CConnection connection;
    connectLibrary(connection, base);
    TarvoCards::CCardsColl stored;
    stored.Load(connection, {}, QStringLiteral("CardRecordID"));
    QList<CCard> items;
    int newcomers = 0;
    for (const CCard* next : inRunOrder(base, stored)) {
        const CCard& card = *next;
        CCard item = libraryItem(card);
        if (card.CardRecordID > count / 2) {
            item.IsIndividual = QStringLiteral("Y");
            item.LastName = QStringLiteral("Newcomer %1").arg(newcomers++);
            item.FirstName = QStringLiteral("Al");
            item.CardIdentification.clear();
        } else {
            item.CardRecordID = card.CardRecordID % 2 ? 0 : card.CardRecordID;
            if (!item.Addresses.isEmpty()) {
                item.Addresses[0].City = QStringLiteral("Moved %1").arg(card.CardRecordID);
            }
        }
        items << std::move(item);
    }
    return items;
}

// The same number of rows through the library alone: load the cards, then
// one import per type.
double runLibrary(const QString& base, const QList<CCard>& items)
{
    QElapsedTimer timer;
    timer.start();
    TarvoCards::CConnection connection;
    connectLibrary(connection, base);
    TarvoCards::CCardsColl existing;
    existing.Load(connection, {}, QStringLiteral("CardTypeID, LastName"));
    TarvoCards::CCustomerColl customers;
    TarvoCards::CSupplierColl suppliers;
    TarvoCards::CEmployeeColl employees;
    TarvoCards::CPersonalColl personal;
    for (const CCard& item : items) {
        TarvoCards::CTypeColl* into = &suppliers;
        if (item.CardTypeID == QLatin1String("C")) {
            into = &customers;
        } else if (item.CardTypeID == QLatin1String("E")) {
            into = &employees;
        } else if (item.CardTypeID == QLatin1String("P")) {
            into = &personal;
        }
        static_cast<CCard&>(into->Add()) = item;
    }
    for (TarvoCards::CTypeColl* coll : std::initializer_list<TarvoCards::CTypeColl*>{
             &customers, &employees, &suppliers, &personal}) {
        if (!coll->Import(connection)) {
            qFatal("the library import failed");
        }
    }
    return timer.nsecsElapsed() / 1e9;
}

// One measurement in its own process: prints "seconds peak-MiB".
int measure(const QString& mode, int count, const QString& base)
{
    const bool run = mode == QLatin1String("run");
    const QList<CCard> items = run ? QList<CCard>() : libraryItems(base, count);
    bench::resetPeak();
    const double seconds =
        run ? bench::runTransfer(base, bench::importDirection) : runLibrary(base, items);
    QTextStream(stdout) << seconds << ' ' << bench::peakMiB() << '\n';
    return 0;
}

QStringList child(const QString& mode, int count, const QString& base)
{
    QProcess process;
    process.start(QCoreApplication::applicationFilePath(),
                  {QStringLiteral("--") + mode, QString::number(count), base});
    process.waitForFinished(-1);
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        qFatal("the %s step failed: %s", qPrintable(mode),
               process.readAllStandardError().constData());
    }
    return QString::fromLatin1(process.readAllStandardOutput()).simplified().split(u' ');
}

// A side's measurement on a fresh copy of what prepare made.
bench::Measured onFreshCopy(const QString& mode, int count, const QString& prepared)
{
    QTemporaryDir copy;
    std::filesystem::copy(prepared.toStdString(), copy.path().toStdString(),
                          std::filesystem::copy_options::recursive);
    const QString library = QStringLiteral("/library");
    bench::copyCompany(prepared, copy.path());
    bench::copyCompany(prepared + library, copy.path() + library);
    const QStringList measured = child(mode, count, copy.path());
    bench::dropCompany(copy.path());
    bench::dropCompany(copy.path() + library);
    return {measured.value(0).toDouble(), measured.value(1).toDouble()};
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.value(0) == QLatin1String("--prepare")) {
        return prepare(args.value(1).toInt(), args.value(2));
    }
    if (args.value(0) == QLatin1String("--run") || args.value(0) == QLatin1String("--library")) {
        return measure(args.value(0).mid(2), args.value(1).toInt(), args.value(2));
    }
    if (args.isEmpty()) {
        args = {QStringLiteral("10000"), QStringLiteral("100000")};
    }
    QTextStream out(stdout);
    out << "store under " << QDir::tempPath() << "\n";
    out << "contacts  run s  run us/contact  run peak MiB  library s  library peak MiB  ratio\n";
    for (const QString& arg : args) {
        const int count = arg.toInt();
        QTemporaryDir base;
        child(QStringLiteral("prepare"), count, base.path());
        const auto [runSeconds, runPeak] =
            bench::bestOf([&] { return onFreshCopy(QStringLiteral("run"), count, base.path()); });
        const auto [librarySeconds, libraryPeak] = bench::bestOf(
            [&] { return onFreshCopy(QStringLiteral("library"), count, base.path()); });
        out << QString::asprintf("%8d %6.2f %15.1f %13.1f %10.2f %17.1f %6.2f\n", count, runSeconds,
                                 runSeconds * 1e6 / count, runPeak, librarySeconds, libraryPeak,
                                 runSeconds / librarySeconds);
        out.flush();
    }
    return 0;
}
