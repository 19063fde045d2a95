// An import of N contacts, half of them changes to cards of the company file
// and half new cards, into a company file of N cards under rule 0, against
// the card library writing the same rows alone. Each measurement runs in a
// child process of its own, so its peak memory is its own.
// Run: ImportBench [N...]   (default 10000 100000)
#include "ScriptedProgress.h"
#include "ScriptedPrompts.h"
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
#include <malloc.h>

namespace {

using namespace brindle;
using TarvoCards::CCard;

const QString allTypes = QStringLiteral("<CUSTOMERS=YES<SUPPLIERS=YES<EMPLOYEES=YES<PERSONAL=YES");

// The cards the contact side would hand over: every other stored card with
// a new city (half of them linked by record, half found by name), and as
// many new cards.
QList<CCard> contactCards(const QString& file, int count)
{
    TarvoCards::CConnection connection;
    connection.Settings().DataFile = file;
    if (!connection.Connect()) {
        qFatal("cannot open %s", qPrintable(file));
    }
    TarvoCards::CCardsColl stored;
    stored.Load({}, QStringLiteral("CardRecordID"));
    QList<CCard> contacts;
    int index = 0;
    for (const CCard& card : stored) {
        if (contacts.size() == count / 2) {
            break;
        }
        CCard contact = card;
        contact.IsInactive.clear();
        contact.Notes.clear();
        contact.CardRecordID = index++ % 2 ? card.CardRecordID : 0;
        contact.Addresses.resize(qMin<qsizetype>(contact.Addresses.size(), 2));
        if (!contact.Addresses.isEmpty()) {
            contact.Addresses[0].City = QStringLiteral("Moved %1").arg(index);
        }
        contacts << contact;
    }
    static const char* const types[] = {"C", "S", "E", "P"};
    for (int i = 0; contacts.size() < count; ++i) {
        CCard contact;
        contact.CardTypeID = QString::fromLatin1(types[i % 4]);
        contact.IsIndividual = QStringLiteral("Y");
        contact.IsInactive.clear();
        contact.LastName = QStringLiteral("Newcomer %1").arg(i);
        contact.FirstName = QStringLiteral("Al");
        TarvoCards::CAddress& address = contact.Addresses.Add();
        address.Location = 1;
        address.StreetLine1 = QStringLiteral("%1 New St").arg(i);
        address.City = QStringLiteral("Perth");
        address.Email = QStringLiteral("new%1@example.com").arg(i);
        contact.Addresses.Add().Location = 2;
        contacts << contact;
    }
    return contacts;
}

// The run with the contact side standing in, as in the tests.
class ContactCardsRun : public FProcess
{
public:
    using FProcess::FProcess;
    QList<CCard> contacts;

    bool CreateOutlookFolders() override { return true; }
    bool PopulateOutlookDataObjects() override
    {
        mobjOutlookColl = std::make_unique<TarvoCards::CCardsColl>();
        for (const CCard& contact : std::as_const(contacts)) {
            mobjOutlookColl->AddNew() = contact;
        }
        contacts.clear();
        return true;
    }
    bool MergeCollections() override
    {
        mcolTransfer.clear();
        return MergeOutlook2VEXO();
    }
};

double runImport(const QString& file, QList<CCard> contacts, const QString& folder)
{
    qputenv("BRINDLE_APP_DIR", folder.toUtf8());
    IniHive hive(folder + QStringLiteral("/hklm.ini"));
    test::ScriptedPrompts prompts;
    test::ScriptedProgress progress;
    MMain::resetGlobals();
    MMain::setRegistry(&hive);
    MMain::setPrompts(&prompts);
    MMain::gobjOptions = std::make_unique<clsOptions>();
    MMain::gobjOptions->Analyse(QStringLiteral("DATABASE=") + file + allTypes);
    MMain::glTransferAction = 1;
    MMain::glRulesFilter = 0;
    FSummary summary;
    ContactCardsRun process(prompts, progress, summary);
    process.contacts = std::move(contacts);
    progress.show(process);
    QElapsedTimer timer;
    timer.start();
    if (!process.ProcessData()) {
        qFatal("the import failed");
    }
    return timer.nsecsElapsed() / 1e9;
}

// The same rows through the library alone: load the cards, then one import
// per type of the items the run would have written.
double runLibrary(const QString& file, const QList<CCard>& contacts)
{
    QElapsedTimer timer;
    timer.start();
    TarvoCards::CConnection connection;
    connection.Settings().DataFile = file;
    if (!connection.Connect()) {
        qFatal("cannot open %s", qPrintable(file));
    }
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
    QList<CCard> contacts = contactCards(file, count);
    resetPeak();
    const double seconds = mode == QLatin1String("run")
                               ? runImport(file, std::move(contacts), dir.path())
                               : runLibrary(file, contacts);
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
