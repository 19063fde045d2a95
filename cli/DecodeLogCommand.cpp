#include "Commands.h"
#include "platform/RegularFile.h"
#include "startup/ErrorLog.h"

namespace brindle::cli {

namespace {

// Control characters (C0, DEL, C1) as \xHH, so no logged text can drive
// the terminal.
QString withControlsEscaped(const QString& text)
{
    QString shown;
    shown.reserve(text.size());
    for (const QChar c : text) {
        if (c.category() == QChar::Other_Control) {
            shown += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        } else {
            shown += c;
        }
    }
    return shown;
}

// Prints every line; false when a line was too long to read.
bool decodeLines(QFile& file, QTextStream& out, QTextStream& err)
{
    MMain::LogReader reader(file);
    bool whole = true;
    QByteArray line;
    for (auto read = reader.next(line); read != MMain::LogReader::Result::End;
         read = reader.next(line)) {
        if (read == MMain::LogReader::Result::TooLong) {
            err << "brindle-cli decode-log: line " << reader.lineNumber() << " is longer than "
                << reader.lineLimit() << " bytes; skipped\n";
            whole = false;
            continue;
        }
        out << withControlsEscaped(MMain::decipherLogLine(line)) << '\n';
    }
    return whole;
}

} // namespace

int decodeLogCommand(const QStringList& args, QTextStream& out, QTextStream& err)
{
    if (args.size() > 1) {
        err << "brindle-cli decode-log: at most one file\n";
        return UsageError;
    }
    if (!args.isEmpty() && args.first().isEmpty()) {
        err << "brindle-cli decode-log: the file name is empty\n";
        return UsageError;
    }
    const QString fileName = args.isEmpty() ? MMain::logFilePath() : args.first();
    QFile file;
    QString problem;
    if (!openRegularFile(file, fileName, &problem)) {
        err << "brindle-cli decode-log: " << problem << '\n';
        return 1;
    }
    const bool whole = decodeLines(file, out, err);
    if (file.error() != QFileDevice::NoError) {
        err << "brindle-cli decode-log: cannot read " << fileName << ": " << file.errorString()
            << '\n';
        return 1;
    }
    return whole ? 0 : 1;
}

} // namespace brindle::cli
