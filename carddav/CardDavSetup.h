#pragma once

#include <QString>
#include <QStringList>

namespace brindle::carddav {

// How the store keeps card types apart (DisableOutlookFolders).
enum class Layout
{
    Folders,   // a sub-folder of the default folder per card type
    Categories // every contact in the default folder
};

struct Account
{
    QString url;
    QString username;
    // Prints the password on its standard output; vdirsyncer runs it.
    QStringList passwordCommand;
};

// Where the pairing lives: the folder of Brindle's own vdirsyncer
// configuration and status, and the store it pairs.
struct Places
{
    QString folder;    // $XDG_CONFIG_HOME/brindle/carddav
    QString storeRoot; // the contact store's root

    static Places standard();
    QString configFile() const { return folder + QStringLiteral("/config"); }
    QString statusFolder() const { return folder + QStringLiteral("/status"); }
    // Local copies that lost a conflict; hidden, so no run reads them.
    QString conflictsFolder() const { return storeRoot + QStringLiteral("/.carddav-conflicts"); }
};

// What is wrong with the account, empty when nothing is.
QString accountProblem(const Account& account);

// The vdirsyncer configuration pairing the store with the server.
QString configText(const Account& account, Layout layout, const Places& places);

// Writes the configuration readable by the user alone, whole or not at all;
// throws PlatformError.
void writeConfig(const Places& places, const QString& text);

} // namespace brindle::carddav
