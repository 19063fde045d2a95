#include "Commands.h"
#include "startup/ErrorLog.h"

#include <QFile>

namespace brindle::cli {

int decodeLogCommand(const QStringList& args, QTextStream& out, QTextStream& err)
{
    if (args.size() > 1) {
        err << "brindle-cli decode-log: at most one file\n";
        return UsageError;
    }
    const QString fileName = args.isEmpty() ? MMain::logFilePath() : args.first();
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        err << "brindle-cli decode-log: cannot read " << fileName << ": " << file.errorString()
            << '\n';
        return 1;
    }
    // Lines end in CR LF; a lone CR or LF can be part of an enciphered line.
    const QByteArray text = file.readAll();
    MMain::gbEncryptionActive = true;
    for (qsizetype start = 0; start < text.size();) {
        qsizetype end = text.indexOf("\r\n", start);
        if (end < 0) {
            end = text.size();
        }
        out << QString::fromUtf8(MMain::EncryptDecrypt(text.mid(start, end - start), false, -32))
            << '\n';
        start = end + 2;
    }
    MMain::gbEncryptionActive = false;
    return 0;
}

} // namespace brindle::cli
