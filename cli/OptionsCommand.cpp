#include "Commands.h"
#include "startup/TextHelpers.h"
#include "startup/clsOptions.h"

namespace brindle::cli {

int optionsCommand(const QStringList& args, QTextStream& out, QTextStream& err)
{
    if (args.size() != 1) {
        err << "brindle-cli options: give the option string as one argument, in quotes\n";
        return UsageError;
    }
    clsOptions options;
    options.Analyse(args.first());
    out << "Database=" << options.Database() << '\n'
        << "HostExePath=" << options.HostExePath() << '\n'
        << "NetworkProtocol=" << options.NetworkProtocol() << '\n'
        << "Password=" << options.Password() << '\n'
        << "Username=" << options.Username() << '\n'
        << "Customers=" << booleanText(options.Customers()) << '\n'
        << "Employees=" << booleanText(options.Employees()) << '\n'
        << "Personal=" << booleanText(options.Personal()) << '\n'
        << "Suppliers=" << booleanText(options.Suppliers()) << '\n';
    return 0;
}

} // namespace brindle::cli
