#include "Commands.h"
#include "carddav/Vdirsyncer.h"
#include "platform/PlatformError.h"
#include "registry/IniHive.h"
#include "startup/Settings.h"

#include <QProcess>

namespace brindle::cli {

namespace {

constexpr char setupName[] = "carddav setup";
constexpr char syncName[] = "carddav sync";

const Option setupOptions[] = {{"--username", "NAME"}, {"--password-command", "CMD"}};

carddav::Layout storeLayout()
{
    const IniHive hive(IniHive::defaultFileName(), IniHive::Access::ReadOnly);
    const QString value =
        hive.readValue(MMain::brindleKey(), QStringLiteral("DisableOutlookFolders")).trimmed();
    return value == u"1" ? carddav::Layout::Categories : carddav::Layout::Folders;
}

QString listed(const QStringList& names)
{
    return names.isEmpty() ? QStringLiteral("none")
                           : u'"' + names.join(QStringLiteral("\", \"")) + u'"';
}

carddav::Vdirsyncer::Progress terminalProgress(QTextStream& err)
{
    return [&err](const QString& caption, double percent) {
        err << QStringLiteral("[%1%] ").arg(qRound(percent), 3) << caption << '\n';
        err.flush();
    };
}

} // namespace

std::span<const Option> carddavSetupOptions()
{
    return setupOptions;
}

int carddavSetupCommand(const QStringList& args, QTextStream& out, QTextStream& err)
{
    Arguments given(args, setupOptions);
    carddav::Account account;
    account.url = given.operand(QStringLiteral("the server's address"));
    account.username = given.text("--username");
    account.passwordCommand = QProcess::splitCommand(given.text("--password-command"));
    if (!given.problem().isEmpty()) {
        return complain(err, setupName, given.problem(), UsageError);
    }
    if (const QString problem = carddav::accountProblem(account); !problem.isEmpty()) {
        return complain(err, setupName, problem, UsageError);
    }
    if (carddav::Vdirsyncer::program().isEmpty()) {
        return complain(err, setupName, carddav::Vdirsyncer::missingText(), 1);
    }
    const carddav::Places places = carddav::Places::standard();
    const carddav::Layout layout = storeLayout();
    try {
        carddav::writeConfig(places, carddav::configText(account, layout, places));
    } catch (const PlatformError& error) {
        return complain(err, setupName, error.description(), 1);
    }
    out << "Wrote " << places.configFile() << " (readable by you alone) pairing "
        << (layout == carddav::Layout::Folders ? "each card-type folder of "
                                               : "the default folder of ")
        << places.storeRoot << '\n';
    const carddav::SyncResult found = carddav::Vdirsyncer(places, terminalProgress(err)).discover();
    if (!found.ok()) {
        return complain(err, setupName, found.problem, 1);
    }
    out << "Collections paired: " << listed(found.collections) << '\n'
        << "Made on the server: " << listed(found.made) << '\n';
    if (found.collections.isEmpty()) {
        out << "The card-type folders are paired by the first sync after an export.\n";
    }
    return 0;
}

int carddavSyncCommand(const QStringList& args, QTextStream& out, QTextStream& err)
{
    if (!args.isEmpty()) {
        return complain(err, syncName, QStringLiteral("takes no arguments"), UsageError);
    }
    const carddav::Places places = carddav::Places::standard();
    const carddav::SyncResult result = carddav::Vdirsyncer(places, terminalProgress(err)).sync();
    if (!result.ok()) {
        return complain(err, syncName, result.problem, 1);
    }
    out << "Synced " << listed(result.collections) << ": " << carddav::movedText(result) << '\n';
    if (result.conflicts > 0) {
        out << "Local copies kept in " << places.conflictsFolder() << '\n';
    }
    return 0;
}

} // namespace brindle::cli
