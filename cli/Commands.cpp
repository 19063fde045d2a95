#include "Commands.h"

#include <span>

namespace brindle::cli {

namespace {

const char* const transferDetails =
    "      Starts as the wizard does (the same settings and checks) and runs the\n"
    "      transfer on the terminal: a progress line on standard error, each\n"
    "      confirmation answered with one key, the summary on standard output,\n"
    "      then the report's path when one was written.\n"
    "      --rule update|keep|ask  the update rule for this run only\n"
    "      --inactive              allow the export of inactive cards, this run only\n"
    "      --options-file FILE     read the option string from FILE, which only its\n"
    "                              owner may read; \"-\" in place of the option\n"
    "                              string reads it from standard input. Either keeps\n"
    "                              the password out of the process list.\n"
    "      --wait SECONDS          wait up to SECONDS (default 0) for another run that\n"
    "                              writes the same company file or contact store\n"
    "      --dry-run               run on copies and list what would change; nothing\n"
    "                              of the company file, the store or the settings is\n"
    "                              written; the report is saved as <name>-dry-run.html\n"
    "      --sync                  sync with the CardDAV server before an import,\n"
    "                              after a completed export (never in a dry run)\n"
    "      Without a terminal a run whose rule asks is refused unless --rule says\n"
    "      otherwise. Ctrl-C or SIGTERM cancels the run (it winds up and the summary\n"
    "      says so); a second one ends at once.\n"
    "      Exit status: 0 complete, 1 cancelled or failed, 2 wrong use.\n";

const char* const carddavDetails =
    "      Writes Brindle's own vdirsyncer configuration, readable by you alone, and\n"
    "      makes the collections the server lacks. The password is never written:\n"
    "      vdirsyncer runs CMD for it, e.g. \"secret-tool lookup carddav brindle\".\n"
    "      Exit status: 0 paired, 1 failed, 2 wrong use.\n";

const Command commands[] = {
    {"import", "\"<option string>\"|-",
     "import contacts into the company file, as the wizard's import arrow", importCommand,
     transferCommandOptions(), transferDetails},
    {"export", "\"<option string>\"|-", "export cards into contacts, as the wizard's export arrow",
     exportCommand, transferCommandOptions(), transferDetails},
    {"options", "\"<option string>\"|-",
     "print the options the program reads from an option string", optionsCommand,
     optionsCommandOptions()},
    {"decode-log", "[FILE]", "print the error log deciphered, one line per entry",
     decodeLogCommand},
    {"settings", "", "print the settings as the program loads them from the registry",
     settingsCommand},
    {"sample company", "FILE", "write a sample company file of cards", sampleCompanyCommand,
     sampleCompanyOptions()},
    {"sample contacts", "ROOT", "write a sample contact store of vCard files under ROOT",
     sampleContactsCommand, sampleContactsOptions()},
    {"carddav setup", "URL", "pair the contact store with a CardDAV server, through vdirsyncer",
     carddavSetupCommand, carddavSetupOptions(), carddavDetails},
    {"carddav sync", "", "sync the contact store with the CardDAV server", carddavSyncCommand},
    {"runs", "", "list the recorded runs that undo can put back, oldest first", runsCommand},
    {"undo", "[RUN]",
     "put back what a run changed (the last run by default); items changed since stay", undoCommand,
     undoCommandOptions(),
     "      Lists what it will put back and asks first, unless --yes; --dry-run only\n"
     "      lists. An undo is recorded too, so it can be undone. Exit status: 0 done,\n"
     "      1 an item changed since the run was left as it is, or the record is\n"
     "      damaged, 2 wrong use.\n"},
    // More commands join this table.
};

const char* const optionKeys =
    "  DATABASE=FILE          the company file\n"
    "  USERNAME=NAME          the company file's user\n"
    "  PASSWORD=TEXT          that user's password (never logged)\n"
    "  HOST_EXE_PATH=FILE     the accounting program, whose version is checked\n"
    "  NETWORK_PROTOCOL=TEXT  handed to the card library's connection\n"
    "  CUSTOMERS=YES          include customer cards\n"
    "  SUPPLIERS=YES          include supplier (vendor) cards\n"
    "  EMPLOYEES=YES          include employee cards\n"
    "  PERSONAL=YES           include personal cards\n";

const char* const environment =
    "  BRINDLE_APP_DIR        the program folder: the log, the reports and the card\n"
    "                         library (default: the executable's folder when the\n"
    "                         library is beside it, else ~/.local/share/brindle)\n"
    "  BRINDLE_REGISTRY       the registry hive (default ~/.config/brindle/hklm.ini)\n"
    "  BRINDLE_CONTACTS       the contact store (default\n"
    "                         ~/.local/share/brindle/contacts)\n"
    "  BRINDLE_DRIVER_VERSION tests only: the driver version to report, or missing\n";

QString usageLine(const Command& command)
{
    return QStringLiteral("%1 %2%3").arg(QLatin1String(command.name), QLatin1String(command.usage),
                                         usageOf(command.options));
}

void printUsage(QTextStream& stream)
{
    stream << "Usage: brindle-cli <command> [arguments]\n\nCommands:\n";
    for (const Command& command : commands) {
        stream << "  " << usageLine(command) << "\n      " << command.summary << '\n';
        if (command.details && command.run == exportCommand) {
            stream << command.details; // shared by import and export
        }
    }
    stream << "\nEach command takes --help. brindle-cli --version prints the version.\n"
           << "\nOption string keys (KEY=value pairs joined by '<', keys in any case):\n"
           << optionKeys << "\nEnvironment:\n"
           << environment;
}

// The command whose words start args, and how many words its name has.
std::pair<const Command*, int> findCommand(const QStringList& args)
{
    for (const Command& command : commands) {
        const QStringList words = QString::fromLatin1(command.name).split(QLatin1Char(' '));
        if (args.mid(0, words.size()) == words) {
            return {&command, int(words.size())};
        }
    }
    return {nullptr, 0};
}

} // namespace

int dispatch(const QStringList& args, QTextStream& out, QTextStream& err)
{
    if (args.isEmpty() || args.first() == QLatin1String("--help") ||
        args.first() == QLatin1String("-h")) {
        printUsage(args.isEmpty() ? err : out);
        return args.isEmpty() ? UsageError : 0;
    }
    if (args == QStringList{QStringLiteral("--version")}) {
        out << "brindle-cli " << BRINDLE_VERSION << '\n';
        return 0;
    }
    const auto [command, nameWords] = findCommand(args);
    if (!command) {
        err << "brindle-cli: unknown command '" << args.first() << "'\n";
        printUsage(err);
        return UsageError;
    }
    const QStringList rest = args.mid(nameWords);
    if (Arguments(rest, command->options).helpWanted()) {
        out << "Usage: brindle-cli " << usageLine(*command) << "\n  " << command->summary << '\n';
        if (command->details) {
            out << command->details;
        }
        return 0;
    }
    return command->run(rest, out, err);
}

} // namespace brindle::cli
