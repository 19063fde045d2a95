#include "Commands.h"
#include "platform/PlatformError.h"
#include "samples/ContactStoreGenerator.h"

#include <QDir>
#include <limits>

namespace brindle::cli {

namespace {

constexpr char contactsCommand[] = "sample contacts";

const Option contactsOptions[] = {
    {"--contacts", "N"}, {"--layout", "folders|categories"}, {"--seed", "S"}};

} // namespace

std::span<const Option> sampleContactsOptions()
{
    return contactsOptions;
}

int sampleContactsCommand(const QStringList& args, QTextStream& out, QTextStream& err)
{
    using Layout = samples::ContactStoreOptions::Layout;
    Arguments given(args, contactsOptions);
    const QString root = given.path(QStringLiteral("the root folder of the store"));
    samples::ContactStoreOptions sample;
    sample.contacts =
        int(given.number("--contacts", sample.contacts, 0, samples::maxSampleContacts));
    sample.layout =
        given.choice("--layout", {QStringLiteral("folders"), QStringLiteral("categories")}, 0) == 0
            ? Layout::Folders
            : Layout::Categories;
    sample.seed =
        quint32(given.number("--seed", sample.seed, 0, std::numeric_limits<quint32>::max()));
    if (!given.problem().isEmpty()) {
        return complain(err, contactsCommand, given.problem(), UsageError);
    }
    if (QDir(root).exists() && !QDir(root).isEmpty()) {
        return complain(err, contactsCommand,
                        QStringLiteral("%1 is not empty; give a new or empty folder").arg(root), 1);
    }
    try {
        const samples::ContactStoreSummary summary = samples::writeContactStore(root, sample);
        out << "Wrote " << summary.contacts << " contacts and " << summary.otherItems
            << " other items under " << QDir(root).absolutePath() << '\n';
    } catch (const PlatformError& error) {
        return complain(err, contactsCommand, error.description(), 1);
    }
    return 0;
}

} // namespace brindle::cli
