#pragma once

#include <QByteArray>
#include <QString>

namespace TarvoCards {

// PBKDF2-HMAC-SHA-256 of the password, 32 bytes.
QByteArray passwordHash(const QString& password, const QByteArray& salt, int rounds);

// Compares in constant time, so a timing does not tell how much matched.
bool passwordMatches(const QString& password, const QByteArray& salt, int rounds,
                     const QByteArray& expectedHash);

} // namespace TarvoCards
