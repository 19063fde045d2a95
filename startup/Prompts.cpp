#include "Prompts.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace brindle {

qint32 Prompts::openExisting(const QString& file, const std::function<bool(const QString&)>& open)
{
    if (!QFileInfo::exists(file)) {
        return FileNotFound;
    }
    return open(file) ? FileOpened : NoAssociation;
}

qint32 Prompts::openFile(const QString& file, const QString&)
{
    return openExisting(file, [](const QString& existing) {
        const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
        return !opener.isEmpty() && QProcess::startDetached(opener, {existing});
    });
}

} // namespace brindle
