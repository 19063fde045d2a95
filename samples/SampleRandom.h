#pragma once

#include "startup/CardType.h"

#include <QByteArray>
#include <QString>
#include <random>

namespace brindle::samples {

// The four card types in the order the samples make their folders and collections.
inline constexpr CardType::Id sampleCardTypes[] = {CardType::Customer, CardType::Supplier,
                                                   CardType::Employee, CardType::Personal};

// The one source of chance of the sample generators: the same seed gives
// the same picks on every platform.
class SampleRandom
{
public:
    explicit SampleRandom(quint32 seed) : m_engine(seed) {}

    // 0 to count - 1.
    int pick(int count) { return int(m_engine() % quint32(count)); }
    bool chance(int percent) { return pick(100) < percent; }
    template <size_t N> QString any(const char* const (&words)[N])
    {
        return QString::fromUtf8(words[pick(int(N))]);
    }
    QByteArray bytes(int count);
    // A card type in a realistic mix: mostly customers, then suppliers.
    CardType cardType();

private:
    std::mt19937 m_engine;
};

} // namespace brindle::samples
