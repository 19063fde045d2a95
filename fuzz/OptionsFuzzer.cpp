// Feeds arbitrary text to the option-string parser and checks what every
// value must be, whatever the string: no "<" in it, no blank at either
// end, part of the string as given, empty when its key is absent, and a
// switch on only for the word YES.
#include "startup/clsOptions.h"

#include <cstdlib>

namespace {

void require(bool condition)
{
    if (!condition) {
        std::abort();
    }
}

void checkValue(const QString& options, const char* key, const QString& value)
{
    require(!value.contains(u'<'));
    require(!value.startsWith(u' ') && !value.endsWith(u' '));
    require(options.contains(value));
    if (!options.contains(QLatin1String(key), Qt::CaseInsensitive)) {
        require(value.isEmpty());
    }
}

void checkSwitch(const QString& options, const char* key, bool on)
{
    const QString value = brindle::clsOptions::RetrieveValue(options, QLatin1String(key));
    checkValue(options, key, value);
    require(on == (value.compare(QLatin1String("YES"), Qt::CaseInsensitive) == 0));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString options = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    brindle::clsOptions parsed;
    require(parsed.Analyse(options));
    checkValue(options, "DATABASE", parsed.Database());
    checkValue(options, "HOST_EXE_PATH", parsed.HostExePath());
    checkValue(options, "NETWORK_PROTOCOL", parsed.NetworkProtocol());
    checkValue(options, "PASSWORD", parsed.Password());
    checkValue(options, "USERNAME", parsed.Username());
    checkSwitch(options, "CUSTOMERS", parsed.Customers());
    checkSwitch(options, "SUPPLIERS", parsed.Suppliers());
    checkSwitch(options, "PERSONAL", parsed.Personal());
    checkSwitch(options, "EMPLOYEES", parsed.Employees());
    return 0;
}
