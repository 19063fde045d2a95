#pragma once

#include <QByteArray>
#include <QString>

namespace TarvoCards {

// Most PBKDF2 rounds a company file may ask for: more would stall a login
// for minutes, so a file that asks for more is taken as damaged.
constexpr int maxPasswordRounds = 10'000'000;

// PBKDF2-HMAC-SHA-256 of the password, 32 bytes.
QByteArray passwordHash(const QString& password, const QByteArray& salt, int rounds);

// Compares in constant time, so a timing does not tell how much matched.
bool passwordMatches(const QString& password, const QByteArray& salt, int rounds,
                     const QByteArray& expectedHash);

} // namespace TarvoCards
