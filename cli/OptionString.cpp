#include "OptionString.h"

#include <QFile>
#include <sys/stat.h>

namespace brindle::cli {

namespace {

// An option string is one line; more than this is not one.
constexpr qint64 mostBytes = 64 * 1024;

QString firstLine(const QByteArray& bytes)
{
    QString text = QString::fromUtf8(bytes);
    const qsizetype end = text.indexOf(QLatin1Char('\n'));
    if (end >= 0) {
        text.truncate(end);
    }
    if (text.endsWith(QLatin1Char('\r'))) {
        text.chop(1);
    }
    return text;
}

// Why the file cannot give the option string, or "" when it can.
QString refusal(QFile& file)
{
    struct stat info
    {};
    if (::fstat(file.handle(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return QStringLiteral("%1 is not a regular file").arg(file.fileName());
    }
    if (info.st_mode & (S_IRGRP | S_IROTH)) {
        return QStringLiteral("%1 holds the password and other users can read it; allow only "
                              "its owner (chmod 600 %1)")
            .arg(file.fileName());
    }
    if (info.st_size > mostBytes) {
        return QStringLiteral("%1 is too long for an option string").arg(file.fileName());
    }
    return {};
}

QString fromFile(Arguments& read, const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        read.fail(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
        return {};
    }
    const QString problem = refusal(file);
    if (!problem.isEmpty()) {
        read.fail(problem);
        return {};
    }
    return firstLine(file.read(mostBytes));
}

QString fromStandardInput(Arguments& read)
{
    QFile input;
    if (!input.open(stdin, QIODevice::ReadOnly)) {
        read.fail(QStringLiteral("cannot read the option string from standard input"));
        return {};
    }
    const QByteArray bytes = input.read(mostBytes + 1);
    if (bytes.size() > mostBytes) {
        read.fail(QStringLiteral("standard input is too long for an option string"));
        return {};
    }
    return firstLine(bytes);
}

} // namespace

QString readOptionString(Arguments& read)
{
    const QString path = read.text(optionsFileOption.name);
    if (!path.isEmpty()) {
        if (read.operandCount() > 0) {
            read.fail(QStringLiteral("give the option string or --options-file, not both"));
            return {};
        }
        return fromFile(read, path);
    }
    const QString operand = read.operand(
        QStringLiteral("the option string as one argument, in quotes (\"-\" reads it from "
                       "standard input)"));
    return operand == QLatin1String("-") ? fromStandardInput(read) : operand;
}

} // namespace brindle::cli
