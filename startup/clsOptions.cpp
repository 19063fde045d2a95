#include "clsOptions.h"

#include "TextHelpers.h"

namespace brindle {

namespace {

bool isYes(const QString& value)
{
    return value.toUpper() == QLatin1String("YES");
}

const char* const keys[] = {"DATABASE",  "HOST_EXE_PATH", "NETWORK_PROTOCOL",
                            "PASSWORD",  "USERNAME",      "CUSTOMERS",
                            "SUPPLIERS", "PERSONAL",      "EMPLOYEES"};

} // namespace

QStringList clsOptions::knownKeys()
{
    QStringList known;
    for (const char* key : keys) {
        known << QLatin1String(key);
    }
    return known;
}

QStringList clsOptions::unknownKeys(const QString& options)
{
    const QStringList known = knownKeys();
    QStringList unknown;
    for (const QString& item : options.split(QLatin1Char('<'), Qt::SkipEmptyParts)) {
        const QString key = item.section(QLatin1Char('='), 0, 0).trimmed();
        if (!key.isEmpty() && !known.contains(key, Qt::CaseInsensitive)) {
            unknown << key;
        }
    }
    return unknown;
}

QString clsOptions::RetrieveValue(const QString& options, const QString& key)
{
    const qsizetype found = options.indexOf(key, 0, Qt::CaseInsensitive);
    if (found < 0 || key.isEmpty()) {
        return {};
    }
    // Exactly one character after the key is skipped, whatever it is.
    QString value = options.mid(found + key.size() + 1);
    const qsizetype end = value.indexOf(QLatin1Char('<'));
    if (end >= 0) {
        value.truncate(end);
    }
    return trimBlanks(value);
}

bool clsOptions::Analyse(const QString& psOptions)
{
    setDatabase(RetrieveValue(psOptions, QStringLiteral("DATABASE")));
    setHostExePath(RetrieveValue(psOptions, QStringLiteral("HOST_EXE_PATH")));
    setNetworkProtocol(RetrieveValue(psOptions, QStringLiteral("NETWORK_PROTOCOL")));
    setPassword(RetrieveValue(psOptions, QStringLiteral("PASSWORD")));
    setUsername(RetrieveValue(psOptions, QStringLiteral("USERNAME")));
    setCustomers(isYes(RetrieveValue(psOptions, QStringLiteral("CUSTOMERS"))));
    setSuppliers(isYes(RetrieveValue(psOptions, QStringLiteral("SUPPLIERS"))));
    setPersonal(isYes(RetrieveValue(psOptions, QStringLiteral("PERSONAL"))));
    setEmployees(isYes(RetrieveValue(psOptions, QStringLiteral("EMPLOYEES"))));
    return true;
}

} // namespace brindle
