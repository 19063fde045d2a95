#include "ErrorLog.h"

#include "DateTexts.h"
#include "ProgramContext.h"
#include "Settings.h"
#include "TextHelpers.h"
#include "platform/AppInfo.h"
#include "platform/PlatformError.h"

#include <QFile>
#include <QScopeGuard>

namespace brindle::MMain {

namespace {

// Two fixed keys of 58 letters; the log uses the second.
constexpr char firstKey[] = "TCYIUKRZLMXHAOUJBOPUKUUEXMWZQWVJMGGFCWIEMVULQAPAXUHFSIQQQY";
constexpr char secondKey[] = "RGJWXUQVCGPCRYCXWDNDJPMOMXFAAESABYZIGDPKODLDXBEVBDTEAOOUYH";
constexpr int keyLength = sizeof(firstKey) - 1;
static_assert(keyLength == 58 && sizeof(secondKey) - 1 == 58);

// A pair's bytes carry four bits each under this prefix.
constexpr quint8 pairPrefix = 0xA0;
constexpr quint8 highBitsOfAPair = 0x08; // a pair's first half is 0xA8 to 0xAF
constexpr char replacementCharacter[] = "\xEF\xBF\xBD";

// A PlatformError as it is, anything else as an unspecified failure.
PlatformError asPlatformError(const std::exception& error)
{
    if (const auto* platformError = dynamic_cast<const PlatformError*>(&error)) {
        return *platformError;
    }
    return PlatformError(ErrorNumber::Unspecified, QString::fromLocal8Bit(error.what()));
}

bool isPairByte(quint8 byte)
{
    return (byte & 0xF0) == pairPrefix;
}

void appendEnciphered(QByteArray& result, quint8 mixed, qint32 lShift)
{
    if (mixed >= 0x80) {
        result.append(char(pairPrefix | (mixed >> 4)));
        result.append(char(pairPrefix | (mixed & 0x0F)));
    } else {
        result.append(char(quint8(mixed + lShift)));
    }
}

// Deciphers the byte at text[i], or the pair starting there; i moves past
// what was read.
void appendDeciphered(QByteArray& result, const QByteArray& text, qsizetype& i, quint8 letter,
                      qint32 lShift)
{
    const quint8 byte = quint8(text[i]);
    if (byte < pairPrefix) {
        result.append(char(quint8(byte + lShift) ^ letter));
        return;
    }
    const bool wholePair = (byte & 0x0F) >= highBitsOfAPair && isPairByte(byte) &&
                           i + 1 < text.size() && isPairByte(quint8(text[i + 1]));
    if (!wholePair) {
        result.append(replacementCharacter);
        return;
    }
    const quint8 low = quint8(text[++i]);
    result.append(char(quint8(((byte & 0x0F) << 4) | (low & 0x0F)) ^ letter));
}

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
    const char* key = bFirstKey ? firstKey : secondKey;
    if (text.isEmpty() || text == " ") {
        return {};
    }
    QByteArray result;
    result.reserve(text.size());
    int keyPosition = 1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        keyPosition = keyPosition % keyLength + 1;
        const quint8 letter = quint8(key[keyPosition - 1]);
        if (lShift < 0) {
            appendDeciphered(result, text, i, letter, lShift);
        } else if (lShift > 0) {
            appendEnciphered(result, quint8(text[i]) ^ letter, lShift);
        } else {
            result.append(char(quint8(text[i]) ^ letter));
        }
    }
    return result;
}

QString decipherLogLine(const QByteArray& line)
{
    return QString::fromUtf8(EncryptDecrypt(line, false, -32));
}

LogReader::LogReader(QIODevice& device, qsizetype lineLimit)
    : m_device(device), m_lineLimit(lineLimit)
{}

LogReader::Result LogReader::next(QByteArray& line)
{
    constexpr qint64 pieceSize = 64 * 1024;
    line.clear();
    bool tooLong = false;
    bool any = false;
    char previous = 0;
    for (;;) {
        const QByteArray piece = m_device.readLine(pieceSize);
        if (piece.isEmpty()) {
            break;
        }
        any = true;
        const bool endsLine =
            piece.endsWith('\n') && (piece.size() > 1 ? piece[piece.size() - 2] : previous) == '\r';
        previous = piece.back();
        if (!tooLong) {
            line += piece;
            tooLong = line.size() > m_lineLimit + 2;
        }
        if (tooLong) {
            line.clear();
        }
        if (endsLine) {
            line.chop(tooLong ? 0 : 2);
            break;
        }
    }
    if (!any) {
        return Result::End;
    }
    ++m_lineNumber;
    return tooLong ? Result::TooLong : Result::Line;
}

QString logFilePath()
{
    return appPath() + QStringLiteral("/TarvoLogFile.txt");
}

} // namespace brindle::MMain

namespace brindle {

using namespace MMain;

void ProgramContext::WriteLog(const QString& sMessage)
{
    if (gbEncryptionActive) {
        return;
    }
    gbEncryptionActive = true;
    const auto done = qScopeGuard([this] { gbEncryptionActive = false; });
    const QString logFile =
        trimBlanks(GetRegValue(*this, HKEY_LOCAL_MACHINE, brindleKey(), QStringLiteral("LogFile")));
    if (logFile.isEmpty()) {
        UpdateRegValue(*this, HKEY_LOCAL_MACHINE, brindleKey(), QStringLiteral("LogFile"),
                       QStringLiteral("FALSE"));
        return;
    }
    if (logFile.toUpper() == QLatin1String("TRUE")) {
        appendLine(EncryptDecrypt(sMessage.toUtf8(), false, 32));
    }
}

QString ProgramContext::logTimeStamp() const
{
    return logTimeStampText(now());
}

QString ProgramContext::errorLine(const QString& source, qint64 number,
                                  const QString& description) const
{
    return QStringLiteral("%1 VEXOBrindle.%2 Error : %3 : %4")
        .arg(logTimeStamp(), source, QString::number(number), description);
}

QString ProgramContext::errorLine(const QString& source, const std::exception& error) const
{
    const PlatformError facts = asPlatformError(error);
    return errorLine(source, facts.number(), facts.description());
}

void ProgramContext::logError(const QString& source, qint64 number, const QString& description)
{
    if (m_errorListener) {
        m_errorListener(description);
    }
    WriteLog(errorLine(source, number, description));
}

void ProgramContext::logError(const QString& source, const std::exception& error)
{
    const PlatformError facts = asPlatformError(error);
    logError(source, facts.number(), facts.description());
}

} // namespace brindle
