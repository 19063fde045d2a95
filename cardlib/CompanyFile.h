#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QList>
#include <QString>
#include <optional>

namespace TarvoCards {

struct CompanyUser
{
    QString name;
    QString password;
    QByteArray salt; // empty: a random one
    int rounds = 100000;
};

struct NewCompanyFile
{
    int countryCode = 1;
    QString companyName;
    QList<CompanyUser> users; // none: any login is accepted
    // None: the usual ones. The umask narrows them further.
    std::optional<QFileDevice::Permissions> permissions;
};

// Writes a new, empty company file. Refuses a path that exists; throws
// brindle::PlatformError on failure and leaves no file behind.
void createCompanyFile(const QString& path, const NewCompanyFile& newFile);

} // namespace TarvoCards
