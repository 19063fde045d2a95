#pragma once

#include <QHash>
#include <QSet>
#include <QStringList>
#include <QTextStream>
#include <span>

namespace brindle::cli {

// An option a command takes: "--cards" with the name of its value ("N"), or
// a flag such as "--force" (no value).
struct Option
{
    const char* name;
    const char* value = nullptr;
};

// A command's arguments read by the rules every command shares: options
// stand anywhere and at most once; an option that takes a value takes the
// next argument whatever it is ("--password --help" gives the password
// "--help"); "--" ends the options; "--help" anywhere else asks for help;
// every other argument is an operand.
class Arguments
{
public:
    Arguments(const QStringList& args, std::span<const Option> options);

    bool helpWanted() const { return m_help; }
    // The first problem met, empty when there was none.
    const QString& problem() const { return m_problem; }
    // Records a problem the command found in what it was given.
    void fail(const QString& problem);

    qsizetype operandCount() const { return m_operands.size(); }
    // The one operand; a problem when it is missing or not alone.
    QString operand(const QString& what);
    const QStringList& operands() const { return m_operands; }
    // The one operand, a path; a problem when it is missing, empty or not alone.
    QString path(const QString& what);
    bool flag(const char* name) const { return m_flags.contains(QLatin1String(name)); }
    QString text(const char* name, const QString& fallback = {}) const;
    // The option's whole number, between min and max; fallback when not given.
    qint64 number(const char* name, qint64 fallback, qint64 min, qint64 max);
    // The place of the option's value among words; fallback when not given.
    int choice(const char* name, const QStringList& words, int fallback);

private:
    void readOption(const Option& option, const QStringList& args, qsizetype& i);

    QHash<QString, QString> m_values;
    QSet<QString> m_flags;
    QStringList m_operands;
    bool m_help = false;
    QString m_problem;
};

// " [--cards N] [--force]": the options as the usage line shows them.
QString usageOf(std::span<const Option> options);

// Prints "brindle-cli <command>: <text>" on err and returns exitCode.
int complain(QTextStream& err, const char* command, const QString& text, int exitCode);

} // namespace brindle::cli
