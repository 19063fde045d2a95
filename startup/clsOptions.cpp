#include "clsOptions.h"

#include "TextHelpers.h"

namespace brindle {

namespace {

bool isYes(const QString& value)
{
    return value.toUpper() == QLatin1String("YES");
}

} // namespace

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
