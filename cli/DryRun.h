#pragma once

#include "registry/IniHive.h"

#include <QTemporaryDir>
#include <QTextStream>
#include <optional>

namespace brindle {
class ProgramContext;
class Registry;
class clsOptions;
} // namespace brindle

namespace brindle::cli {

// A run that writes nothing of the user's: it reads the hive but writes no
// setting, and works on copies of the company file and the contact store
// in a scratch folder that is also its program folder. What it would have
// changed is read from its record there.
class DryRun
{
public:
    explicit DryRun(ProgramContext& context);
    ~DryRun();
    Q_DISABLE_COPY(DryRun)

    // Once the run's checks are passed: copies the company file and the
    // store and points the run at the copies. False with a reason on failure.
    bool enter(clsOptions& options, QString& problem);
    // Prints what the run would have changed, and copies its report beside
    // the user's as "<name>-dry-run.html", whose path it returns.
    QString report(QTextStream& out) const;

private:
    void setVariable(const char* name, const QString& value);

    QTemporaryDir m_scratch;
    ProgramContext& m_context;
    IniHive m_hive;
    Registry* m_previousHive;
    QString m_appDir;
    QList<std::pair<const char*, std::optional<QByteArray>>> m_saved;
};

} // namespace brindle::cli
