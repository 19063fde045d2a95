#pragma once

#include "Arguments.h"

#include <QStringList>
#include <QTextStream>

namespace brindle::cli {

// Exit code for a wrong command or argument.
constexpr int UsageError = 2;

// A command: its operands and options in args, its results on out, its
// problems on err; returns the exit code.
using CommandFunction = int(const QStringList& args, QTextStream& out, QTextStream& err);
// The options a command reads with Arguments.
using OptionsFunction = std::span<const Option>();

struct Command
{
    const char* name;    // one or two words, as typed: "options", "sample company"
    const char* usage;   // the operands after the name
    const char* summary; // one line for the command list
    CommandFunction* run;
    // Read with Arguments; the usage line lists them after the operands.
    std::span<const Option> options = {};
    const char* details = nullptr; // more lines for --help
};

CommandFunction optionsCommand, decodeLogCommand, settingsCommand, sampleContactsCommand,
    sampleCompanyCommand, carddavSetupCommand, carddavSyncCommand, importCommand, exportCommand,
    runsCommand, undoCommand;
OptionsFunction optionsCommandOptions, sampleContactsOptions, sampleCompanyOptions,
    transferCommandOptions, carddavSetupOptions, undoCommandOptions;
// Names, on err, each key of the option string that is no option.
void warnOfUnknownKeys(const QString& optionString, QTextStream& err);

// Runs the command named at the front of args (the program name removed).
int dispatch(const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace brindle::cli
