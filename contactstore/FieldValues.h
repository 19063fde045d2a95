#pragma once

#include "VCard.h"

#include <QDate>
#include <QVarLengthArray>
#include <QVariant>

namespace contacts {

// The values of contact properties and their vCard text, both ways.

// The program works with Windows line breaks; vCard values hold plain ones.
QString withWindowsLineBreaks(QString text);
// A text as a URI value holds it: no escapes but of backslashes and line breaks.
QString escapeUri(const QString& text);
// An escaped value or component as the program reads it.
QString escapedText(QStringView escaped);
// A TEL, NOTE or other text property's value as the program reads it.
QString textValue(const VCardProperty& p);

QDate parseDate(const VCardProperty& p);
// A date the program treats as none.
bool isNoDate(const QDate& date);
// Raise 13 for a value of the wrong type.
QDate toDate(const QVariant& value);
QString toText(const QVariant& value);
int toMailingAddress(const QVariant& value);
// The trimmed, non-empty items of a comma-separated list.
QStringList categoryItems(const QString& text);

using Components = QVarLengthArray<QStringView, 8>;
// All ;-separated components of a structured value, still escaped.
Components components(QStringView value);
QStringView componentAt(QStringView value, int index);
// The value with one component replaced, padded to at least parts components.
QString withComponent(const QString& value, int index, int parts, const QString& escaped);
// Whether an escaped value holds nothing but separators and blanks.
bool isBlankValue(QStringView value);
bool isOnlySeparators(QStringView value);
// Whether an escaped value reads as itself: no escapes and no line breaks.
bool isPlainText(QStringView value);
// Whether a text needs no escaping and holds no line breaks, as most do.
bool isPlainValue(const QString& text);

} // namespace contacts
