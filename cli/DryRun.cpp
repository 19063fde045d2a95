#include "DryRun.h"

#include "contactstore/Application.h"
#include "platform/AppInfo.h"
#include "runs/ChangeListing.h"
#include "runs/RunFiles.h"
#include "runs/Undo.h"
#include "startup/ProgramContext.h"
#include "startup/clsOptions.h"

#include <QDirIterator>
#include <QFileInfo>

namespace brindle::cli {

namespace {

QString currentHive(ProgramContext& context)
{
    const auto* hive = dynamic_cast<const IniHive*>(&context.registry());
    return hive ? hive->fileName() : IniHive::defaultFileName();
}

// Copies a folder tree; files keep their times, so a run sees them as the user's.
bool copyTree(const QString& from, const QString& to)
{
    if (!QDir().mkpath(to)) {
        return false;
    }
    QDirIterator it(from, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString target = to + u'/' + QDir(from).relativeFilePath(path);
        const QFileInfo info = it.fileInfo();
        const bool copied = info.isSymLink() ? true // a link is no contact of the store
                            : info.isDir()   ? QDir().mkpath(target)
                                             : QFile::copy(path, target);
        if (!copied) {
            return false;
        }
    }
    return true;
}

} // namespace

DryRun::DryRun(ProgramContext& context)
    : m_context(context), m_hive(currentHive(context), IniHive::Access::ReadOnly),
      m_previousHive(&context.registry())
{
    m_context.setRegistry(&m_hive);
}

DryRun::~DryRun()
{
    m_context.setRegistry(m_previousHive);
    for (const auto& [name, value] : m_saved) {
        if (value) {
            qputenv(name, *value);
        } else {
            qunsetenv(name);
        }
    }
}

void DryRun::setVariable(const char* name, const QString& value)
{
    m_saved.append(
        {name, qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt});
    qputenv(name, QFile::encodeName(value));
}

bool DryRun::enter(clsOptions& options, QString& problem)
{
    const QString company = m_scratch.filePath(QFileInfo(options.Database()).fileName());
    const QString store = m_scratch.filePath(QStringLiteral("contacts"));
    const QString root = contacts::Application::defaultRoot();
    if (!QFileInfo(options.Database()).isFile()) {
        problem = QStringLiteral("a dry run works on a copy of the company file, and %1 is no "
                                 "file that can be copied")
                      .arg(options.Database());
        return false;
    }
    if (!m_scratch.isValid() || !QFile::copy(options.Database(), company) ||
        (QFileInfo(root).isDir() && !copyTree(root, store))) {
        problem = QStringLiteral("the company file and the contact store cannot be copied for "
                                 "a dry run into %1")
                      .arg(m_scratch.path());
        return false;
    }
    m_appDir = appPath();
    QDir().mkpath(m_scratch.filePath(QStringLiteral("program")));
    options.setDatabase(company);
    setVariable("BRINDLE_CONTACTS", store);
    setVariable("BRINDLE_APP_DIR", m_scratch.filePath(QStringLiteral("program")));
    return true;
}

QString DryRun::report(QTextStream& out) const
{
    const QStringList runs = listRuns(runsFolder());
    const QStringList changes =
        runs.isEmpty() ? QStringList() : listChanges(RecordedRun::read(runs.last()));
    out << (changes.isEmpty() ? "Dry run: nothing was written, and the run would change nothing.\n"
                              : "Dry run: nothing was written. The run would:\n");
    for (const QString& line : changes) {
        out << "  " << line << '\n';
    }
    QString copied;
    for (const QString& name : QDir(appPath()).entryList({QStringLiteral("*.html")})) {
        copied =
            m_appDir + u'/' + QFileInfo(name).completeBaseName() + QStringLiteral("-dry-run.html");
        QFile::remove(copied);
        QFile::copy(QDir(appPath()).filePath(name), copied);
    }
    return copied;
}

} // namespace brindle::cli
