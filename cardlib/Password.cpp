#include "Password.h"

#include <QMessageAuthenticationCode>

namespace TarvoCards {

QByteArray passwordHash(const QString& password, const QByteArray& salt, int rounds)
{
    QMessageAuthenticationCode mac(QCryptographicHash::Sha256, password.toUtf8());
    mac.addData(salt + QByteArray("\0\0\0\1", 4)); // first and only block
    QByteArray block = mac.result();
    QByteArray derived = block;
    for (int round = 1; round < rounds; ++round) {
        mac.reset();
        mac.addData(block);
        block = mac.result();
        for (qsizetype i = 0; i < derived.size(); ++i) {
            derived[i] = char(derived[i] ^ block[i]);
        }
    }
    return derived;
}

bool passwordMatches(const QString& password, const QByteArray& salt, int rounds,
                     const QByteArray& expectedHash)
{
    const QByteArray actual = passwordHash(password, salt, rounds);
    if (rounds < 1 || actual.size() != expectedHash.size()) {
        return false;
    }
    unsigned char difference = 0;
    for (qsizetype i = 0; i < actual.size(); ++i) {
        difference |= static_cast<unsigned char>(actual[i] ^ expectedHash[i]);
    }
    return difference == 0;
}

} // namespace TarvoCards
