#include "Commands.h"
#include "OptionString.h"
#include "startup/TextHelpers.h"
#include "startup/clsOptions.h"

namespace brindle::cli {

std::span<const Option> optionsCommandOptions()
{
    static const Option options[] = {optionsFileOption};
    return options;
}

void warnOfUnknownKeys(const QString& optionString, QTextStream& err)
{
    for (const QString& key : clsOptions::unknownKeys(optionString)) {
        err << "brindle-cli: the option string has an unknown key " << key << " (the keys are "
            << clsOptions::knownKeys().join(QStringLiteral(", ")) << ")\n";
    }
}

int optionsCommand(const QStringList& args, QTextStream& out, QTextStream& err)
{
    Arguments read(args, optionsCommandOptions());
    const QString optionString = readOptionString(read);
    if (!read.problem().isEmpty()) {
        return complain(err, "options", read.problem(), UsageError);
    }
    warnOfUnknownKeys(optionString, err);
    clsOptions options;
    options.Analyse(optionString);
    // Masked as the log masks it: the password is never printed.
    const QString password = options.Password().isEmpty() ? QString() : QStringLiteral("****");
    out << "Database=" << options.Database() << '\n'
        << "HostExePath=" << options.HostExePath() << '\n'
        << "NetworkProtocol=" << options.NetworkProtocol() << '\n'
        << "Password=" << password << '\n'
        << "Username=" << options.Username() << '\n'
        << "Customers=" << booleanText(options.Customers()) << '\n'
        << "Employees=" << booleanText(options.Employees()) << '\n'
        << "Personal=" << booleanText(options.Personal()) << '\n'
        << "Suppliers=" << booleanText(options.Suppliers()) << '\n';
    return 0;
}

} // namespace brindle::cli
