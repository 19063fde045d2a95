#pragma once

#include <QString>

namespace brindle::samples {

// Most contacts one sample store holds.
constexpr int maxSampleContacts = 1'000'000;

struct ContactStoreOptions
{
    enum class Layout
    {
        Folders,
        Categories
    };

    int contacts = 200;
    Layout layout = Layout::Folders;
    quint32 seed = 1;
    QString supplierWord = QStringLiteral("Supplier");
};

struct ContactStoreSummary
{
    int contacts = 0;
    int otherItems = 0; // group cards and files that do not parse
};

// Fills a store under root with realistic contacts: in the card-type folders
// or all in the contacts folder with the card-type category words. The same
// options give the same files. Throws brindle::PlatformError when the store
// cannot be written.
ContactStoreSummary writeContactStore(const QString& root, const ContactStoreOptions& options);

} // namespace brindle::samples
