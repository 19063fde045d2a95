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

TEST_F(TransferCommand, ExitStatusTellsHowTheRunEnded)
{
    for (const QStringList& row : test::tableRows(QStringLiteral("exit-status.txt"))) {
        SCOPED_TRACE(row[0].toStdString());
        console.terminal = row[2] == u"yes";
        console.keys = row[5];
        console.outText.clear();
        console.errText.clear();
        setBrindleValue(QStringLiteral("RulesFilter"), row[3]);
        script.calls.clear();
        script.confirmations = {phoneChanges(1)};
        script.failing = row[4].isEmpty() ? QSet<QString>() : QSet<QString>{row[4]};
        const QString connected = brindleValue(QStringLiteral("LastConnectedDate"));
        const int status = exportWith(row[1].split(u' ', Qt::SkipEmptyParts));
        EXPECT_EQ(status, row[6].toInt());
        EXPECT_TRUE((console.outText + console.errText).contains(row[7]))
            << qPrintable(console.outText + console.errText);
        if (status == cli::UsageError) { // refused before anything was touched
            EXPECT_TRUE(script.calls.isEmpty());
            EXPECT_EQ(brindleValue(QStringLiteral("LastConnectedDate")), connected);
            EXPECT_EQ(brindleValue(QStringLiteral("RulesFilter")), row[3]);
        }
    }
}

QList<QStringList> rowsOf(const char* kind)
{
    return test::tableRows(QStringLiteral("transfer-command.txt"), QLatin1String(kind));
}

QStringList listOf(const QString& field)
{
    return field.split(QStringLiteral(" ; "), Qt::SkipEmptyParts);
}

TEST_F(TransferCommand, RuleAndInactiveFlagsChangeThisRunOnly)
{
    for (const QStringList& row : rowsOf("flags")) {
        SCOPED_TRACE(row[2].toStdString());
        console.keys = QStringLiteral("s");
        script.confirmations = {phoneChanges(1)};
        setBrindleValue(QStringLiteral("RulesFilter"), row[0]);
        setBrindleValue(QStringLiteral("TransferInactives"), row[1]);
        EXPECT_EQ(exportWith(QStringList{"$O"} + row[2].split(u' ')), 0)
            << qPrintable(console.errText);
        EXPECT_EQ(script.rulesFilterAtStart, row[3].toInt());
        EXPECT_EQ(script.transferInactivesAtStart, row[4].toInt());
        EXPECT_EQ(brindleValue(QStringLiteral("RulesFilter")), row[0]);
        EXPECT_EQ(brindleValue(QStringLiteral("TransferInactives")), row[1]);
        EXPECT_FALSE(brindleValue(QStringLiteral("LastConnectedDate")).isEmpty());
    }
}

TEST_F(TransferCommand, ConfirmationsAreAnsweredWithOneKey)
{
    for (const QStringList& row : rowsOf("confirm")) {
        SCOPED_TRACE(row[0].toStdString());
        console.errText.clear();
        console.outText.clear();
        console.keys = row[3];
        script.confirmations.clear();
        for (const QString& changes : row[2].split(u' ')) {
            script.confirmations << phoneChanges(changes.left(1).toInt(),
                                                 changes.endsWith(u'-') ? QString() : "new");
        }
        script.answers.clear();
        const int status = run(row[1].toInt(), {"$O", "--rule", "ask"});
        QList<qint32> answers;
        for (const QString& answer : row[4].split(u' ')) {
            answers << answer.toInt();
        }
        EXPECT_EQ(script.answers, answers);
        EXPECT_EQ(status, answers.contains(FUpdateChoice::CancelRun) ? 1 : 0);
        for (const QString& text : listOf(row[5])) {
            EXPECT_TRUE((console.errText + console.outText).contains(text))
                << qPrintable(text) << "\n"
                << qPrintable(console.errText);
        }
        EXPECT_TRUE(console.keys.isEmpty()) << "every key is used";
    }
}

TEST_F(TransferCommand, AFailedRunSaysWhy)
{
    for (const QStringList& row : rowsOf("failed")) {
        SCOPED_TRACE(row[0].toStdString());
        console.errText.clear();
        script.failing.clear();
        script.during[QStringLiteral("MergeCollections")] = [this, &row](test::FakeSteps&) {
            for (const QString& error : listOf(row[1])) {
                context.logError(QStringLiteral("FProcess.MergeCollections"),
                                 ErrorNumber::Unspecified, error);
            }
        };
        const bool fails = row[2] == u"yes";
        if (fails) {
            script.failing << QStringLiteral("MergeCollections");
        }
        EXPECT_EQ(exportWith({QStringLiteral("$O")}), fails ? 1 : 0);
        EXPECT_TRUE(console.errText.contains(row[3].isEmpty() ? "did not complete" : row[3]) ==
                    !row[3].isEmpty())
            << qPrintable(console.errText);
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
    for (const QStringList& row : rowsOf("signal")) {
        SCOPED_TRACE(row[0].toStdString());
        script.calls.clear();
        script.during.clear();
        console.errText.clear();
        console.outText.clear();
        const bool atAKey = row[1] == u"key";
        if (atAKey) {
            script.confirmations = {phoneChanges(1)};
            console.atEnd = [] { std::raise(SIGINT); };
        } else {
            script.during[QStringLiteral("MergeCollections")] = [&row](test::FakeSteps&) {
                std::raise(row[1].toInt());
            };
        }
        EXPECT_EQ(exportWith({"$O", "--rule", atAKey ? "ask" : "update"}), 1);
        EXPECT_EQ(script.calls, listOf(row[2]));
        EXPECT_TRUE(console.outText.contains(QStringLiteral("Export Cancelled")));
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

} // namespace
} // namespace brindle
