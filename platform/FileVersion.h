#pragma once

#include <QString>

namespace brindle {

// The file version of a Windows executable, read from the fixed part of its
// version resource: "15.2.1.3". A file that is no such executable, or
// carries no version resource, gives "".
QString fileVersion(const QString& path);

} // namespace brindle
