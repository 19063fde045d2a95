#include "Prompts.h"

#include <QFileInfo>

namespace brindle {

qint32 Prompts::openExisting(const QString& file, const std::function<bool(const QString&)>& open)
{
    if (!QFileInfo::exists(file)) {
        return FileNotFound;
    }
    return open(file) ? FileOpened : NoAssociation;
}

} // namespace brindle
