#include "ChangeListing.h"

#include "Undo.h"
#include "cardlib/CardSnapshot.h"
#include "cardlib/SqlUtil.h"
#include "contactstore/FileIo.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QRegularExpression>

namespace brindle {

namespace {

// "Name: old -> new" for each field of the two rows that differs.
void listFields(const QJsonObject& before, const QJsonObject& after, const QString& prefix,
                QStringList& lines)
{
    QStringList names = before.keys() + after.keys();
    names.removeDuplicates();
    names.sort();
    for (const QString& name : names) {
        const QJsonValue old = before.value(name), now = after.value(name);
        if (old != now) {
            lines << QStringLiteral("    %1%2: \"%3\" -> \"%4\"")
                         .arg(prefix, name, old.toVariant().toString(), now.toVariant().toString());
        }
    }
}

QJsonObject addressAt(const QJsonObject& snapshot, int location)
{
    for (const QJsonValue address : snapshot.value(QStringLiteral("addresses")).toArray()) {
        if (address[QStringLiteral("Location")].toInt() == location) {
            return address.toObject();
        }
    }
    return {};
}

QString cardName(const QJsonObject& snapshot)
{
    const QJsonObject card = snapshot.value(QStringLiteral("card")).toObject();
    const QString first = card.value(QStringLiteral("FirstName")).toString();
    const QString last = card.value(QStringLiteral("LastName")).toString();
    return first.isEmpty() ? last : last + QStringLiteral(", ") + first;
}

void listCard(QSqlDatabase& db, const QJsonObject& change, QStringList& lines)
{
    const qint64 id = change.value(QStringLiteral("card")).toInteger();
    const QJsonObject before = change.value(QStringLiteral("before")).toObject();
    const QJsonObject after = TarvoCards::cardSnapshot(db, id).value_or(QJsonObject());
    if (before.isEmpty()) {
        lines << QStringLiteral("add card %1 %2").arg(id).arg(cardName(after));
        return;
    }
    if (before == after) {
        return; // written again as it was
    }
    lines << QStringLiteral("change card %1 %2").arg(id).arg(cardName(before));
    listFields(before.value(QStringLiteral("card")).toObject(),
               after.value(QStringLiteral("card")).toObject(), QString(), lines);
    for (int location = 1; location <= 5; ++location) {
        listFields(addressAt(before, location), addressAt(after, location),
                   QStringLiteral("address %1 ").arg(location), lines);
    }
}

// A contact's lines, unfolded; its revision stamp says nothing of a change.
QStringList contentLines(const QByteArray& bytes)
{
    QString text = QString::fromUtf8(bytes);
    text.replace(QLatin1String("\r\n "), QString()).replace(QLatin1String("\r\n\t"), QString());
    QStringList lines = text.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    lines.removeIf([](const QString& line) { return line.startsWith(QLatin1String("REV:")); });
    return lines;
}

void listFile(const RecordedRun& run, const QJsonObject& change, QStringList& lines)
{
    const QString name = change.value(QStringLiteral("file")).toString();
    const QString path = run.header.value(QStringLiteral("store")).toString() + u'/' + name;
    const QStringList after = contentLines(contacts::readFile(path).bytes);
    const QJsonValue saved = change.value(QStringLiteral("before"));
    if (!saved.isString()) {
        const QStringList names = after.filter(QRegularExpression(QStringLiteral("^FN[:;]")));
        lines << QStringLiteral("add contact %1/%2")
                     .arg(QFileInfo(name).path(), names.value(0).section(u':', 1));
        return;
    }
    const QStringList before =
        contentLines(contacts::readFile(run.folder + u'/' + saved.toString()).bytes);
    if (before == after) {
        return;
    }
    lines << QStringLiteral("change contact %1").arg(name);
    for (const QString& line : before) {
        if (!after.contains(line)) {
            lines << QStringLiteral("    - ") + line;
        }
    }
    for (const QString& line : after) {
        if (!before.contains(line)) {
            lines << QStringLiteral("    + ") + line;
        }
    }
}

} // namespace

QStringList listChanges(const RecordedRun& run)
{
    QStringList lines;
    TarvoCards::ScopedDatabase scoped;
    QSqlDatabase& db = scoped.db();
    const QString companyFile = run.header.value(QStringLiteral("companyFile")).toString();
    TarvoCards::useUri(db, companyFile, TarvoCards::OpenMode::ReadOnly, 5);
    const bool opened = db.open();
    for (const QJsonObject& change : run.changes) {
        if (change.contains(QStringLiteral("file"))) {
            listFile(run, change, lines);
        } else if (change.contains(QStringLiteral("dir"))) {
            lines << QStringLiteral("make folder %1")
                         .arg(change.value(QStringLiteral("dir")).toString());
        } else if (opened) {
            listCard(db, change, lines);
        }
    }
    return lines;
}

} // namespace brindle
