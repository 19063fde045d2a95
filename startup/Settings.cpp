#include "Settings.h"

#include "DateTexts.h"
#include "ErrorLog.h"
#include "ProgramContext.h"
#include "RunSettings.h"
#include "TextHelpers.h"
#include "platform/PlatformError.h"
#include "registry/Registry.h"

#include <QLocale>
#include <cmath>
#include <limits>

namespace brindle::MMain {

namespace {

void checkRoot(qint32 lRootKey)
{
    if (lRootKey != HKEY_LOCAL_MACHINE) {
        throw PlatformError(5, QStringLiteral("Invalid procedure call or argument"));
    }
}

QString brindleValue(ProgramContext& context, const QString& name)
{
    return GetRegValue(context, HKEY_LOCAL_MACHINE, brindleKey(), name);
}

void saveValue(ProgramContext& context, const QString& name, const QString& data)
{
    UpdateRegValue(context, HKEY_LOCAL_MACHINE, brindleKey(), name, data);
}

} // namespace

QString brindleKey()
{
    return QStringLiteral("Software\\VEXO\\VEXO Brindle");
}

QString helpKey()
{
    return brindleKey() + QStringLiteral("\\Help");
}

QString GetRegValue(ProgramContext& context, qint32 lRootKey, const QString& sKeyPath,
                    const QString& sValueName)
{
    try {
        checkRoot(lRootKey);
        // The settings are stored in plain text: the cipher is never on here.
        return trimBlanks(context.registry().readValue(sKeyPath, sValueName));
    } catch (const std::exception& error) {
        context.logError(QStringLiteral("MMain.GetRegValue"), error);
        return {};
    }
}

bool UpdateRegValue(ProgramContext& context, qint32 lRootKey, const QString& sKeyPath,
                    const QString& sValueName, const QString& sValueData)
{
    try {
        checkRoot(lRootKey);
        // The settings are stored in plain text: the cipher is never on here.
        if (!context.registry().writeValue(sKeyPath, sValueName, sValueData)) {
            throw PlatformError(ErrorNumber::PermissionDenied,
                                QStringLiteral("The registry could not be written"));
        }
        return true;
    } catch (const std::exception& error) {
        context.WriteLog(
            context.errorLine(QStringLiteral("MMain.UpdateRegValue"), error) +
            QStringLiteral(" ValueName :%1 ValueData :%2:").arg(sValueName, sValueData));
        return false;
    }
}

qint32 String2Long(const QString& s, qint32 lDefault)
{
    if (s.isEmpty()) {
        return 0;
    }
    const QString text = trimBlanks(s);
    bool ok = false;
    const qint32 whole = text.toInt(&ok);
    if (ok) {
        return whole;
    }
    const double number = QLocale::c().toDouble(text, &ok);
    if (!ok || !std::isfinite(number)) {
        return lDefault;
    }
    const double rounded = std::nearbyint(number); // half to even, like the conversion it replaces
    if (rounded < std::numeric_limits<qint32>::min() ||
        rounded > std::numeric_limits<qint32>::max()) {
        return lDefault;
    }
    return qint32(rounded);
}

bool String2Boolean(const QString& s)
{
    return s.toUpper() != QLatin1String("FALSE");
}

bool LoadGlobalSettings(ProgramContext& context, RunSettings& settings)
{
    context.gbEncryptionActive = false;
    settings.glRulesFilter = String2Long(brindleValue(context, QStringLiteral("RulesFilter")), 3);
    settings.glDisableOutlookFolders =
        String2Long(brindleValue(context, QStringLiteral("DisableOutlookFolders")), 0);
    settings.glTransferInactives =
        String2Long(brindleValue(context, QStringLiteral("TransferInactives")), 0);
    settings.glCustomField1 = String2Long(brindleValue(context, QStringLiteral("CustomField1")), 1);
    settings.glCustomField2 = String2Long(brindleValue(context, QStringLiteral("CustomField2")), 1);
    settings.glCustomField3 = String2Long(brindleValue(context, QStringLiteral("CustomField3")), 1);
    settings.gbShowOutlookWarning =
        String2Boolean(brindleValue(context, QStringLiteral("ShowOutlookWarning")));
    settings.gbShowBackupWarning =
        String2Boolean(brindleValue(context, QStringLiteral("ShowBackupWarning")));
    settings.gbSuppressReport =
        String2Boolean(brindleValue(context, QStringLiteral("SuppressReport")));
    return true;
}

void SaveRegistrySettings(ProgramContext& context, const RunSettings& settings)
{
    context.gbEncryptionActive = false;
    saveValue(context, QStringLiteral("LastConnectedDate"), generalDate(context.now()));
    saveValue(context, QStringLiteral("RulesFilter"), QString::number(settings.glRulesFilter));
    saveValue(context, QStringLiteral("DisableOutlookFolders"),
              QString::number(settings.glDisableOutlookFolders));
    saveValue(context, QStringLiteral("TransferInactives"),
              QString::number(settings.glTransferInactives));
    saveValue(context, QStringLiteral("CustomField1"), QString::number(settings.glCustomField1));
    saveValue(context, QStringLiteral("CustomField2"), QString::number(settings.glCustomField2));
    saveValue(context, QStringLiteral("CustomField3"), QString::number(settings.glCustomField3));
    saveValue(context, QStringLiteral("ShowOutlookWarning"),
              booleanText(settings.gbShowOutlookWarning));
    saveValue(context, QStringLiteral("ShowBackupWarning"),
              booleanText(settings.gbShowBackupWarning));
}

} // namespace brindle::MMain
