#pragma once

#include "Arguments.h"

namespace brindle::cli {

// The option string of import, export and options: the one operand, read
// from standard input when it is "-", or the text of --options-file FILE,
// a file only its owner may read. Either keeps the password out of the
// process list. Empty, with the problem on read, when it cannot be had.
QString readOptionString(Arguments& read);

// The option that names the file, for the commands' option tables.
inline constexpr Option optionsFileOption{"--options-file", "FILE"};

} // namespace brindle::cli
