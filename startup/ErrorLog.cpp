#include "ErrorLog.h"

#include "DateTexts.h"
#include "MMain.h"
#include "Settings.h"
#include "TextHelpers.h"
#include "platform/AppInfo.h"
#include "platform/PlatformError.h"

#include <QFile>
#include <QLocale>
#include <QScopeGuard>

namespace brindle::MMain {

namespace {

// Two fixed keys of 58 letters; the log uses the second.
constexpr char firstKey[] = "TCYIUKRZLMXHAOUJBOPUKUUEXMWZQWVJMGGFCWIEMVULQAPAXUHFSIQQQY";
constexpr char secondKey[] = "RGJWXUQVCGPCRYCXWDNDJPMOMXFAAESABYZIGDPKODLDXBEVBDTEAOOUYH";
constexpr int keyLength = sizeof(firstKey) - 1;
static_assert(keyLength == 58 && sizeof(secondKey) - 1 == 58);

void appendLine(const QByteArray& line)
{
    QFile file(logFilePath());
    if (file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        file.write(line + "\r\n");
    }
}

} // namespace

QByteArray EncryptDecrypt(const QByteArray& text, bool bFirstKey, qint32 lShift)
{
    if (!gbEncryptionActive) {
        return text;
    }
    const char* key = bFirstKey ? firstKey : secondKey;
    if (text.isEmpty() || text == " ") {
        return {};
    }
    QByteArray result(text.size(), Qt::Uninitialized);
    int keyPosition = 1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        keyPosition = keyPosition % keyLength + 1;
        quint8 code = quint8(text[i]);
        if (lShift < 0) {
            code = quint8(code + lShift);
        }
        code ^= quint8(key[keyPosition - 1]);
        if (lShift > 0) {
            code = quint8(code + lShift); // wraps within the byte, so the line survives
        }
        result[i] = char(code);
    }
    return result;
}

QString EncryptDecrypt(const QString& text, bool bFirstKey, qint32 lShift)
{
    if (!gbEncryptionActive) {
        return text;
    }
    return QString::fromLatin1(EncryptDecrypt(text.toLatin1(), bFirstKey, lShift));
}

QString logFilePath()
{
    return appPath() + QStringLiteral("/TarvoLogFile.txt");
}

void WriteLog(const QString& sMessage)
{
    // A failing registry write logs through here; never recurse into it.
    static bool writing = false;
    if (writing) {
        return;
    }
    writing = true;
    const auto done = qScopeGuard([] { writing = false; });
    const QString logFile =
        trimBlanks(GetRegValue(HKEY_LOCAL_MACHINE, brindleKey(), QStringLiteral("LogFile")));
    if (logFile.isEmpty()) {
        UpdateRegValue(HKEY_LOCAL_MACHINE, brindleKey(), QStringLiteral("LogFile"),
                       QStringLiteral("FALSE"));
        return;
    }
    if (logFile.toUpper() != QLatin1String("TRUE")) {
        return;
    }
    gbEncryptionActive = true;
    const QByteArray line = EncryptDecrypt(sMessage.toUtf8(), false, 32);
    gbEncryptionActive = false;
    appendLine(line);
}

QString logTimeStamp()
{
    return logTimeStampText(now());
}

QString errorLine(const QString& source, qint64 number, const QString& description)
{
    return QStringLiteral("%1 VEXOBrindle.%2 Error : %3 : %4")
        .arg(logTimeStamp(), source, QString::number(number), description);
}

void logError(const QString& source, qint64 number, const QString& description)
{
    WriteLog(errorLine(source, number, description));
}

QString errorLine(const QString& source, const std::exception& error)
{
    if (const auto* platformError = dynamic_cast<const PlatformError*>(&error)) {
        return errorLine(source, platformError->number(), platformError->description());
    }
    return errorLine(source, ErrorNumber::Unspecified, QString::fromLocal8Bit(error.what()));
}

void logError(const QString& source, const std::exception& error)
{
    WriteLog(errorLine(source, error));
}

} // namespace brindle::MMain
