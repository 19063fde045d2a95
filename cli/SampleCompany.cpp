#include "cardlib/sample/SampleCompany.h"

#include "Commands.h"
#include "platform/PlatformError.h"

namespace brindle::cli {

namespace {

// Reads "--name value" pairs and --force into the options; "" when all is well.
QString parseSampleArgs(const QStringList& args, QString& file, TarvoCards::SampleOptions& options,
                        bool& force)
{
    for (int i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        if (arg == QLatin1String("--force")) {
            force = true;
            continue;
        }
        if (!arg.startsWith(QLatin1String("--"))) {
            if (!file.isEmpty()) {
                return QStringLiteral("only one company file, please: %1").arg(arg);
            }
            file = arg;
            continue;
        }
        if (i + 1 >= args.size()) {
            return QStringLiteral("%1 needs a value").arg(arg);
        }
        const QString value = args.at(++i);
        bool ok = true;
        if (arg == QLatin1String("--cards")) {
            options.cards = value.toInt(&ok);
            ok = ok && options.cards >= 0;
        } else if (arg == QLatin1String("--seed")) {
            options.seed = value.toUInt(&ok);
        } else if (arg == QLatin1String("--country")) {
            ok = value == QLatin1String("au") || value == QLatin1String("us");
            options.countryCode = value == QLatin1String("us") ? 2 : 1;
        } else if (arg == QLatin1String("--password")) {
            options.password = value;
        } else {
            return QStringLiteral("unknown option %1").arg(arg);
        }
        if (!ok) {
            return QStringLiteral("%1 does not take %2").arg(arg, value);
        }
    }
    return file.isEmpty() ? QStringLiteral("the company file to write is missing") : QString();
}

} // namespace

int sampleCompanyCommand(const QStringList& args, QTextStream& out, QTextStream& err)
{
    QString file;
    TarvoCards::SampleOptions options;
    bool force = false;
    const QString problem = parseSampleArgs(args, file, options, force);
    if (!problem.isEmpty()) {
        err << "brindle-cli sample company: " << problem << '\n';
        return UsageError;
    }
    try {
        TarvoCards::writeSampleCompany(file, options, force);
    } catch (const PlatformError& error) {
        err << "brindle-cli sample company: " << error.description() << '\n';
        return 1;
    }
    out << "Wrote " << options.cards << " cards to " << file;
    if (!options.password.isEmpty()) {
        out << " (user " << TarvoCards::sampleUserName << ")";
    }
    out << '\n';
    return 0;
}

} // namespace brindle::cli
