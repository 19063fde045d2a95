// Feeds arbitrary text to the Find filter parser; a filter it reads is matched
// against a contact's values, and one it cannot read must raise &H80020009.
#include "contactstore/Filter.h"
#include "platform/PlatformError.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace contacts;
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    try {
        const Filter filter = Filter::parse(text);
        QStringList values;
        for (qsizetype i = 0; i < indexedFields().size(); ++i) {
            values += indexKey(text.mid(i, 3));
        }
        (void)filter.matches(values);
    } catch (const brindle::PlatformError& error) {
        if (error.number() != brindle::ErrorNumber::CannotParse) {
            std::abort();
        }
    }
    return 0;
}
