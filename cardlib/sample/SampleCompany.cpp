#include "SampleCompany.h"

#include "SampleCards.h"
#include "cardlib/Collections.h"
#include "cardlib/CompanyFile.h"
#include "cardlib/Connection.h"

#include <QFile>
#include <filesystem>

namespace TarvoCards {

namespace {

using brindle::PlatformError;

void importAll(CConnection& connection, SampleCards& cards, int count)
{
    CCustomerColl customers;
    CSupplierColl suppliers;
    CEmployeeColl employees;
    CPersonalColl personal;
    CTypeColl* byType[] = {&customers, &suppliers, &employees, &personal};
    for (int i = 0; i < count; ++i) {
        const QString type = cards.nextType();
        for (CTypeColl* collection : byType) {
            if (collection->cardTypeId() == type) {
                collection->append(cards.next(type));
            }
        }
    }
    for (CTypeColl* collection : byType) {
        if (!collection->Import()) {
            throw connection.LastError();
        }
    }
}

void fill(const QString& path, const SampleOptions& options)
{
    SampleCards cards(options.seed, options.countryCode);
    NewCompanyFile newFile{
        options.countryCode, QStringLiteral("Sample Company %1").arg(options.seed), {}};
    if (!options.password.isEmpty()) {
        newFile.users << CompanyUser{sampleUserName, options.password, cards.bytes(16)};
    }
    createCompanyFile(path, newFile);
    CConnection connection;
    connection.Settings().DataFile = path;
    connection.Settings().Username = sampleUserName;
    connection.Settings().Password = options.password;
    if (!connection.Connect()) {
        throw connection.LastError();
    }
    importAll(connection, cards, options.cards);
    connection.Disconnect();
}

} // namespace

void writeSampleCompany(const QString& path, const SampleOptions& options, bool overwrite)
{
    if (!overwrite && QFile::exists(path)) {
        throw PlatformError(brindle::ErrorNumber::PermissionDenied,
                            QStringLiteral("%1 exists already; --force replaces it").arg(path));
    }
    const QString part = path + QStringLiteral(".part");
    QFile::remove(part);
    try {
        fill(part, options);
        std::error_code error;
        if (overwrite) {
            std::filesystem::rename(part.toStdString(), path.toStdString(), error);
        } else if (!QFile::rename(part, path)) {
            error = std::make_error_code(std::errc::file_exists);
        }
        if (error) {
            throw PlatformError(brindle::ErrorNumber::PermissionDenied,
                                QStringLiteral("Cannot write %1: %2")
                                    .arg(path, QString::fromStdString(error.message())));
        }
    } catch (const PlatformError&) {
        QFile::remove(part);
        throw;
    }
}

} // namespace TarvoCards
