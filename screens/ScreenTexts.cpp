#include "ScreenTexts.h"

#include "startup/DateTexts.h"
#include "startup/ErrorLog.h"
#include "startup/Settings.h"

namespace brindle {

std::optional<QString> lastConnectedCaption(ProgramContext& context)
{
    context.gbEncryptionActive = false;
    const QString stored =
        MMain::GetRegValue(context, MMain::HKEY_LOCAL_MACHINE, MMain::brindleKey(),
                           QStringLiteral("LastConnectedDate"));
    if (stored.isEmpty()) {
        return QStringLiteral("First Time Use");
    }
    const std::optional<QDateTime> date = parseGeneralDate(stored);
    if (!date) {
        return std::nullopt;
    }
    return QStringLiteral("Last Connected: ") + captionDate(date->date());
}

QString versionLabel()
{
    return QStringLiteral("v") + QStringLiteral(BRINDLE_VERSION);
}

} // namespace brindle
