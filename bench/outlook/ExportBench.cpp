// An export of N cards into an empty contact store, and a second export of
// the same unchanged cards, under rule 0, the final flush included and the
// pauses that keep a window live left out; beside them, as the anchor,
// vdirsyncer syncing the exported folders into an empty vdir, then again
// with nothing changed. Each measurement runs in a process of its own, so
// its peak memory is its own; each export runs three times (a first export
// into a fresh store each time), and the best time and highest peak count.
// Run: ExportBench [N...]   (default 10000 100000; the store under $TMPDIR)
#include "bench/support/BenchRun.h"
#include "samples/CompanyFileGenerator.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTextStream>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char** environ;

namespace {

using namespace brindle;
using bench::Measured;
using bench::peakMiB;
using bench::resetPeak;

// In the child: "first" makes the company file and exports it into an empty
// store; "again" exports it once more. Prints "seconds peak-MiB".
int measure(const QString& mode, int count, const QString& base)
{
    if (mode == QLatin1String("first")) {
        bench::createCompany(base);
        samples::writeCompanyFile(bench::companyOf(base), {count, 1, 11, {}},
                                  samples::ExistingFile::Keep);
    }
    resetPeak();
    const double seconds = bench::runTransfer(base, RunSettings::Export);
    QTextStream(stdout) << seconds << ' ' << peakMiB() << '\n';
    return 0;
}

Measured child(const QString& mode, int count, const QString& base)
{
    QProcess process;
    process.start(QCoreApplication::applicationFilePath(),
                  {QStringLiteral("--measure"), mode, QString::number(count), base});
    process.waitForFinished(-1);
    if (process.exitCode() != 0) {
        qFatal("the %s export failed: %s", qPrintable(mode),
               process.readAllStandardError().constData());
    }
    const QStringList values =
        QString::fromLatin1(process.readAllStandardOutput()).simplified().split(u' ');
    return {values.value(0).toDouble(), values.value(1).toDouble()};
}

// A command's wall time and peak memory, taken from its own resource usage.
Measured command(const QStringList& args, bool answerYes = false)
{
    std::vector<QByteArray> bytes;
    for (const QString& arg : args) {
        bytes.push_back(arg.toLocal8Bit());
    }
    std::vector<char*> argv;
    for (QByteArray& arg : bytes) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    QTemporaryFile yes;
    if (answerYes) {
        yes.open();
        yes.write(QByteArray("y\n").repeated(64));
        yes.flush();
        posix_spawn_file_actions_addopen(&actions, 0, QFile::encodeName(yes.fileName()), O_RDONLY,
                                         0);
    }
    QElapsedTimer timer;
    timer.start();
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        qFatal("cannot start %s", argv[0]);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    posix_spawn_file_actions_destroy(&actions);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        qFatal("%s failed", qPrintable(args.join(u' ')));
    }
    return {timer.nsecsElapsed() / 1e9, usage.ru_maxrss / 1024.0};
}

// vdirsyncer copies the exported folders into an empty vdir, then syncs
// again with nothing changed.
std::pair<Measured, Measured> vdirsyncer(const QString& base)
{
    const QString config = base + QStringLiteral("/vdirsyncer.conf");
    QFile file(config);
    file.open(QIODevice::WriteOnly);
    file.write(QStringLiteral("[general]\nstatus_path = \"%1/status/\"\n"
                              "[pair export]\na = \"exported\"\nb = \"copy\"\n"
                              "collections = [\"from a\"]\n"
                              "[storage exported]\ntype = \"filesystem\"\npath = \"%1/contacts/"
                              "Contacts/\"\nfileext = \".vcf\"\n"
                              "[storage copy]\ntype = \"filesystem\"\npath = \"%1/copy/\"\n"
                              "fileext = \".vcf\"\n")
                   .arg(base)
                   .toUtf8());
    file.close();
    QDir(base).mkpath(QStringLiteral("copy"));
    const QStringList vdirsyncer{QStringLiteral("vdirsyncer"), QStringLiteral("-c"), config};
    command(vdirsyncer + QStringList{QStringLiteral("discover")}, true);
    const Measured first = command(vdirsyncer + QStringList{QStringLiteral("sync")});
    const Measured again = command(vdirsyncer + QStringList{QStringLiteral("sync")});
    return {first, again};
}

QString row(const char* operation, int count, const Measured& measured, const Measured& anchor)
{
    return QString::asprintf("%-18s %8d %9.2f %11.1f %9.1f %11.1f %12.1f %6.2f\n", operation, count,
                             measured.seconds, measured.seconds * 1e6 / count, measured.peakMiB,
                             anchor.seconds * 1e6 / count, anchor.peakMiB,
                             measured.seconds / anchor.seconds);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.value(0) == QLatin1String("--measure")) {
        return measure(args.value(1), args.value(2).toInt(), args.value(3));
    }
    if (args.isEmpty()) {
        args = {QStringLiteral("10000"), QStringLiteral("100000")};
    }
    QTextStream out(stdout);
    out << "store under " << QDir::tempPath() << "\n";
    out << "operation               N     run s   us/card  peak MiB  vdirsyncer us/card  "
           "MiB  ratio\n";
    for (const QString& arg : args) {
        const int count = arg.toInt();
        QTemporaryDir base;
        // The first attempt leaves the store that the later steps use.
        int firstAttempts = 0;
        const Measured first = bench::bestOf([&] {
            if (firstAttempts++ == 0) {
                return child(QStringLiteral("first"), count, base.path());
            }
            QTemporaryDir scratch;
            return child(QStringLiteral("first"), count, scratch.path());
        });
        const Measured again =
            bench::bestOf([&] { return child(QStringLiteral("again"), count, base.path()); });
        const auto [syncFirst, syncAgain] = vdirsyncer(base.path());
        out << row("export, new", count, first, syncFirst)
            << row("export, unchanged", count, again, syncAgain);
        out.flush();
    }
    return 0;
}
