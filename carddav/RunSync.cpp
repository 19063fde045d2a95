#include "RunSync.h"

#include "Vdirsyncer.h"
#include "run/RunProgress.h"
#include "startup/MMain.h"
#include "startup/ProgramContext.h"
#include "startup/Prompts.h"
#include "startup/Settings.h"

namespace brindle::carddav {

RunSync::RunSync(ProgramContext& context, RunProgress& progress, SyncWish wish)
    : m_prompts(context.prompts()), m_progress(progress), m_wish(std::move(wish))
{
    if (!m_wish.asked) {
        m_wish.asked = MMain::GetRegValue(context, MMain::HKEY_LOCAL_MACHINE, MMain::brindleKey(),
                                          QStringLiteral("CardDavSync")) == u"1";
    }
}

bool RunSync::before(qint32 lTransferAction)
{
    return !*m_wish.asked || lTransferAction != 1 || sync();
}

bool RunSync::after(qint32 lTransferAction, bool completed)
{
    return !*m_wish.asked || lTransferAction != 2 || !completed || sync();
}

bool RunSync::sync()
{
    Vdirsyncer vdirsyncer(Places::standard(), [this](const QString& caption, double percent) {
        m_progress.setCaption(caption);
        m_progress.setValue(percent);
        m_progress.pumpMessages();
    });
    const SyncResult result = vdirsyncer.sync();
    if (!result.ok()) {
        m_prompts.messageBox(
            QStringLiteral("The contacts were not synced: %1.").arg(result.problem),
            Prompts::Buttons::Ok, Prompts::Icon::Critical, QStringLiteral("CardDAV sync"));
        return false;
    }
    const QString moved = QStringLiteral("Synced with the CardDAV server, ") + movedText(result);
    if (m_wish.report) {
        m_wish.report(moved);
    } else {
        m_progress.setCaption(moved);
    }
    return true;
}

} // namespace brindle::carddav
