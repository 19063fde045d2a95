#pragma once

#include <QString>
#include <exception>

namespace brindle {

// Numbers the program's error traps test for; they match what the original
// platform's components raise, so the traps read the same on every platform.
namespace ErrorNumber {
constexpr qint64 TypeMismatch = 13;
constexpr qint64 PermissionDenied = 287;
constexpr qint64 NoSuchMember = 438;
constexpr qint64 Unspecified = -2147467259; // &H80004005
constexpr qint64 NotFound = -2147221233;    // &H8004010F
constexpr qint64 CannotParse = -2147352567; // &H80020009
} // namespace ErrorNumber

// The one error type of the platform layers: a number the program's traps
// test for and a description a log line can carry.
class PlatformError : public std::exception
{
public:
    PlatformError(qint64 number, QString description)
        : m_number(number), m_description(std::move(description)), m_what(m_description.toUtf8())
    {}

    qint64 number() const { return m_number; }
    const QString& description() const { return m_description; }
    const char* what() const noexcept override { return m_what.constData(); }

private:
    qint64 m_number;
    QString m_description;
    QByteArray m_what;
};

} // namespace brindle
