#pragma once

#include <QString>

namespace brindle {

// Trim as the program means it: blanks (U+0020) only, at both ends. Tabs,
// line breaks and other spaces are part of the text.
QString trimBlanks(QStringView text);

// The first count characters of text, counting a surrogate pair (an emoji,
// say) as the one character it is, so that none is cut in half.
QString firstCharacters(QStringView text, qsizetype count);

// A Boolean as the program writes it: "True" or "False".
QString booleanText(bool value);

namespace MMain {

// Removes the characters of codes 8 to 13, trims blanks and upper-cases
// unless bKeepCase. Upper-casing keeps the length ("ß" stays "ß"), so two
// texts compare equal only when they are the same letter for letter.
QString CleanText(const QString& s, bool bKeepCase);

} // namespace MMain
} // namespace brindle
