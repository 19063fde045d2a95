#include "CardDavSetup.h"

#include "contactstore/Application.h"
#include "platform/PlatformError.h"

#include <QDir>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUrl>

namespace brindle::carddav {

namespace {

// A TOML basic string.
QString quoted(const QString& text)
{
    QString out = QStringLiteral("\"");
    for (const QChar c : text) {
        if (c == u'"' || c == u'\\') {
            out += u'\\';
            out += c;
        } else if (c.unicode() < 0x20 || c.unicode() == 0x7f) {
            out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        } else {
            out += c;
        }
    }
    return out + u'"';
}

QString quotedList(const QStringList& items)
{
    QStringList parts;
    for (const QString& item : items) {
        parts << quoted(item);
    }
    return u'[' + parts.join(QStringLiteral(", ")) + u']';
}

// A conflict keeps the server's copy; the local one is moved aside first,
// named by the time, so a second conflict of the same contact keeps both.
const char keepAside[] = "mkdir -p \"$1\" && "
                         "cp \"$2\" \"$(mktemp -p \"$1\" --suffix=.vcf "
                         "kept-$(date +%Y%m%d-%H%M%S)-XXXXXX)\" && cp \"$3\" \"$2\"";

} // namespace

Places Places::standard()
{
    return {QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                QStringLiteral("/brindle/carddav"),
            contacts::Application::defaultRoot()};
}

QString accountProblem(const Account& account)
{
    const QUrl url(account.url, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty() ||
        (url.scheme() != u"https" && url.scheme() != u"http")) {
        return QStringLiteral("\"%1\" is not an http or https address").arg(account.url);
    }
    if (!url.password().isEmpty()) {
        return QStringLiteral("the address holds a password; give it through "
                              "--password-command, which is never written down");
    }
    if (!account.username.isEmpty() && account.passwordCommand.isEmpty()) {
        return QStringLiteral("give --password-command with --username: Brindle never "
                              "stores a password");
    }
    if (account.username.isEmpty() && !account.passwordCommand.isEmpty()) {
        return QStringLiteral("give --username with --password-command");
    }
    return {};
}

QString configText(const Account& account, Layout layout, const Places& places)
{
    const bool folders = layout == Layout::Folders;
    const QString root = QDir::cleanPath(places.storeRoot);
    QString text =
        QStringLiteral("# Written by brindle-cli carddav setup; run it again to change.\n"
                       "[general]\nstatus_path = %1\n\n")
            .arg(quoted(places.statusFolder() + u'/'));
    text += QStringLiteral("[pair brindle]\na = \"brindle_store\"\nb = \"brindle_server\"\n"
                           "collections = %1\nconflict_resolution = %2\n\n")
                .arg(folders ? QStringLiteral("[\"from a\"]") : QStringLiteral("[\"Contacts\"]"),
                     quotedList({QStringLiteral("command"), QStringLiteral("sh"),
                                 QStringLiteral("-c"), QLatin1String(keepAside),
                                 QStringLiteral("brindle-conflict"), places.conflictsFolder()}));
    text += QStringLiteral("[storage brindle_store]\ntype = \"filesystem\"\npath = %1\n"
                           "fileext = \".vcf\"\n\n")
                .arg(quoted(folders ? root + QStringLiteral("/Contacts") : root));
    text += QStringLiteral("[storage brindle_server]\ntype = \"carddav\"\nurl = %1\n")
                .arg(quoted(account.url));
    if (!account.username.isEmpty()) {
        text +=
            QStringLiteral("username = %1\npassword.fetch = %2\n")
                .arg(quoted(account.username),
                     quotedList(QStringList{QStringLiteral("command")} + account.passwordCommand));
    }
    return text;
}

void writeConfig(const Places& places, const QString& text)
{
    if (!QDir().mkpath(places.folder)) {
        throw PlatformError(ErrorNumber::PermissionDenied,
                            QStringLiteral("cannot make the folder %1").arg(places.folder));
    }
    QFile::setPermissions(places.folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QSaveFile file(places.configFile());
    const QByteArray bytes = text.toUtf8();
    // The mode is set before the first byte, so no one else ever reads it.
    if (!file.open(QIODevice::WriteOnly) ||
        !file.setPermissions(QFile::ReadOwner | QFile::WriteOwner) ||
        file.write(bytes) != bytes.size() || !file.commit()) {
        throw PlatformError(
            ErrorNumber::PermissionDenied,
            QStringLiteral("cannot write %1: %2").arg(places.configFile(), file.errorString()));
    }
}

} // namespace brindle::carddav
