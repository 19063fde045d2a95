#include "Errors.h"

#include <cerrno>
#include <cstring>

namespace contacts {

void raise(qint64 number, const QString& description)
{
    throw brindle::PlatformError(number, description);
}

void raiseSystemError(int error, const QString& action, const QString& path)
{
    const QString reason = QString::fromLocal8Bit(std::strerror(error));
    if (error == EACCES || error == EPERM) {
        raise(brindle::ErrorNumber::PermissionDenied,
              QStringLiteral("Permission denied: cannot %1 %2").arg(action, path));
    }
    raise(brindle::ErrorNumber::Unspecified,
          QStringLiteral("Cannot %1 %2: %3").arg(action, path, reason));
}

void raiseNoSuchMember(const QString& object, const QString& member)
{
    raise(brindle::ErrorNumber::NoSuchMember,
          QStringLiteral("Object doesn't support this property or method: %1.%2")
              .arg(object, member));
}

} // namespace contacts
