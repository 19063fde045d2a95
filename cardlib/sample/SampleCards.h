#pragma once

#include "cardlib/Card.h"

#include <QSet>
#include <random>

namespace TarvoCards {

// Makes plausible cards from a seed: the same seed, the same cards.
class SampleCards
{
public:
    SampleCards(quint32 seed, int countryCode);

    // A new card of the type, its names and identification not used before.
    CImportCard next(const QString& typeCode);
    // A type code in a realistic mix: mostly customers, then suppliers.
    QString nextType();
    QByteArray bytes(int count);

private:
    int pick(int count) { return int(m_rng() % quint32(count)); }
    bool chance(int percent) { return pick(100) < percent; }
    template <size_t N> QString any(const char* const (&words)[N])
    {
        return QString::fromUtf8(words[pick(int(N))]);
    }

    void name(CImportCard& card, bool individual);
    QString uniqueName(const QString& key, QString name);
    void describe(CImportCard& card);
    CAddress address(int location, const CImportCard& card);
    QString date();

    std::mt19937 m_rng;
    bool m_unitedStates;
    int m_counter = 0;
    QSet<QString> m_usedNames;
};

} // namespace TarvoCards
