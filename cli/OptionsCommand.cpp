#include "Commands.h"
#include "startup/clsOptions.h"

namespace brindle::cli {

namespace {

QString yesNo(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

} // namespace

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
        << "Customers=" << yesNo(options.Customers()) << '\n'
        << "Employees=" << yesNo(options.Employees()) << '\n'
        << "Personal=" << yesNo(options.Personal()) << '\n'
        << "Suppliers=" << yesNo(options.Suppliers()) << '\n';
    return 0;
}

} // namespace brindle::cli
