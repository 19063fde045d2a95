#pragma once

#include <QString>

namespace TarvoCards {

struct SampleOptions
{
    int cards = 200;
    int countryCode = 1;
    quint32 seed = 1;
    QString password; // not empty: the file has the user sampleUserName
};

inline const QString sampleUserName = QStringLiteral("Administrator");

// Writes a realistic company file of the four card types. The same options
// give the same cards. Refuses an existing path unless overwrite is set; the
// file appears complete or not at all. Throws brindle::PlatformError.
void writeSampleCompany(const QString& path, const SampleOptions& options, bool overwrite);

} // namespace TarvoCards
