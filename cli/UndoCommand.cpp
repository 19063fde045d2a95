#include "Commands.h"
#include "Console.h"
#include "platform/PlatformError.h"
#include "platform/WriteLocks.h"
#include "runs/RunFiles.h"
#include "runs/RunRecord.h"
#include "runs/Undo.h"

#include <QDir>
#include <QFileInfo>

namespace brindle::cli {

namespace {

const Option undoOptions[] = {{"--yes"}, {"--dry-run"}};

// RUN as named: a record's folder name under runs/, or a path; the last run without one.
QString recordFolder(const QString& named)
{
    if (named.isEmpty()) {
        const QStringList runs = listRuns(runsFolder());
        return runs.isEmpty() ? QString() : runs.last();
    }
    const QString underRuns = runsFolder() + u'/' + named;
    return QFileInfo(underRuns).isDir() ? underRuns : named;
}

void printLines(QTextStream& out, const QStringList& lines)
{
    for (const QString& line : lines) {
        out << "  " << line << '\n';
    }
}

bool confirmed(Console& console)
{
    console.out() << "Undo this run? [y/N] " << Qt::flush;
    const QChar key = console.readKey();
    console.out() << '\n';
    return key.toLower() == u'y';
}

int undo(const RecordedRun& run, Console& console, bool dryRun, bool yes)
{
    QTextStream& out = console.out();
    const UndoOutcome plan = undoRun(run, nullptr);
    out << "Run " << QFileInfo(run.folder).fileName() << " (" << run.kind()
        << "): " << plan.done.size() << " changes to undo\n";
    printLines(out, plan.done);
    printLines(out, plan.leftAsIs);
    if (dryRun || plan.done.isEmpty()) {
        return plan.leftAsIs.isEmpty() ? 0 : 1;
    }
    if (!yes && !console.interactive()) {
        return complain(console.err(), "undo", QStringLiteral("without a terminal, say --yes"),
                        UsageError);
    }
    if (!yes && !confirmed(console)) {
        out << "Nothing was changed.\n";
        return 1;
    }
    WriteLocks locks;
    const QString refusal =
        locks.acquire({{QStringLiteral("the company file"),
                        run.header.value(QStringLiteral("companyFile")).toString()},
                       {QStringLiteral("the contact store"),
                        run.header.value(QStringLiteral("store")).toString()}});
    if (!refusal.isEmpty()) {
        return complain(console.err(), "undo", refusal, 1);
    }
    QJsonObject header = run.header;
    header.insert(QStringLiteral("undoes"), QFileInfo(run.folder).fileName());
    const std::unique_ptr<RunRecord> record =
        RunRecord::create(runsFolder(), QStringLiteral("undo"), header);
    const UndoOutcome outcome = undoRun(run, record.get());
    out << "Undone: " << outcome.done.size() << " changes; record "
        << QFileInfo(record->folder()).fileName() << '\n';
    printLines(out, outcome.leftAsIs);
    return outcome.leftAsIs.isEmpty() ? 0 : 1;
}

} // namespace

std::span<const Option> undoCommandOptions()
{
    return undoOptions;
}

int runsCommand(const QStringList& args, QTextStream& out, QTextStream& err)
{
    if (!args.isEmpty()) {
        return complain(err, "runs", QStringLiteral("takes no arguments"), UsageError);
    }
    for (const QString& folder : listRuns(runsFolder())) {
        try {
            const RecordedRun run = RecordedRun::read(folder);
            out << QFileInfo(folder).fileName() << "  " << run.changes.size() << " changes\n";
        } catch (const PlatformError& error) {
            out << QFileInfo(folder).fileName() << "  " << error.description() << '\n';
        }
    }
    return 0;
}

int undoCommand(const QStringList& args, QTextStream& out, QTextStream& err)
{
    const Arguments arguments(args, undoOptions);
    if (!arguments.problem().isEmpty() || arguments.operands().size() > 1) {
        return complain(err, "undo", QStringLiteral("usage: undo [RUN] [--yes] [--dry-run]"),
                        UsageError);
    }
    const QString folder = recordFolder(arguments.operands().value(0));
    if (folder.isEmpty()) {
        return complain(err, "undo", QStringLiteral("no run has been recorded"), 1);
    }
    StdConsole console(out, err);
    try {
        return undo(RecordedRun::read(folder), console, arguments.flag("--dry-run"),
                    arguments.flag("--yes"));
    } catch (const PlatformError& error) {
        return complain(err, "undo", error.description(), 1);
    }
}

} // namespace brindle::cli
