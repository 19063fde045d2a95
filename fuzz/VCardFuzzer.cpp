// Feeds arbitrary bytes to the vCard reader and, when they parse, reads every
// contact property and writes the card back, which must parse again.
#include "contactstore/ContactCard.h"
#include "contactstore/VCard.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace contacts;
    const VCard::ParseResult parsed =
        VCard::parse(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    if (!parsed.card) {
        return 0;
    }
    ContactCard contact(*parsed.card);
    for (const QString& name : ContactCard::fieldNames()) {
        (void)contact.get(name);
    }
    contact.set(QStringLiteral("HomeAddressCity"), QStringLiteral("Sydney, NSW; \\ 2000"));
    contact.prepareForSave(QStringLiteral("fuzz"));
    const QByteArray written = contact.card().serialize();
    if (!VCard::parse(written).card) {
        std::abort();
    }
    return 0;
}
