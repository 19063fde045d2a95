#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

namespace brindle::MMain {

// The cipher of the log: only works while this is set. WriteLog sets it
// around its file write; every settings routine clears it first.
inline bool gbEncryptionActive = false;

// Appends one enciphered line to the log in the program folder when the
// registry's LogFile switch is "TRUE". Never fails to its caller.
void WriteLog(const QString& sMessage);

// A positive shift enciphers, a negative one deciphers, 0 is the bare
// exclusive-or. Works on bytes; codes wrap within one byte.
QByteArray EncryptDecrypt(const QByteArray& text, bool bFirstKey, qint32 lShift);
// The same over text whose characters stand for single bytes.
QString EncryptDecrypt(const QString& text, bool bFirstKey, qint32 lShift);

// Format(Now, "dd/mmm/yyyy HH:NN:SS").
QString logTimeStamp();

// The one error-line format of every trap: time stamp, a blank,
// "VEXOBrindle.", source ("Module.Procedure"), " Error : ", number,
// " : ", description.
QString errorLine(const QString& source, qint64 number, const QString& description);
// The same for a caught exception: a PlatformError with its own number,
// anything else as an unspecified failure.
QString errorLine(const QString& source, const std::exception& error);
void logError(const QString& source, qint64 number, const QString& description);
void logError(const QString& source, const std::exception& error);

// The log file, App.Path & "/TarvoLogFile.txt".
QString logFilePath();

} // namespace brindle::MMain
