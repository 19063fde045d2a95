#pragma once

#include "SampleRandom.h"
#include "cardlib/Card.h"

#include <QHash>

namespace brindle::samples {

// Makes plausible cards: individuals and companies, inactive cards, two to
// five addresses, notes, identifiers, custom fields, names with apostrophes,
// "&" and letters beyond ASCII.
class CardGenerator
{
public:
    CardGenerator(SampleRandom& random, int countryCode);

    // A new card of the type; its names and identification are not used before.
    TarvoCards::CImportCard next(CardType type);

private:
    void name(TarvoCards::CImportCard& card, bool individual);
    QString uniqueName(const QString& key, const QString& name);
    void describe(TarvoCards::CImportCard& card);
    TarvoCards::CAddress address(int location, const TarvoCards::CImportCard& card);
    QString date();

    SampleRandom& m_random;
    bool m_unitedStates;
    QString m_supplierWord;
    int m_counter = 0;
    QHash<QString, int> m_nameUses;
};

} // namespace brindle::samples
