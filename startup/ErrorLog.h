#pragma once

#include "ProgramContext.h"

#include <QByteArray>
#include <QString>

class QIODevice;

namespace brindle::MMain {

// The log's character cipher over bytes: a positive shift enciphers, a
// negative one deciphers, 0 is the bare exclusive-or. A byte below 128
// becomes code XOR key letter plus the shift, as in the original format.
// A byte whose exclusive-or is 128 or more is written as two bytes of 0xA0
// to 0xAF (its high and low four bits), so no enciphered byte falls below
// 32 and a line can never hold CR or LF. Pairs are recognised for shifts
// up to 32, the log's.
QByteArray EncryptDecrypt(const QByteArray& text, bool bFirstKey, qint32 lShift);

// One line of the log file, without its CR LF, as the text that was logged.
QString decipherLogLine(const QByteArray& line);

// The log's lines one at a time, each ended by CR LF. A line longer than
// the limit is skipped, never read into memory whole.
class LogReader
{
public:
    static constexpr qsizetype defaultLineLimit = 1 << 20;

    enum class Result
    {
        Line,
        TooLong,
        End
    };

    explicit LogReader(QIODevice& device, qsizetype lineLimit = defaultLineLimit);

    // The next line without its CR LF; a last line without one counts too.
    Result next(QByteArray& line);
    // The number of the line next() returned last, from 1.
    qint64 lineNumber() const { return m_lineNumber; }
    qsizetype lineLimit() const { return m_lineLimit; }

private:
    QIODevice& m_device;
    qsizetype m_lineLimit;
    qint64 m_lineNumber = 0;
};

// The log file, App.Path & "/TarvoLogFile.txt".
QString logFilePath();

} // namespace brindle::MMain
