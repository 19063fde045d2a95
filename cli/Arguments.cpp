#include "Arguments.h"

namespace brindle::cli {

Arguments::Arguments(const QStringList& args, std::span<const Option> options)
{
    bool optionsEnded = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        if (optionsEnded || !arg.startsWith(QLatin1String("--"))) {
            m_operands << arg;
        } else if (arg == QLatin1String("--")) {
            optionsEnded = true;
        } else if (arg == QLatin1String("--help")) {
            m_help = true;
        } else {
            // "--name=value" gives the value in the same argument.
            const qsizetype equals = arg.indexOf(QLatin1Char('='));
            const QString name = equals < 0 ? arg : arg.left(equals);
            const auto known = std::find_if(options.begin(), options.end(), [&](const Option& o) {
                return name == QLatin1String(o.name);
            });
            if (known == options.end()) {
                fail(QStringLiteral("unknown option %1").arg(name));
            } else if (equals < 0) {
                readOption(*known, args, i);
            } else {
                qsizetype at = 0;
                readOption(*known, {name, arg.mid(equals + 1)}, at);
            }
        }
    }
}

void Arguments::readOption(const Option& option, const QStringList& args, qsizetype& i)
{
    const QString name = QLatin1String(option.name);
    if (m_values.contains(name) || m_flags.contains(name)) {
        fail(QStringLiteral("%1 is given twice").arg(name));
    } else if (!option.value) {
        m_flags.insert(name);
    } else if (i + 1 >= args.size()) {
        fail(QStringLiteral("%1 needs a value (%2)").arg(name, QLatin1String(option.value)));
    } else {
        m_values.insert(name, args.at(++i));
    }
}

void Arguments::fail(const QString& problem)
{
    if (m_problem.isEmpty()) {
        m_problem = problem;
    }
}

QString Arguments::operand(const QString& what)
{
    if (m_operands.isEmpty()) {
        fail(QStringLiteral("give %1").arg(what));
        return {};
    }
    if (m_operands.size() > 1) {
        fail(QStringLiteral("give only %1, not %2")
                 .arg(what, m_operands.join(QStringLiteral(", "))));
    }
    return m_operands.first();
}

QString Arguments::path(const QString& what)
{
    const QString operand = this->operand(what);
    if (m_operands.size() == 1 && operand.isEmpty()) {
        fail(QStringLiteral("the path is empty; give %1").arg(what));
    }
    return operand;
}

QString Arguments::text(const char* name, const QString& fallback) const
{
    return m_values.value(QLatin1String(name), fallback);
}

qint64 Arguments::number(const char* name, qint64 fallback, qint64 min, qint64 max)
{
    const auto given = m_values.constFind(QLatin1String(name));
    if (given == m_values.cend()) {
        return fallback;
    }
    bool ok = false;
    const qint64 value = given->toLongLong(&ok);
    if (!ok || value < min || value > max) {
        fail(QStringLiteral("%1 takes a whole number from %2 to %3, not \"%4\"")
                 .arg(QLatin1String(name))
                 .arg(min)
                 .arg(max)
                 .arg(*given));
        return fallback;
    }
    return value;
}

int Arguments::choice(const char* name, const QStringList& words, int fallback)
{
    const auto given = m_values.constFind(QLatin1String(name));
    if (given == m_values.cend()) {
        return fallback;
    }
    const int index = int(words.indexOf(*given));
    if (index < 0) {
        fail(QStringLiteral("%1 takes %2, not \"%3\"")
                 .arg(QLatin1String(name), words.join(QLatin1Char('|')), *given));
        return fallback;
    }
    return index;
}

QString usageOf(std::span<const Option> options)
{
    QString usage;
    for (const Option& option : options) {
        usage += QStringLiteral(" [%1%2]").arg(
            QLatin1String(option.name),
            option.value ? QLatin1Char(' ') + QLatin1String(option.value) : QString());
    }
    return usage;
}

int complain(QTextStream& err, const char* command, const QString& text, int exitCode)
{
    err << "brindle-cli " << command << ": " << text << '\n';
    return exitCode;
}

} // namespace brindle::cli
