#include "TransferCommand.h"

#include "Commands.h"
#include "Console.h"
#include "Interrupt.h"
#include "TerminalPrompts.h"
#include "WizardFixture.h"
#include "platform/WriteLocks.h"
#include "screens/Notices.h"
#include "startup/ErrorLog.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>
#include <csignal>
#include <unistd.h>

namespace brindle {
namespace {

using test::phoneChanges;

// A terminal, or none, whose keys come from a script.
class ScriptedConsole : public cli::Console
{
public:
    bool terminal = true;
    QString keys;
    // Runs when the script's keys are used up, before the end of the input.
    std::function<void()> atEnd;
    QString outText;
    QString errText;

    bool interactive() const override { return terminal; }
    QChar readKey() override
    {
        if (keys.isEmpty()) {
            if (atEnd) {
                atEnd();
            }
            return {};
        }
        const QChar key = keys.front();
        keys.remove(0, 1);
        return key;
    }
    QTextStream& out() override { return m_out; }
    QTextStream& err() override { return m_err; }

private:
    QTextStream m_out{&outText};
    QTextStream m_err{&errText};
};

class TransferCommand : public test::WizardFixture
{
protected:
    int run(qint32 direction, QStringList args)
    {
        for (QString& arg : args) {
            arg.replace(QStringLiteral("$O"), options())
                .replace(QStringLiteral("$D"), folder.path());
        }
        return cli::transferCommand(context, direction, args, console,
                                    test::FakeSteps::factory(script));
    }
    int exportWith(const QStringList& args) { return run(2, args); }

    ScriptedConsole console;
};

struct StatusRow
{
    const char* name;
    QStringList args;
    bool terminal;
    const char* storedRule;
    const char* failingStep;
    const char* keys;
    int status;
    const char* says; // in the output or the errors
};

void PrintTo(const StatusRow& row, std::ostream* out)
{
    *out << row.name;
}

class ExitStatus : public TransferCommand, public testing::WithParamInterface<StatusRow>
{};

TEST_P(ExitStatus, TellsHowTheRunEnded)
{
    const StatusRow& row = GetParam();
    console.terminal = row.terminal;
    console.keys = QString::fromLatin1(row.keys);
    setBrindleValue(QStringLiteral("RulesFilter"), QString::fromLatin1(row.storedRule));
    script.confirmations = {phoneChanges(1)};
    if (*row.failingStep) {
        script.failing << QString::fromLatin1(row.failingStep);
    }
    EXPECT_EQ(exportWith(row.args), row.status);
    EXPECT_TRUE((console.outText + console.errText).contains(QLatin1String(row.says)))
        << qPrintable(console.outText + console.errText);
    if (row.status == cli::UsageError) {
        EXPECT_TRUE(script.calls.isEmpty());
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Runs, ExitStatus, testing::Values(
    StatusRow{"complete", {"$O"}, false, "0", "", "", 0, "Export Complete"},
    StatusRow{"a failing step", {"$O"}, false, "0", "MergeCollections", "", 1, "Export Cancelled"},
    StatusRow{"company file missing", {"DATABASE=/nowhere/Company.db<CUSTOMERS=YES"}, false, "0", "", "", 1,
              "the company file /nowhere/Company.db does not exist"},
    StatusRow{"asks with nobody to answer", {"$O"}, false, "3", "", "", 2, "no terminal"},
    StatusRow{"asks, the rule given", {"$O", "--rule", "keep"}, false, "3", "", "", 0, "Export Complete"},
    StatusRow{"asks on a terminal", {"$O"}, true, "3", "", "u", 0, "(u)pdate"},
    StatusRow{"the input ends at a confirmation", {"$O"}, true, "3", "", "", 1, "Export Cancelled"},
    StatusRow{"no option string", {}, false, "0", "", "", 2, "give the option string"},
    StatusRow{"two option strings", {"$O", "x"}, false, "0", "", "", 2, "give only the option string"},
    StatusRow{"an unknown rule", {"$O", "--rule=sometimes"}, false, "0", "", "", 2,
              "--rule takes update|keep|ask, not \"sometimes\""},
    StatusRow{"a rule without its value", {"$O", "--rule"}, false, "0", "", "", 2, "--rule needs a value"},
    StatusRow{"a folder", {"DATABASE=$D<CUSTOMERS=YES"}, false, "0", "", "", 1, "is a folder, not a file"},
    StatusRow{"no card type", {"DATABASE=$D/c"}, false, "0", "", "", 2, "choose at least one card type"},
    StatusRow{"misspelt key", {"DATABSE=$D/c<CUSTOMERS=YES"}, false, "0", "", "", 2, "unknown key DATABSE"},
    StatusRow{"no company file named", {"CUSTOMERS=YES"}, false, "0", "", "", 2, "names no company file"}));
// clang-format on

TEST_F(TransferCommand, RefusalWithoutATerminalLeavesEverythingAsItWas)
{
    console.terminal = false;
    setBrindleValue(QStringLiteral("RulesFilter"), QStringLiteral("3"));
    EXPECT_EQ(exportWith({QStringLiteral("$O")}), cli::UsageError);
    EXPECT_TRUE(script.calls.isEmpty());
    EXPECT_TRUE(brindleValue(QStringLiteral("LastConnectedDate")).isNull());
    EXPECT_EQ(brindleValue(QStringLiteral("RulesFilter")), QStringLiteral("3"));
}

TEST_F(TransferCommand, RuleAndInactiveFlagsChangeThisRunOnly)
{
    const struct
    {
        const char* stored[2]; // RulesFilter, TransferInactives
        QStringList flags;
        qint32 seen[2];
    } rows[] = {
        {{"2", "0"}, {"--rule", "update", "--inactive"}, {0, 1}},
        {{"0", "1"}, {"--rule=keep"}, {2, 1}},
        {{"3", "0"}, {"--rule", "update"}, {0, 0}},
        {{"0", "0"}, {"--rule", "ask"}, {3, 0}},
    };
    for (const auto& row : rows) {
        console.keys = QStringLiteral("s");
        script.confirmations = {phoneChanges(1)};
        setBrindleValue(QStringLiteral("RulesFilter"), QString::fromLatin1(row.stored[0]));
        setBrindleValue(QStringLiteral("TransferInactives"), QString::fromLatin1(row.stored[1]));
        EXPECT_EQ(exportWith(QStringList{"$O"} + row.flags), 0) << qPrintable(console.errText);
        EXPECT_EQ(script.rulesFilterAtStart, row.seen[0]) << row.flags.join(' ').toStdString();
        EXPECT_EQ(script.transferInactivesAtStart, row.seen[1]);
        EXPECT_EQ(brindleValue(QStringLiteral("RulesFilter")), QLatin1String(row.stored[0]));
        EXPECT_EQ(brindleValue(QStringLiteral("TransferInactives")), QLatin1String(row.stored[1]));
        EXPECT_FALSE(brindleValue(QStringLiteral("LastConnectedDate")).isEmpty());
    }
}

TEST_F(TransferCommand, ConfirmationsAreAnsweredWithOneKey)
{
    const struct
    {
        const char* name;
        qint32 direction;
        QList<Differences> confirmations;
        const char* keys;
        QList<qint32> answers;
        QStringList shown;
    } rows[] = {
        {"update, then update all",
         2,
         {phoneChanges(6), phoneChanges(2), phoneChanges(1)},
         "xucnl",
         {6, 8},
         {"== Brindle - Confirm Update to Outlook Contact ==", "  Phone4",
          "* More than 4 Changes Found", "(u)pdate  (s)kip  update a(l)l  (c)ancel? ",
          "Press one of the keys in brackets.", "Cancel this operation?  (y)es or (n)o? n"}},
        {"addition",
         1,
         {{}},
         "ua",
         {6},
         {"Brindle - Confirm Addition of VEXO Card", "(a)dd  (s)kip  (c)ancel? "}},
        {"blank fields",
         1,
         {phoneChanges(2, QString())},
         "us",
         {7},
         {"Brindle - Warning : Blank Field in Outlook Contact", "(s)kip  (c)ancel? "}},
        {"cancel confirmed",
         2,
         {phoneChanges(1), phoneChanges(1)},
         "cy",
         {2},
         {"Export Cancelled"}},
    };
    for (const auto& row : rows) {
        console.errText.clear();
        console.outText.clear();
        console.keys = QString::fromLatin1(row.keys);
        script.confirmations = row.confirmations;
        script.answers.clear();
        const int status = run(
            row.direction, {QStringLiteral("$O"), QStringLiteral("--rule"), QStringLiteral("ask")});
        EXPECT_EQ(script.answers, row.answers) << row.name;
        EXPECT_EQ(status, row.answers.contains(FUpdateChoice::CancelRun) ? 1 : 0) << row.name;
        for (const QString& text : row.shown) {
            EXPECT_TRUE((console.errText + console.outText).contains(text))
                << row.name << ": " << qPrintable(text) << "\n"
                << qPrintable(console.errText);
        }
        EXPECT_TRUE(console.keys.isEmpty()) << row.name << ": every key is used";
    }
}

TEST_F(TransferCommand, AFailedRunSaysWhy)
{
    const struct
    {
        const char* name;
        QStringList logged; // by the run's traps
        bool fails;
        const char* says; // "": nothing about why
    } rows[] = {
        {"one reason",
         {"Cannot write a.vcf: No space left on device"},
         true,
         "brindle-cli: the export did not complete:\n  Cannot write a.vcf: No space left on "
         "device\n"},
        {"each reason once, three at most",
         {"A", "B", "A", "C", "D", "E"},
         true,
         "did not complete:\n  A\n  B\n  C\n  and 2 more\n"},
        {"a complete run", {"A"}, false, ""},
        {"a failure that logged nothing", {}, true, ""},
    };
    for (const auto& row : rows) {
        console.errText.clear();
        script.failing.clear();
        script.during[QStringLiteral("MergeCollections")] = [this, &row](test::FakeSteps&) {
            for (const QString& error : row.logged) {
                context.logError(QStringLiteral("FProcess.MergeCollections"),
                                 ErrorNumber::Unspecified, error);
            }
        };
        if (row.fails) {
            script.failing << QStringLiteral("MergeCollections");
        }
        EXPECT_EQ(exportWith({QStringLiteral("$O")}), row.fails ? 1 : 0) << row.name;
        if (*row.says) {
            EXPECT_TRUE(console.errText.contains(QLatin1String(row.says)))
                << row.name << "\n"
                << qPrintable(console.errText);
        } else {
            EXPECT_FALSE(console.errText.contains(QStringLiteral("did not complete"))) << row.name;
        }
    }
}

// The wizard's previous-instance lock stops no run of the terminal, nor a
// run on other files; a run on the same file under another name does.
TEST_F(TransferCommand, WaitsForTheLocksOfWhatItWritesAndNamesTheirHolder)
{
    QLockFile wizard(folder.filePath(QStringLiteral("brindle-%1.lock").arg(getuid())));
    const QString companyFile = folder.filePath(QStringLiteral("Company.db"));
    const QString link = folder.filePath(QStringLiteral("link.db"));
    QFile::link(companyFile, link);
    QLockFile otherFile(WriteLocks().lockFileOf(folder.filePath(QStringLiteral("Other.db"))));
    QLockFile sameFile(WriteLocks().lockFileOf(link));
    ASSERT_TRUE(wizard.tryLock(0) && otherFile.tryLock(0) && sameFile.tryLock(0));
    EXPECT_EQ(exportWith({QStringLiteral("$O"), QStringLiteral("--wait"), QStringLiteral("1")}), 1);
    EXPECT_TRUE(script.calls.isEmpty());
    const QString program =
        QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/self/exe"))).fileName();
    EXPECT_TRUE(
        console.errText.contains(QStringLiteral("the company file %1 is in use by %2 (process %3)")
                                     .arg(companyFile, program)
                                     .arg(getpid())))
        << qPrintable(console.errText);
    sameFile.unlock();
    EXPECT_EQ(exportWith({QStringLiteral("$O")}), 0) << qPrintable(console.errText);
}

TEST_F(TransferCommand, FirstCtrlCIsAConfirmedCancel)
{
    const struct
    {
        const char* name;
        bool atAKey; // while a confirmation waits for its key
        QStringList steps;
        int signal = SIGINT;
    } rows[] = {
        {"between steps",
         false,
         {"PopulateVEXODataObjects", "PopulateOutlookDataObjects", "MergeCollections"}},
        {"at a key",
         true,
         {"PopulateVEXODataObjects", "PopulateOutlookDataObjects", "MergeCollections",
          "ImportToOutlook"}},
        {"SIGTERM, as a scheduler stops a run",
         false,
         {"PopulateVEXODataObjects", "PopulateOutlookDataObjects", "MergeCollections"},
         SIGTERM},
    };
    for (const auto& row : rows) {
        script.calls.clear();
        script.during.clear();
        console.errText.clear();
        console.outText.clear();
        QStringList args{QStringLiteral("$O"), QStringLiteral("--rule"),
                         row.atAKey ? QStringLiteral("ask") : QStringLiteral("update")};
        if (row.atAKey) {
            script.confirmations = {phoneChanges(1)};
            console.atEnd = [] { std::raise(SIGINT); };
        } else {
            script.during[QStringLiteral("MergeCollections")] = [&row](test::FakeSteps&) {
                std::raise(row.signal);
            };
        }
        EXPECT_EQ(exportWith(args), 1) << row.name;
        EXPECT_EQ(script.calls, row.steps) << row.name;
        EXPECT_TRUE(console.outText.contains(QStringLiteral("Export Cancelled"))) << row.name;
        EXPECT_TRUE(console.errText.contains(QStringLiteral("Cancel this operation? yes")))
            << qPrintable(console.errText);
        console.atEnd = nullptr;
    }
}

TEST(Interrupt, SecondCtrlCEndsAtOnce)
{
    EXPECT_EXIT(
        {
            const cli::interrupt::Guard guard;
            std::raise(SIGINT);
            std::raise(SIGINT);
            std::fprintf(stderr, "still running\n");
            std::exit(0);
        },
        testing::ExitedWithCode(1), "ended at once");
}

TEST_F(TransferCommand, ProgressReportAndNotices)
{
    script.during[QStringLiteral("MergeCollections")] = [](test::FakeSteps& steps) {
        steps.progress().setCaption(QStringLiteral("Exporting Customer cards..."));
        steps.progress().setValue(50);
    };
    for (const bool terminal : {true, false}) {
        console.terminal = terminal;
        console.errText.clear();
        console.outText.clear();
        script.reportPath =
            terminal ? folder.filePath(QStringLiteral("OutlookImport.html")) : QString();
        EXPECT_EQ(
            exportWith({QStringLiteral("$O"), QStringLiteral("--rule"), QStringLiteral("update")}),
            0);
        EXPECT_EQ(console.errText.contains(QStringLiteral(
                      "[############------------]  50% Exporting Customer cards...")),
                  terminal);
        EXPECT_EQ(console.outText.contains(QStringLiteral("Report: ") + script.reportPath + '\n'),
                  terminal)
            << qPrintable(console.outText);
        EXPECT_EQ(console.errText.count(QStringLiteral("== Brindle - Security Notice ==")), 1);
        EXPECT_EQ(brindleValue(QStringLiteral("ShowOutlookWarning")), QStringLiteral("True"))
            << "printing the notice does not switch it off";
    }
    EXPECT_FALSE(console.outText.contains(QStringLiteral("Report:")));
}

TEST_F(TransferCommand, NoticesArePrintedOnceAndFilesOpenWithTheDesktop)
{
    cli::TerminalPrompts terminal(console);
    FVEXOEmptyMsg first(context);
    FVEXOEmptyMsg second(context);
    terminal.showNotice(first);
    terminal.showNotice(second);
    EXPECT_EQ(console.errText.count(QStringLiteral("Brindle - Blank Field Warning")), 1);

    const QString bin = folder.filePath(QStringLiteral("bin"));
    QDir().mkpath(bin);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", bin.toUtf8());
    const QString help = folder.filePath(QStringLiteral("help.html"));
    EXPECT_EQ(terminal.openFile(help, {}), 2) << "missing file";
    touch(QStringLiteral("help.html"));
    EXPECT_EQ(terminal.openFile(help, {}), 31) << "no xdg-open";
    QFile opener(bin + QStringLiteral("/xdg-open"));
    ASSERT_TRUE(opener.open(QIODevice::WriteOnly));
    opener.write(
        QStringLiteral("#!/bin/sh\necho \"$1\" > %1/opened\n").arg(folder.path()).toUtf8());
    opener.close();
    opener.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_GT(terminal.openFile(help, {}), 32);
    qputenv("PATH", path);
    QElapsedTimer clock;
    clock.start();
    while (!QFile::exists(folder.filePath(QStringLiteral("opened"))) && clock.elapsed() < 5000) {
        QThread::msleep(10);
    }
    QFile opened(folder.filePath(QStringLiteral("opened")));
    ASSERT_TRUE(opened.open(QIODevice::ReadOnly));
    EXPECT_EQ(opened.readAll().trimmed(), help.toUtf8());
}

TEST_F(TransferCommand, HelpListsTheTransfers)
{
    QString out;
    QString err;
    QTextStream outStream(&out);
    QTextStream errStream(&err);
    EXPECT_EQ(cli::dispatch({QStringLiteral("--help")}, outStream, errStream), 0);
    for (const char* text :
         {"import \"<option string>\"|- [--rule update|keep|ask] [--inactive]",
          "[--options-file FILE]", "export \"<option string>\"", "a second one ends at once",
          "Exit status: 0 complete, 1 cancelled or failed, 2 wrong use."}) {
        EXPECT_TRUE(out.contains(QLatin1String(text))) << text;
    }
    out.clear();
    EXPECT_EQ(
        cli::dispatch({QStringLiteral("import"), QStringLiteral("--help")}, outStream, errStream),
        0);
    EXPECT_TRUE(out.contains(QStringLiteral("--inactive              allow the export")));
}

} // namespace
} // namespace brindle
