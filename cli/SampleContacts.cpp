#include "contactstore/SampleContacts.h"

#include "Commands.h"
#include "platform/PlatformError.h"

#include <QDir>

namespace brindle::cli {

namespace {

constexpr int MaxSampleContacts = 1000000;

// Reads the options after ROOT; false with a message on err for a wrong one.
bool readSampleOptions(const QStringList& args, contacts::SampleOptions& options, QTextStream& err)
{
    for (qsizetype i = 1; i < args.size(); i += 2) {
        const QString& name = args[i];
        if (i + 1 >= args.size()) {
            err << "brindle-cli sample contacts: " << name << " needs a value\n";
            return false;
        }
        const QString& value = args[i + 1];
        bool ok = true;
        if (name == QLatin1String("--contacts")) {
            options.contacts = value.toInt(&ok);
            ok = ok && options.contacts >= 0 && options.contacts <= MaxSampleContacts;
        } else if (name == QLatin1String("--seed")) {
            options.seed = value.toUInt(&ok);
        } else if (name == QLatin1String("--layout") && value == QLatin1String("folders")) {
            options.layout = contacts::SampleOptions::Layout::Folders;
        } else if (name == QLatin1String("--layout") && value == QLatin1String("categories")) {
            options.layout = contacts::SampleOptions::Layout::Categories;
        } else {
            ok = false;
        }
        if (!ok) {
            err << "brindle-cli sample contacts: wrong option " << name << ' ' << value << '\n';
            return false;
        }
    }
    return true;
}

} // namespace

int sampleContactsCommand(const QStringList& args, QTextStream& out, QTextStream& err)
{
    contacts::SampleOptions options;
    if (args.isEmpty() || args.first().startsWith(QLatin1String("--"))) {
        err << "brindle-cli sample contacts: give the root folder of the store first\n";
        return UsageError;
    }
    if (!readSampleOptions(args, options, err)) {
        return UsageError;
    }
    const QString root = args.first();
    if (QDir(root).exists() && !QDir(root).isEmpty()) {
        err << "brindle-cli sample contacts: " << root
            << " is not empty; give a new or empty folder\n";
        return 1;
    }
    try {
        const contacts::SampleSummary summary = contacts::writeSampleContacts(root, options);
        out << "Wrote " << summary.contacts << " contacts and " << summary.otherItems
            << " other items under " << QDir(root).absolutePath() << '\n';
    } catch (const PlatformError& error) {
        err << "brindle-cli sample contacts: " << error.description() << '\n';
        return 1;
    }
    return 0;
}

} // namespace brindle::cli
