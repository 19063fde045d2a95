#include "ContactSide.h"

#include "contactstore/Folder.h"
#include "platform/PlatformError.h"
#include "startup/ErrorLog.h"
#include "startup/RunSettings.h"

#include <QRegularExpression>

namespace brindle {

void logTrace(ProgramContext& context, const char* procedure, const QString& text)
{
    context.WriteLog(context.logTimeStamp() + QStringLiteral(" VEXOBrindle.FProcess.") +
                     QLatin1String(procedure) + QLatin1Char(' ') + text);
}

bool usesTypeFolders(const RunSettings& settings)
{
    return settings.glDisableOutlookFolders != 1;
}

qint64 errorNumberOf(const std::exception& error)
{
    const auto* platformError = dynamic_cast<const PlatformError*>(&error);
    return platformError ? platformError->number() : ErrorNumber::Unspecified;
}

std::shared_ptr<contacts::Folder> subFolder(contacts::Folder& parent, const QString& name)
{
    try {
        return parent.Folders().Item(name);
    } catch (const PlatformError& error) {
        if (error.number() == ErrorNumber::NotFound) {
            return nullptr;
        }
        throw;
    }
}

double leadingNumber(const QString& text)
{
    static const QRegularExpression number(QStringLiteral("^\\s*[-+]?(\\d+(\\.\\d*)?|\\.\\d+)"));
    const QRegularExpressionMatch match = number.match(text);
    return match.hasMatch() ? match.captured().trimmed().toDouble() : 0;
}

} // namespace brindle
