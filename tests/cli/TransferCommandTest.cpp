#include "TransferCommand.h"

#include "Commands.h"
#include "Console.h"
#include "Interrupt.h"
#include "TableFile.h"
#include "TerminalPrompts.h"
#include "WizardFixture.h"
#include "dialogs/Notices.h"
#include "platform/WriteLocks.h"
#include "startup/ErrorLog.h"

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
        if (keys.isEmpty() && atEnd) {
            atEnd();
        }
        const QChar key = keys.isEmpty() ? QChar() : keys.front();
        keys.remove(0, 1);
        return key;
    }
    QTextStream& out() override { return m_out; }
    QTextStream& err() override { return m_err; }
    QTextStream m_out{&outText};
    QTextStream m_err{&errText};
};

class TransferCommand : public test::WizardFixture
{
protected:
    int run(qint32 direction, QStringList args)
    {
        for (QString& arg : args) {
            arg.replace("$O", options()).replace("$D", folder.path());
        }
        return cli::transferCommand(context, direction, args, console,
                                    test::FakeSteps::factory(script));
    }
    int exportWith(const QStringList& args) { return run(2, args); }
    // A new run's console, its output cleared.
    QString said() const { return console.outText + console.errText; }
    void clearConsole()
    {
        console.outText.clear();
        console.errText.clear();
    }

    ScriptedConsole console;
};

TEST_F(TransferCommand, ExitStatusTellsHowTheRunEnded)
{
    for (const QStringList& row : test::tableRows("exit-status.txt")) {
        SCOPED_TRACE(row[0].toStdString());
        script = {.failing = {row[5]}, .confirmations = {phoneChanges(1)}};
        console.terminal = row[2] == u"yes";
        console.keys = row[6];
        clearConsole();
        setBrindleValue("RulesFilter", row[3]);
        setBrindleValue("TransferInactives", row[4]);
        setBrindleValue("LastConnectedDate", "");
        const int status = exportWith(row[1].split(u' ', Qt::SkipEmptyParts));
        EXPECT_EQ(status, row[7].toInt());
        EXPECT_TRUE(said().contains(row[8])) << qPrintable(said());
        // The flags change this run only; a refused run touches nothing.
        EXPECT_EQ(QStringList({brindleValue("RulesFilter"), brindleValue("TransferInactives")}),
                  row.mid(3, 2));
        EXPECT_EQ(QString::number(script.rulesFilterAtStart) + ' ' +
                      QString::number(script.transferInactivesAtStart),
                  row[9]);
        if (status != 1) {
            EXPECT_EQ(brindleValue("LastConnectedDate").isEmpty(), status == cli::UsageError);
            EXPECT_EQ(script.calls.isEmpty(), status == cli::UsageError);
        }
    }
}

QStringList listOf(const QString& field)
{
    return field.split(" ; ", Qt::SkipEmptyParts);
}

TEST_F(TransferCommand, ConfirmationsAreAnsweredWithOneKey)
{
    for (const QStringList& row : test::tableRows("transfer-command.txt", "confirm")) {
        SCOPED_TRACE(row[0].toStdString());
        clearConsole();
        console.keys = row[3];
        script = {};
        for (const QString& changes : row[2].split(u' ')) {
            script.confirmations << phoneChanges(changes.left(1).toInt(),
                                                 changes.endsWith(u'-') ? QString() : "new");
        }
        const int status = run(row[1].toInt(), {"$O", "--rule", "ask"});
        QList<qint32> answers;
        for (const QString& answer : row[4].split(u' ')) {
            answers << answer.toInt();
        }
        EXPECT_EQ(script.answers, answers);
        EXPECT_EQ(status, answers.contains(FUpdateChoice::CancelRun) ? 1 : 0);
        for (const QString& text : listOf(row[5])) {
            EXPECT_TRUE(said().contains(text)) << qPrintable(text) << "\n" << qPrintable(said());
        }
        EXPECT_TRUE(console.keys.isEmpty()) << "every key is used";
    }
}

TEST_F(TransferCommand, AFailedRunSaysWhy)
{
    for (const QStringList& row : test::tableRows("transfer-command.txt", "failed")) {
        SCOPED_TRACE(row[0].toStdString());
        console.errText.clear();
        const bool fails = row[2] == u"yes";
        script = {.failing = {fails ? "MergeCollections" : "-"}};
        script.during["MergeCollections"] = [this, &row](test::FakeSteps&) {
            for (const QString& error : listOf(row[1])) {
                context.logError("FProcess.MergeCollections", ErrorNumber::Unspecified, error);
            }
        };
        EXPECT_EQ(exportWith({"$O"}), fails ? 1 : 0);
        EXPECT_TRUE(console.errText.contains(row[3].isEmpty() ? "did not complete" : row[3]) ==
                    !row[3].isEmpty())
            << qPrintable(console.errText);
    }
}

// The wizard's previous-instance lock stops no run of the terminal, nor a
// run on other files; a run on the same file under another name does.
TEST_F(TransferCommand, WaitsForTheLocksOfWhatItWritesAndNamesTheirHolder)
{
    QLockFile wizard(folder.filePath(QString("brindle-%1.lock").arg(getuid())));
    const QString companyFile = folder.filePath("Company.db");
    QFile::link(companyFile, folder.filePath("link.db"));
    QLockFile otherFile(WriteLocks().lockFileOf(folder.filePath("Other.db")));
    QLockFile sameFile(WriteLocks().lockFileOf(folder.filePath("link.db")));
    ASSERT_TRUE(wizard.tryLock(0) && otherFile.tryLock(0) && sameFile.tryLock(0));
    EXPECT_EQ(exportWith({"$O", "--wait", "1"}), 1);
    EXPECT_TRUE(script.calls.isEmpty());
    const QString program = QFileInfo(QFile::symLinkTarget("/proc/self/exe")).fileName();
    EXPECT_TRUE(console.errText.contains(QString("the company file %1 is in use by %2 (process %3)")
                                             .arg(companyFile, program)
                                             .arg(getpid())))
        << qPrintable(console.errText);
    sameFile.unlock();
    EXPECT_EQ(exportWith({"$O"}), 0) << qPrintable(console.errText);
}

TEST_F(TransferCommand, FirstCtrlCIsAConfirmedCancel)
{
    for (const QStringList& row : test::tableRows("transfer-command.txt", "signal")) {
        SCOPED_TRACE(row[0].toStdString());
        script = {};
        clearConsole();
        const bool atAKey = row[1] == u"key";
        if (atAKey) {
            script.confirmations = {phoneChanges(1)};
            console.atEnd = [] { std::raise(SIGINT); };
        } else {
            script.during["MergeCollections"] = [&row](test::FakeSteps&) {
                std::raise(row[1].toInt());
            };
        }
        EXPECT_EQ(exportWith({"$O", "--rule", atAKey ? "ask" : "update"}), 1);
        EXPECT_EQ(script.calls, listOf(row[2]));
        EXPECT_TRUE(console.outText.contains("Export Cancelled"));
        EXPECT_TRUE(console.errText.contains("Cancel this operation? yes")) << qPrintable(said());
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
    script.during["MergeCollections"] = [](test::FakeSteps& steps) {
        steps.progress().setCaption("Exporting Customer cards...");
        steps.progress().setValue(50);
    };
    for (const bool terminal : {true, false}) {
        console.terminal = terminal;
        clearConsole();
        script.reportPath = terminal ? folder.filePath("OutlookImport.html") : QString();
        EXPECT_EQ(exportWith({"$O", "--rule", "update"}), 0);
        EXPECT_EQ(
            console.errText.contains("[############------------]  50% Exporting Customer cards..."),
            terminal);
        EXPECT_EQ(console.outText.contains("Report: " + script.reportPath + '\n'), terminal)
            << qPrintable(console.outText);
        EXPECT_EQ(console.errText.count("== Brindle - Security Notice =="), 1);
        EXPECT_EQ(brindleValue("ShowOutlookWarning"), "True") << "printing does not switch it off";
    }
    EXPECT_FALSE(console.outText.contains("Report:"));
}

TEST_F(TransferCommand, NoticesArePrintedOnceAndFilesOpenWithTheDesktop)
{
    cli::TerminalPrompts terminal(console);
    FVEXOEmptyMsg first(context);
    FVEXOEmptyMsg second(context);
    terminal.showNotice(first);
    terminal.showNotice(second);
    EXPECT_EQ(console.errText.count("Brindle - Blank Field Warning"), 1);

    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", folder.path().toUtf8());
    const QString help = folder.filePath("help.html");
    EXPECT_EQ(terminal.openFile(help, {}), 2) << "missing file";
    touch("help.html");
    EXPECT_EQ(terminal.openFile(help, {}), 31) << "no xdg-open";
    QFile opener(folder.filePath("xdg-open"));
    ASSERT_TRUE(opener.open(QIODevice::WriteOnly));
    opener.write("#!/bin/sh\necho \"$1\" > \"$0.opened\"\n");
    opener.close();
    opener.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_GT(terminal.openFile(help, {}), 32);
    qputenv("PATH", path);
    QFile opened(opener.fileName() + ".opened");
    QElapsedTimer clock;
    clock.start();
    while (!opened.exists() && clock.elapsed() < 5000) {
        QThread::msleep(10);
    }
    ASSERT_TRUE(opened.open(QIODevice::ReadOnly));
    EXPECT_EQ(opened.readAll().trimmed(), help.toUtf8());
}

} // namespace
} // namespace brindle
