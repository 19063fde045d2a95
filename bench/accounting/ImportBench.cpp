// An import of N contacts, half of them changes to cards of the company file
// and half new cards, into a company file of N cards under rule 0, against
// the card library writing the same rows alone. The cards from contacts are
// shaped as the mapping makes them. Each measurement runs in a child process
// of its own, so its peak memory (VmHWM, the whole process) is its own.
// Run: ImportBench [N...]   (default 10000 100000)
#include "ScriptedPrompts.h"
#include "accounting/CardRules.h"
#include "registry/IniHive.h"
#include "review/FSummary.h"
#include "run/FProcess.h"
#include "samples/CompanyFileGenerator.h"
#include "startup/MMain.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <functional>
#include <malloc.h>

namespace {

using namespace brindle;
using TarvoCards::CCard;

const QString allTypes = QStringLiteral("<CUSTOMERS=YES<SUPPLIERS=YES<EMPLOYEES=YES<PERSONAL=YES");

// A text as the contact side reads it from a contact: a copy of its own.
QString fresh(const QString& text)
{
    return QString(text.constData(), text.size());
}

// A card as MapContactToCard makes it of the contact an export left for the
// stored card: five addresses, the first two filled, 3 to 5 only located.
CCard mappedCard(const CCard& stored)
{
    CCard card;
    card.CardTypeID = stored.CardTypeID;
    card.IsIndividual = stored.IsIndividual;
    card.IsInactive.clear();
    card.LastName = fresh(stored.LastName);
    if (stored.IsIndividual == QLatin1String("Y")) {
        card.FirstName = fresh(stored.FirstName);
    }
    card.CardIdentification = fresh(stored.CardIdentification);
    card.Notes = fresh(stored.Notes);
    for (qint32 location = 1; location <= 5; ++location) {
        TarvoCards::CAddress& address = card.Addresses.Add();
        address.Location = location;
        const auto source = std::find_if(
            stored.Addresses.begin(), stored.Addresses.end(),
            [location](const TarvoCards::CAddress& a) { return a.Location == location; });
        if (location > 2) {
            continue;
        }
        if (source == stored.Addresses.end()) {
            address.StreetLine1.clear();
            continue;
        }
        QStringList lines{source->StreetLine1, source->StreetLine2, source->StreetLine3,
                          source->StreetLine4};
        while (!lines.isEmpty() && lines.last().isEmpty()) {
            lines.removeLast();
        }
        setStreetLines(address, lines.join(QStringLiteral("\r\n")));
        address.City = fresh(source->City);
        address.State = fresh(source->State);
        address.Postcode = fresh(source->Postcode);
        address.Country = fresh(source->Country);
        if (location == 1) {
            address.Phone1 = fresh(source->Phone1);
            address.Phone2 = fresh(source->Phone2);
            address.Phone3 = fresh(source->Phone3);
            address.Fax = fresh(source->Fax);
            address.Email = fresh(source->Email);
            address.WWW = fresh(source->WWW);
        }
    }
    return card;
}

// The cards the contact side would hand over, one by one: for each stored
// card of the first half of record IDs the contact an export left, with a
// new city (even record IDs linked by record, odd ones found by name), then
// new cards up to count.
void makeContactCards(const TarvoCards::CCardsColl& stored, int count,
                      const std::function<void(CCard)>& add)
{
    int made = 0;
    for (const CCard& card : stored) {
        if (card.CardRecordID > count / 2) {
            continue;
        }
        CCard contact = mappedCard(card);
        contact.CardRecordID = card.CardRecordID % 2 ? 0 : card.CardRecordID;
        contact.Addresses[0].City = QStringLiteral("Moved %1").arg(card.CardRecordID);
        add(std::move(contact));
        ++made;
    }
    static const char* const types[] = {"C", "S", "E", "P"};
    for (int i = 0; made < count; ++i, ++made) {
        CCard stranger;
        stranger.CardTypeID = QString::fromLatin1(types[i % 4]);
        stranger.IsIndividual = QStringLiteral("Y");
        stranger.LastName = QStringLiteral("Newcomer %1").arg(i);
        stranger.FirstName = QStringLiteral("Al");
        TarvoCards::CAddress& address = stranger.Addresses.Add();
        address.Location = 1;
        address.StreetLine1 = QStringLiteral("%1 New St").arg(i);
        address.City = QStringLiteral("Perth");
        address.Email = QStringLiteral("new%1@example.com").arg(i);
        add(mappedCard(stranger));
    }
}

void connectTo(TarvoCards::CConnection& connection, const QString& file)
{
    connection.Settings().DataFile = file;
    if (!connection.Connect()) {
        qFatal("cannot open %s", qPrintable(file));
    }
}

// A progress window that shows nothing and keeps nothing, so the run is
// measured without a test's record of every caption and value.
class QuietProgress : public RunProgress
{
public:
    void show(Controls&) override {}
    void unload() override {}
    void setCaption(const QString&) override {}
    void setValue(double) override {}
    void setPanelVisible(Panel, bool) override {}
    void setPointer(Pointer) override {}
    void setButtonsEnabled(bool, bool) override {}
    void pumpMessages() override {}
    void pause(int) override {}
};

// The run with the contact side standing in: it makes the cards from the
// existing ones when the contacts are loaded, and its time is not counted.
class ContactCardsRun : public FProcess
{
public:
    using FProcess::FProcess;
    int count = 0;
    double standInSeconds = 0;

    bool CreateOutlookFolders() override { return true; }
    bool PopulateOutlookDataObjects() override
    {
        QElapsedTimer timer;
        timer.start();
        mobjOutlookColl = std::make_unique<TarvoCards::CCardsColl>();
        makeContactCards(*mobjExistingCards, count, [this](CCard card) {
            // The mapping looks up the card each linked contact names.
            if (card.CardRecordID > 0 &&
                !mobjExistingCards->Item(TarvoCards::cardKey(card.CardRecordID))) {
                qFatal("a linked card is missing");
            }
            mobjOutlookColl->AddNew() = std::move(card);
        });
        standInSeconds += timer.nsecsElapsed() / 1e9;
        return true;
    }
    bool MergeCollections() override
    {
        mcolTransfer.clear();
        return MergeOutlook2VEXO();
    }
};

double runImport(const QString& file, int count, const QString& folder)
{
    qputenv("BRINDLE_APP_DIR", folder.toUtf8());
    IniHive hive(folder + QStringLiteral("/hklm.ini"));
    test::ScriptedPrompts prompts;
    QuietProgress progress;
    MMain::resetGlobals();
    MMain::setRegistry(&hive);
    MMain::setPrompts(&prompts);
    MMain::gobjOptions = std::make_unique<clsOptions>();
    MMain::gobjOptions->Analyse(QStringLiteral("DATABASE=") + file + allTypes);
    MMain::glTransferAction = 1;
    MMain::glRulesFilter = 0;
    FSummary summary;
    ContactCardsRun process(prompts, progress, summary);
    process.count = count;
    progress.show(process);
    QElapsedTimer timer;
    timer.start();
    if (!process.ProcessData()) {
        qFatal("the import failed");
    }
    return timer.nsecsElapsed() / 1e9 - process.standInSeconds;
}

// The same rows through the library alone: load the cards, then one import
// per type of the items the run would have written.
double runLibrary(const QString& file, const QList<CCard>& contacts)
{
    QElapsedTimer timer;
    timer.start();
    TarvoCards::CConnection connection;
    connectTo(connection, file);
    TarvoCards::CCardsColl existing;
    existing.Load({}, QStringLiteral("CardTypeID, LastName"));
    TarvoCards::CCustomerColl customers;
    TarvoCards::CSupplierColl suppliers;
    TarvoCards::CEmployeeColl employees;
    TarvoCards::CPersonalColl personal;
    for (const CCard& contact : contacts) {
        TarvoCards::CTypeColl* into = &suppliers;
        if (contact.CardTypeID == QLatin1String("C")) {
            into = &customers;
        } else if (contact.CardTypeID == QLatin1String("E")) {
            into = &employees;
        } else if (contact.CardTypeID == QLatin1String("P")) {
            into = &personal;
        }
        TarvoCards::CImportCard& item = into->Add();
        static_cast<CCard&>(item) = contact;
    }
    for (TarvoCards::CTypeColl* coll : std::initializer_list<TarvoCards::CTypeColl*>{
             &customers, &employees, &suppliers, &personal}) {
        if (!coll->Import()) {
            qFatal("the library import failed");
        }
    }
    return timer.nsecsElapsed() / 1e9;
}

// Starts the peak-memory mark afresh, so the setup's own peak is not counted.
void resetPeak()
{
    malloc_trim(0);
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (!clear.open(QIODevice::WriteOnly) || clear.write("5") != 1) {
        qFatal("cannot reset the peak memory mark");
    }
}

// VmHWM: the most memory the process has held since resetPeak.
long peakKib()
{
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) {
            return line.mid(6).trimmed().split(' ').value(0).toLong();
        }
    }
    return 0;
}

// One measurement: prints "seconds peak-KiB".
int measure(const QString& mode, int count)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("company.sqlite"));
    samples::writeCompanyFile(file, {count, 1, 11, {}}, samples::ExistingFile::Keep);
    const bool run = mode == QLatin1String("run");
    QList<CCard> contacts;
    if (!run) { // the items the library writes, made before it starts
        TarvoCards::CConnection connection;
        connectTo(connection, file);
        TarvoCards::CCardsColl stored;
        stored.Load({}, QStringLiteral("CardRecordID"));
        makeContactCards(stored, count, [&contacts](CCard card) {
            // The run's card copy hands over only the first two addresses.
            card.Addresses.resize(2);
            card.Addresses.squeeze();
            contacts << std::move(card);
        });
    }
    resetPeak();
    const double seconds = run ? runImport(file, count, dir.path()) : runLibrary(file, contacts);
    QTextStream(stdout) << seconds << ' ' << peakKib() << '\n';
    return 0;
}

QStringList child(const QString& mode, int count)
{
    QProcess process;
    process.start(QCoreApplication::applicationFilePath(),
                  {QStringLiteral("--measure"), mode, QString::number(count)});
    process.waitForFinished(-1);
    return QString::fromLatin1(process.readAllStandardOutput()).simplified().split(u' ');
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.value(0) == QLatin1String("--measure")) {
        return measure(args.value(1), args.value(2).toInt());
    }
    if (args.isEmpty()) {
        args = {QStringLiteral("10000"), QStringLiteral("100000")};
    }
    QTextStream out(stdout);
    out << "contacts  run s  run us/contact  run peak MiB  library s  library peak MiB  ratio\n";
    for (const QString& arg : args) {
        const int count = arg.toInt();
        const QStringList run = child(QStringLiteral("run"), count);
        const QStringList library = child(QStringLiteral("library"), count);
        const double runSeconds = run.value(0).toDouble();
        const double librarySeconds = library.value(0).toDouble();
        out << QString::asprintf("%8d %6.2f %15.1f %13.1f %10.2f %17.1f %6.2f\n", count, runSeconds,
                                 runSeconds * 1e6 / count, run.value(1).toDouble() / 1024,
                                 librarySeconds, library.value(1).toDouble() / 1024,
                                 runSeconds / librarySeconds);
        out.flush();
    }
    return 0;
}
