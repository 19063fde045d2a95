#include "Commands.h"
#include "cardlib/ServerAddress.h"
#include "platform/PlatformError.h"
#include "samples/CompanyFileGenerator.h"

#include <limits>

namespace brindle::cli {

namespace {

constexpr char command[] = "sample company";

const Option options[] = {
    {"--cards", "N"}, {"--country", "au|us"}, {"--seed", "S"}, {"--password", "P"}, {"--force"}};

} // namespace

std::span<const Option> sampleCompanyOptions()
{
    return options;
}

int sampleCompanyCommand(const QStringList& args, QTextStream& out, QTextStream& err)
{
    Arguments given(args, options);
    const QString file = given.path(QStringLiteral("the company file to write"));
    samples::CompanyFileOptions sample;
    sample.cards = int(given.number("--cards", sample.cards, 0, samples::maxSampleCards));
    sample.countryCode =
        given.choice("--country", {QStringLiteral("au"), QStringLiteral("us")}, 0) + 1;
    sample.seed =
        quint32(given.number("--seed", sample.seed, 0, std::numeric_limits<quint32>::max()));
    sample.password = given.text("--password");
    if (!given.problem().isEmpty()) {
        return complain(err, command, given.problem(), UsageError);
    }
    try {
        samples::writeCompanyFile(file, sample,
                                  given.flag("--force") ? samples::ExistingFile::Replace
                                                        : samples::ExistingFile::Keep);
    } catch (const PlatformError& error) {
        return complain(err, command, error.description(), 1);
    }
    out << "Wrote " << sample.cards << " cards to " << TarvoCards::displayName(file);
    if (!sample.password.isEmpty()) {
        out << " (user " << samples::sampleUserName << ")";
    }
    out << '\n';
    return 0;
}

} // namespace brindle::cli
