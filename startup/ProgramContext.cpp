#include "ProgramContext.h"

#include "Prompts.h"
#include "platform/AppInfo.h"
#include "platform/InstanceGuard.h"
#include "platform/PlatformError.h"
#include "registry/IniHive.h"

#include <cstdio>

namespace brindle {

namespace {

// Used until a front end sets its own: there is nobody to ask, and a
// question answered on the user's behalf could lose data.
class NoPrompts : public Prompts
{
public:
    explicit NoPrompts(ProgramContext& context) : m_context(context) {}

    Answer messageBox(const QString& text, Buttons, Icon, const QString&, bool) override
    {
        refuse(QStringLiteral("message \"%1\"").arg(text));
    }
    void showUpdateChoice(FUpdateChoice&) override { refuse(QStringLiteral("confirmation")); }
    void showNotice(Notice&) override { refuse(QStringLiteral("notice")); }
    void showSummary(FSummary&) override { refuse(QStringLiteral("summary")); }
    qint32 openFile(const QString& file, const QString&) override
    {
        refuse(QStringLiteral("file ") + file);
    }

private:
    [[noreturn]] void refuse(const QString& what)
    {
        const QString description = QStringLiteral("No user interface to show the ") + what;
        m_context.logError(QStringLiteral("MMain.prompts"), ErrorNumber::Unspecified, description);
        fprintf(stderr, "brindle: %s\n", qPrintable(description));
        throw PlatformError(ErrorNumber::Unspecified, description);
    }

    ProgramContext& m_context;
};

} // namespace

// The seams made on first use when the front end gave none.
struct ProgramContext::Defaults
{
    std::unique_ptr<IniHive> hive;
    std::unique_ptr<NoPrompts> prompts;
    std::unique_ptr<InstanceGuard> guard;
};

ProgramContext::ProgramContext() : ProgramContext(Seams{}) {}

ProgramContext::ProgramContext(Seams seams)
    : m_defaults(std::make_unique<Defaults>()), m_registry(seams.registry),
      m_prompts(seams.prompts), m_instanceGuard(seams.instanceGuard),
      m_clock(std::move(seams.clock))
{}

ProgramContext::~ProgramContext() = default;

Registry& ProgramContext::registry()
{
    if (!m_registry) {
        m_defaults->hive = std::make_unique<IniHive>(IniHive::defaultFileName());
        m_registry = m_defaults->hive.get();
    }
    return *m_registry;
}

Prompts& ProgramContext::prompts()
{
    if (!m_prompts) {
        m_defaults->prompts = std::make_unique<NoPrompts>(*this);
        m_prompts = m_defaults->prompts.get();
    }
    return *m_prompts;
}

InstanceGuard& ProgramContext::instanceGuard()
{
    if (!m_instanceGuard) {
        m_defaults->guard = std::make_unique<InstanceGuard>(appExeName());
        m_instanceGuard = m_defaults->guard.get();
    }
    return *m_instanceGuard;
}

QDateTime ProgramContext::now() const
{
    return m_clock ? m_clock() : QDateTime::currentDateTime();
}

void ProgramContext::setErrorListener(std::function<void(const QString& description)> listener)
{
    m_errorListener = std::move(listener);
}

} // namespace brindle
