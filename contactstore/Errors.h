#pragma once

#include "platform/PlatformError.h"

namespace contacts {

[[noreturn]] void raise(qint64 number, const QString& description);
// Raises the error the store reports for a failed system call: 287 when
// permission is denied, -2147467259 otherwise.
[[noreturn]] void raiseSystemError(int error, const QString& action, const QString& path);
// Error 438, as the object model raises it for a member an object lacks.
[[noreturn]] void raiseNoSuchMember(const QString& object, const QString& member);

} // namespace contacts
