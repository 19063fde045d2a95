#pragma once

#include <QFile>
#include <QString>

namespace brindle {

// Opens path for reading when it is a regular file or a link to one. A
// folder, FIFO, socket or device is refused without blocking on it or
// reading from it; problem then says why, naming the path.
bool openRegularFile(QFile& file, const QString& path, QString* problem);

} // namespace brindle
