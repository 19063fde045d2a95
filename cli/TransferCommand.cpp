#include "TransferCommand.h"

#include "Arguments.h"
#include "Commands.h"
#include "Console.h"
#include "DryRun.h"
#include "Interrupt.h"
#include "OptionString.h"
#include "TerminalProgress.h"
#include "TerminalPrompts.h"
#include "cardlib/ServerAddress.h"
#include "runs/RunFiles.h"
#include "startup/ErrorLog.h"
#include "startup/MMain.h"

#include <QFileInfo>
#include <optional>
#include <variant>

namespace brindle::cli {

namespace {

constexpr int Completed = 0;
constexpr int NotCompleted = 1;

struct TransferArguments
{
    QString options;
    std::optional<qint32> rule;
    bool inactive = false;
    qint64 waitSeconds = 0;
    bool dryRun = false;
    bool sync = false;
};

const qint32 rules[] = {FChooseAction::UpdateExisting, FChooseAction::KeepExisting,
                        FChooseAction::AskToConfirm};

// The arguments, or a message saying what is wrong with them.
std::variant<TransferArguments, QString> parse(const QStringList& args)
{
    Arguments read(args, transferCommandOptions());
    TransferArguments parsed;
    parsed.options = readOptionString(read);
    parsed.inactive = read.flag("--inactive");
    parsed.waitSeconds = read.number("--wait", 0, 0, 24 * 3600);
    parsed.dryRun = read.flag("--dry-run");
    parsed.sync = read.flag("--sync");
    const int rule = read.choice("--rule", {"update", "keep", "ask"}, -1);
    if (rule >= 0) {
        parsed.rule = rules[rule];
    }
    if (!read.problem().isEmpty()) {
        return read.problem();
    }
    if (parsed.dryRun && parsed.sync) {
        return QStringLiteral("a dry run changes nothing, so it does not sync: leave out --sync");
    }
    return parsed;
}

// The settings of this run: the program's, with the rule and the
// inactive-cards switch of the command line. The program's own stay as
// they are, so shutdown writes back what the user chose, never these.
RunSettings settingsForRun(const RunSettings& settings, const TransferArguments& args)
{
    RunSettings run = settings;
    if (args.rule) {
        run.glRulesFilter = *args.rule;
    }
    if (args.inactive) {
        run.glTransferInactives = 1;
    }
    return run;
}

// The program's prompts while the command runs.
class PromptsScope
{
public:
    PromptsScope(ProgramContext& context, Prompts& prompts) : m_context(context)
    {
        m_context.setPrompts(&prompts);
    }
    ~PromptsScope() { m_context.setPrompts(nullptr); }
    PromptsScope(const PromptsScope&) = delete;
    PromptsScope& operator=(const PromptsScope&) = delete;

private:
    ProgramContext& m_context;
};

// The errors the run's traps logged, each once, to say why it failed.
class ErrorCollector
{
public:
    explicit ErrorCollector(ProgramContext& context) : m_context(context)
    {
        m_context.setErrorListener([this](const QString& description) {
            if (!m_errors.contains(description)) {
                m_errors << description;
            }
        });
    }
    ~ErrorCollector() { m_context.setErrorListener({}); }
    ErrorCollector(const ErrorCollector&) = delete;
    ErrorCollector& operator=(const ErrorCollector&) = delete;

    void explain(QTextStream& err, qint32 lTransferAction) const
    {
        constexpr qsizetype shown = 3;
        if (m_errors.isEmpty()) {
            return;
        }
        err << "brindle-cli: the " << (lTransferAction == 1 ? "import" : "export")
            << " did not complete:\n";
        for (const QString& error : m_errors.first(qMin(shown, m_errors.size()))) {
            err << "  " << error << '\n';
        }
        if (m_errors.size() > shown) {
            err << "  and " << m_errors.size() - shown << " more\n";
        }
    }

private:
    ProgramContext& m_context;
    QStringList m_errors;
};

// Ends the program as the summary's Close does: the settings are written back.
int finish(ProgramContext& context, RunSettings& settings, int status)
{
    MMain::ExitApplication(context, settings);
    return status;
}

int explainFailedChecks(ProgramContext& context, RunSettings& settings, QTextStream& err)
{
    const QString database = settings.gobjOptions ? settings.gobjOptions->Database() : QString();
    if (!database.isEmpty() && QFileInfo(database).isDir()) {
        err << "brindle-cli: the company file " << database << " is a folder, not a file\n";
    } else if (!database.isEmpty() && !TarvoCards::ServerAddress::names(database) &&
               !MMain::FileExists(database)) {
        err << "brindle-cli: the company file " << database << " does not exist\n";
    }
    err << "brindle-cli: the checks before the run failed; nothing was transferred\n";
    return finish(context, settings, NotCompleted);
}

int run(ProgramContext& context, qint32 lTransferAction, const TransferArguments& args,
        Console& console, TerminalPrompts& prompts, const Forms::ProcessFactory& makeProcess)
{
    QTextStream& err = console.err();
    warnOfUnknownKeys(args.options, err);
    RunSettings settings;
    std::optional<DryRun> dryRun;
    if (args.dryRun) {
        dryRun.emplace(context);
    }
    switch (MMain::Main(context, settings, args.options)) {
    case MMain::FirstScreen::None:
        return NotCompleted;
    case MMain::FirstScreen::Information:
        err << "brindle-cli: the option string names no company file (DATABASE=...)\n";
        return UsageError;
    case MMain::FirstScreen::ChooseAction:
        break;
    }
    const clsOptions& options = *settings.gobjOptions;
    if (!options.Customers() && !options.Suppliers() && !options.Employees() &&
        !options.Personal()) {
        err << "brindle-cli: choose at least one card type (CUSTOMERS=YES, SUPPLIERS=YES, "
               "EMPLOYEES=YES or PERSONAL=YES)\n";
        return UsageError;
    }
    TerminalProgress progress(console, prompts);
    Forms forms(context, settings, progress);
    std::optional<RunSettings> runSettings;
    const Forms::ProcessFactory base = makeProcess ? makeProcess : forms.processFactory;
    forms.processFactory = [&runSettings, &args, base](ProgramContext& c, RunSettings& s,
                                                       RunProgress& r, FSummary& summary) {
        runSettings = settingsForRun(s, args);
        return base(c, *runSettings, r, summary);
    };
    // A dry run changes nothing, on the server neither, whatever CardDavSync says.
    forms.carddavSync = {args.dryRun ? std::optional(false)
                         : args.sync ? std::optional(true)
                                     : std::nullopt,
                         [&console](const QString& moved) { console.out() << moved << '\n'; }};
    forms.LoadForNormalStart();
    FChooseAction& screen = forms.fChooseAction;
    screen.Show();
    const qint32 rule = args.rule.value_or(screen.cboRulesFilter.selectedItemData());
    if (rule == FChooseAction::AskToConfirm && !console.interactive()) {
        err << "brindle-cli: the update rule asks to confirm each update, and there is no "
               "terminal to answer; run it on a terminal or give --rule update or --rule keep\n";
        MMain::ExitApplication(context, settings, MMain::StoredSettings::KeepAsTheyAre);
        return UsageError;
    }
    bool bExitApplication = false;
    if (!screen.InitialiseSettings(bExitApplication)) {
        return explainFailedChecks(context, settings, err);
    }
    QString problem;
    if (dryRun && !dryRun->enter(*settings.gobjOptions, problem)) {
        err << "brindle-cli: " << problem << '\n';
        return finish(context, settings, NotCompleted);
    }
    // Taken here to wait for them; the run shares them. A dry run locks
    // only its copies.
    WriteLocks locks;
    if (const QString refusal =
            locks.acquire(FChooseAction::writtenByARun(settings), int(args.waitSeconds * 1000));
        !refusal.isEmpty()) {
        err << "brindle-cli: " << refusal << "; nothing was transferred\n";
        return finish(context, settings, NotCompleted);
    }
    const ErrorCollector errors(context);
    const QStringList runsBefore = listRuns(runsFolder());
    const bool completed = screen.StartProcess(lTransferAction);
    if (runSettings) {
        // The notice's "do not show again" is the user's answer, kept.
        settings.gbShowOutlookWarning = runSettings->gbShowOutlookWarning;
    }
    if (!completed) {
        errors.explain(err, lTransferAction);
    }
    const QString report = dryRun ? dryRun->report(console.out()) : forms.fSummary.ReportFilePath;
    if (!report.isEmpty()) {
        console.out() << "Report: " << report << '\n';
    }
    const QStringList runs = listRuns(runsFolder());
    if (!dryRun && !runs.isEmpty() && runs.last() != runsBefore.value(runsBefore.size() - 1)) {
        console.out() << "To put this run back: brindle-cli undo "
                      << QFileInfo(runs.last()).fileName() << '\n';
    }
    forms.fSummary.cmdClose_Click();
    return completed ? Completed : NotCompleted;
}

} // namespace

int transferCommand(ProgramContext& context, qint32 lTransferAction, const QStringList& args,
                    Console& console, const Forms::ProcessFactory& makeProcess)
{
    const auto parsed = parse(args);
    if (const auto* problem = std::get_if<QString>(&parsed)) {
        console.err() << "brindle-cli " << (lTransferAction == 1 ? "import" : "export") << ": "
                      << *problem << '\n';
        return UsageError;
    }
    const interrupt::Guard interrupts;
    // Only what the run writes is locked: runs on other files go side by side.
    context.setPreviousInstanceTest(false);
    TerminalPrompts prompts(console);
    const PromptsScope scope(context, prompts);
    const int status = run(context, lTransferAction, std::get<TransferArguments>(parsed), console,
                           prompts, makeProcess);
    context.setPreviousInstanceTest(true);
    console.out().flush();
    console.err().flush();
    return status;
}

std::span<const Option> transferCommandOptions()
{
    static const Option options[] = {{"--rule", "update|keep|ask"},
                                     {"--inactive"},
                                     {"--wait", "SECONDS"},
                                     {"--dry-run"},
                                     {"--sync"},
                                     optionsFileOption};
    return options;
}

int importCommand(const QStringList& args, QTextStream& out, QTextStream& err)
{
    StdConsole console(out, err);
    ProgramContext context;
    return transferCommand(context, 1, args, console);
}

int exportCommand(const QStringList& args, QTextStream& out, QTextStream& err)
{
    StdConsole console(out, err);
    ProgramContext context;
    return transferCommand(context, 2, args, console);
}

} // namespace brindle::cli
