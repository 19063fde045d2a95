#include "DriverInfo.h"

#include "platform/PlatformError.h"

#include <QString>
#include <cstdlib>

namespace TarvoCards {

CDriverInfo::CDriverInfo()
    : m_version(libraryMajor * 1000000.0 + libraryMinor * 1000.0 + libraryPatch)
{
    const char* overridden = std::getenv("BRINDLE_DRIVER_VERSION");
    if (!overridden || !*overridden) {
        return;
    }
    const QString value = QString::fromLocal8Bit(overridden).trimmed();
    if (value.compare(QLatin1String("missing"), Qt::CaseInsensitive) == 0) {
        throw brindle::PlatformError(driverMissingError,
                                     QStringLiteral("The card library driver is not installed"));
    }
    bool isNumber = false;
    const double version = value.toDouble(&isNumber);
    if (!isNumber || version < 0) {
        throw brindle::PlatformError(
            driverMissingError,
            QStringLiteral("BRINDLE_DRIVER_VERSION is neither \"missing\" nor a version number: %1")
                .arg(value));
    }
    m_version = version;
}

} // namespace TarvoCards
