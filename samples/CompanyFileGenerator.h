#pragma once

#include <QString>

namespace brindle::samples {

// Most cards one sample company file holds; the cards are written in
// batches, so memory stays small up to it.
constexpr int maxSampleCards = 1'000'000;

struct CompanyFileOptions
{
    int cards = 200;
    int countryCode = 1;
    quint32 seed = 1;
    QString password; // not empty: the file has the user sampleUserName
};

inline const QString sampleUserName = QStringLiteral("Administrator");

enum class ExistingFile
{
    Keep,    // an existing path is refused
    Replace, // a regular file (or a link to one) is replaced; anything else is refused
};

// Writes a realistic company file of the four card types. The same options
// give the same cards. The file is made in a fresh folder of its own beside
// the path and renamed into place when complete, so it appears whole or not
// at all, and nothing but that folder is ever removed. Throws
// brindle::PlatformError saying why it cannot.
void writeCompanyFile(const QString& path, const CompanyFileOptions& options,
                      ExistingFile existing);

} // namespace brindle::samples
