#pragma once

#include <QString>

namespace contacts {

struct SampleOptions
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

struct SampleSummary
{
    int contacts = 0;
    int otherItems = 0; // group cards and files that do not parse
};

// Fills a store under root with realistic contacts; the same options give the
// same files. Raises brindle::PlatformError when the store cannot be written.
SampleSummary writeSampleContacts(const QString& root, const SampleOptions& options);

} // namespace contacts
