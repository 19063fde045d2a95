#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace contacts {

// The forms of values that only vCard 2.1 (and programs that still write
// its quoted-printable into later versions) use, read into today's.

// Quoted-printable without its soft line breaks, which unfolding joined.
QByteArray decodeQuotedPrintable(QStringView text);
// CHARSET UTF-8 (or none), otherwise Latin-1.
QString decodeCharset(const QByteArray& bytes, const QString& charset);
// Whether a 2.1 property holds text, which 3.0 escapes and 2.1 does not.
bool isText21(const QString& name);
// A 2.1 text value escaped as 3.0 reads it.
QString escaped21(const QString& name, QStringView value);

} // namespace contacts
