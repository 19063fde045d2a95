#include "SampleRandom.h"

namespace brindle::samples {

QByteArray SampleRandom::bytes(int count)
{
    QByteArray data;
    for (int i = 0; i < count; ++i) {
        data += char(pick(256));
    }
    return data;
}

CardType SampleRandom::cardType()
{
    const int roll = pick(100);
    return roll < 45   ? CardType::Customer
           : roll < 70 ? CardType::Supplier
           : roll < 85 ? CardType::Employee
                       : CardType::Personal;
}

} // namespace brindle::samples
