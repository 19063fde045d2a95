#include "Settings.h"

#include "DateTexts.h"
#include "ErrorLog.h"
#include "MMain.h"
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

QString brindleValue(const QString& name)
{
    return GetRegValue(HKEY_LOCAL_MACHINE, brindleKey(), name);
}

void saveValue(const QString& name, const QString& data)
{
    UpdateRegValue(HKEY_LOCAL_MACHINE, brindleKey(), name, data);
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

QString GetRegValue(qint32 lRootKey, const QString& sKeyPath, const QString& sValueName)
{
    try {
        checkRoot(lRootKey);
        // The settings are stored in plain text: the cipher is never on here.
        return trimBlanks(registry().readValue(sKeyPath, sValueName));
    } catch (const std::exception& error) {
        logError(QStringLiteral("MMain.GetRegValue"), error);
        return {};
    }
}

bool UpdateRegValue(qint32 lRootKey, const QString& sKeyPath, const QString& sValueName,
                    const QString& sValueData)
{
    try {
        checkRoot(lRootKey);
        // The settings are stored in plain text: the cipher is never on here.
        if (!registry().writeValue(sKeyPath, sValueName, sValueData)) {
            throw PlatformError(ErrorNumber::PermissionDenied,
                                QStringLiteral("The registry could not be written"));
        }
        return true;
    } catch (const std::exception& error) {
        WriteLog(errorLine(QStringLiteral("MMain.UpdateRegValue"), error) +
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

bool LoadGlobalSettings()
{
    gbEncryptionActive = false;
    glRulesFilter = String2Long(brindleValue(QStringLiteral("RulesFilter")), 3);
    glDisableOutlookFolders = String2Long(brindleValue(QStringLiteral("DisableOutlookFolders")), 0);
    glTransferInactives = String2Long(brindleValue(QStringLiteral("TransferInactives")), 0);
    glCustomField1 = String2Long(brindleValue(QStringLiteral("CustomField1")), 1);
    glCustomField2 = String2Long(brindleValue(QStringLiteral("CustomField2")), 1);
    glCustomField3 = String2Long(brindleValue(QStringLiteral("CustomField3")), 1);
    gbShowOutlookWarning = String2Boolean(brindleValue(QStringLiteral("ShowOutlookWarning")));
    gbShowBackupWarning = String2Boolean(brindleValue(QStringLiteral("ShowBackupWarning")));
    gbSuppressReport = String2Boolean(brindleValue(QStringLiteral("SuppressReport")));
    return true;
}

void SaveRegistrySettings()
{
    gbEncryptionActive = false;
    saveValue(QStringLiteral("LastConnectedDate"), generalDate(now()));
    saveValue(QStringLiteral("RulesFilter"), QString::number(glRulesFilter));
    saveValue(QStringLiteral("DisableOutlookFolders"), QString::number(glDisableOutlookFolders));
    saveValue(QStringLiteral("TransferInactives"), QString::number(glTransferInactives));
    saveValue(QStringLiteral("CustomField1"), QString::number(glCustomField1));
    saveValue(QStringLiteral("CustomField2"), QString::number(glCustomField2));
    saveValue(QStringLiteral("CustomField3"), QString::number(glCustomField3));
    saveValue(QStringLiteral("ShowOutlookWarning"), booleanText(gbShowOutlookWarning));
    saveValue(QStringLiteral("ShowBackupWarning"), booleanText(gbShowBackupWarning));
}

} // namespace brindle::MMain
