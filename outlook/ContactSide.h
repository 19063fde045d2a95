#pragma once

#include "startup/CardType.h"

#include <QString>
#include <exception>
#include <memory>

namespace contacts {
class Folder;
}

namespace brindle {

class ProgramContext;
struct RunSettings;

// Helpers the contact side's steps share.

// The default contacts folder's type, and the item type of a contact.
inline constexpr int olFolderContacts = 10;
inline constexpr int olContactItem = 2;

// Writes the time-stamped trace line of one of FProcess's procedures:
// "<time> VEXOBrindle.FProcess.<procedure> <text>".
void logTrace(ProgramContext& context, const char* procedure, const QString& text);

// True when each card type has its own sub-folder; the setting
// DisableOutlookFolders 1 keeps every contact in the default folder.
bool usesTypeFolders(const RunSettings& settings);

// The error number a caught exception carries; unspecified for any other.
qint64 errorNumberOf(const std::exception& error);

// The sub-folder of that name, or null when there is none. Any other
// failure of the look-up is raised.
std::shared_ptr<contacts::Folder> subFolder(contacts::Folder& parent, const QString& name);

// The number at the start of a text, as Val reads it ("16.0.0.0" is 16).
double leadingNumber(const QString& text);

// The four card types in the order their folders are ensured.
inline constexpr CardType::Id folderOrder[] = {CardType::Customer, CardType::Supplier,
                                               CardType::Employee, CardType::Personal};

} // namespace brindle
