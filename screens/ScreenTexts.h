#pragma once

#include <QString>
#include <optional>

namespace brindle {

class ProgramContext;

// Captions the screens share, built in the core so they are tested without
// widgets.

// lblLastConnect from LastConnectedDate: "First Time Use", "Last Connected: 04
// Dec 2026", or nothing (the design-time caption stays) when the text is not
// a date.
std::optional<QString> lastConnectedCaption(ProgramContext& context);
// lblVersion: "v" and the program's major.minor.revision.
QString versionLabel();

} // namespace brindle
