#pragma once

#include <QDateTime>
#include <QString>
#include <exception>
#include <functional>
#include <memory>

namespace brindle {

class InstanceGuard;
class Prompts;
class Registry;

// Where the program meets its platform: the registry, the user's prompts,
// the clock, the previous-instance test and the error log. A front end
// makes one and passes it in; tests make their own. A seam left unset gets
// the program's default on first use: the registry hive of
// $BRINDLE_REGISTRY, one instance guard per user named after the
// executable, the system clock, and prompts that fail every question
// loudly (log, standard error, and a PlatformError) rather than answer it
// for the user.
class ProgramContext
{
public:
    struct Seams
    {
        Registry* registry = nullptr;
        Prompts* prompts = nullptr;
        InstanceGuard* instanceGuard = nullptr;
        std::function<QDateTime()> clock = {};
    };

    ProgramContext();
    explicit ProgramContext(Seams seams);
    ~ProgramContext();
    Q_DISABLE_COPY(ProgramContext)

    Registry& registry();
    // Another registry for a while (a dry run's read-only hive); null gives
    // the default back.
    void setRegistry(Registry* registry) { m_registry = registry; }
    Prompts& prompts();
    // The front end's prompts while it lives; null gives the default back.
    void setPrompts(Prompts* prompts) { m_prompts = prompts; }
    InstanceGuard& instanceGuard();
    // The previous-instance test is the wizard's; brindle-cli turns it off
    // and locks only what its run writes.
    bool previousInstanceTest() const { return m_previousInstanceTest; }
    void setPreviousInstanceTest(bool on) { m_previousInstanceTest = on; }
    QDateTime now() const;

    // Appends one enciphered line to the log in the program folder when the
    // registry's LogFile switch is "TRUE". Never fails to its caller.
    void WriteLog(const QString& sMessage);
    // Format(Now, "dd/mmm/yyyy HH:NN:SS").
    QString logTimeStamp() const;
    // The one error-line format of every trap: time stamp, a blank,
    // "VEXOBrindle.", source ("Module.Procedure"), " Error : ", number,
    // " : ", description.
    QString errorLine(const QString& source, qint64 number, const QString& description) const;
    // The same for a caught exception: a PlatformError with its own number,
    // anything else as an unspecified failure.
    QString errorLine(const QString& source, const std::exception& error) const;
    void logError(const QString& source, qint64 number, const QString& description);
    void logError(const QString& source, const std::exception& error);
    // Hears the description of every error the traps log, whether or not the
    // log is on, so that a front end can say why a run failed. Empty: nobody.
    void setErrorListener(std::function<void(const QString& description)> listener);

    // Set while WriteLog runs. WriteLog returns at once when it is already
    // set, so a failing registry read inside it cannot log through it again.
    bool gbEncryptionActive = false;

private:
    struct Defaults;
    std::unique_ptr<Defaults> m_defaults;
    Registry* m_registry = nullptr;
    Prompts* m_prompts = nullptr;
    InstanceGuard* m_instanceGuard = nullptr;
    bool m_previousInstanceTest = true;
    std::function<QDateTime()> m_clock;
    std::function<void(const QString&)> m_errorListener;
};

} // namespace brindle
