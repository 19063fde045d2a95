#include "Commands.h"

#include <span>

namespace brindle::cli {

namespace {

const Command commands[] = {
    {"options", "\"<option string>\"", "print the options the program reads from an option string",
     optionsCommand},
    {"decode-log", "[FILE]", "print the error log deciphered, one line per entry",
     decodeLogCommand},
    {"settings", "", "print the settings as the program loads them from the registry",
     settingsCommand},
    {"sample company", "FILE", "write a sample company file of cards", sampleCompanyCommand,
     sampleCompanyOptions()},
    {"sample contacts", "ROOT", "write a sample contact store of vCard files under ROOT",
     sampleContactsCommand, sampleContactsOptions()},
    // More commands join this table.
};

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
    }
    stream << "\nEach command takes --help.\n";
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
    const auto [command, nameWords] = findCommand(args);
    if (!command) {
        err << "brindle-cli: unknown command '" << args.first() << "'\n";
        printUsage(err);
        return UsageError;
    }
    const QStringList rest = args.mid(nameWords);
    if (Arguments(rest, command->options).helpWanted()) {
        out << "Usage: brindle-cli " << usageLine(*command) << "\n  " << command->summary << '\n';
        return 0;
    }
    return command->run(rest, out, err);
}

} // namespace brindle::cli
