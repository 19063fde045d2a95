#pragma once

#include "Arguments.h"

#include <QStringList>
#include <QTextStream>

namespace brindle::cli {

// Exit code for a wrong command or argument.
constexpr int UsageError = 2;

struct Command
{
    const char* name;    // one or two words, as typed: "options", "sample company"
    const char* usage;   // the operands after the name
    const char* summary; // one line for the command list
    int (*run)(const QStringList& args, QTextStream& out, QTextStream& err);
    // Read with Arguments; the usage line lists them after the operands.
    std::span<const Option> options = {};
    const char* details = nullptr; // more lines for --help
};

std::span<const Option> optionsCommandOptions();
// Names, on err, each key of the option string that is no option.
void warnOfUnknownKeys(const QString& optionString, QTextStream& err);
int optionsCommand(const QStringList& args, QTextStream& out, QTextStream& err);
int decodeLogCommand(const QStringList& args, QTextStream& out, QTextStream& err);
int settingsCommand(const QStringList& args, QTextStream& out, QTextStream& err);
int sampleContactsCommand(const QStringList& args, QTextStream& out, QTextStream& err);
int sampleCompanyCommand(const QStringList& args, QTextStream& out, QTextStream& err);
std::span<const Option> sampleContactsOptions();
std::span<const Option> sampleCompanyOptions();
std::span<const Option> transferCommandOptions();
std::span<const Option> carddavSetupOptions();
int carddavSetupCommand(const QStringList& args, QTextStream& out, QTextStream& err);
int carddavSyncCommand(const QStringList& args, QTextStream& out, QTextStream& err);
int importCommand(const QStringList& args, QTextStream& out, QTextStream& err);
int exportCommand(const QStringList& args, QTextStream& out, QTextStream& err);
int runsCommand(const QStringList& args, QTextStream& out, QTextStream& err);
int undoCommand(const QStringList& args, QTextStream& out, QTextStream& err);
std::span<const Option> undoCommandOptions();

// Runs the command named at the front of args (the program name removed).
int dispatch(const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace brindle::cli
