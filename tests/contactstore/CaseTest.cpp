// Runs the contact cases of data/cases: a file in the store (or none, for a
// new contact), properties set and saved, then the contact reopened and
// checked. A case file is made of sections:
//   --- file            the .vcf as the store holds it (CR LF added), or
//   --- file @NAME      data/NAME as it is
//   --- set / --- set2  Property=value lines, saved; set2 after a reopen
//   --- get             Property=value lines the reopened contact reads
//   --- lines           starts of the saved file's unfolded lines
//   --- absent          texts the saved file must not hold
// Values of set and get take the escapes of TableFile.h; dates are yyyy-MM-dd.
#include "StoreFixture.h"
#include "TableFile.h"

#include <QDate>
#include <QRegularExpression>

namespace contacts::test {
namespace {

QVariant typed(const QString& name, const QString& text)
{
    if (name == u"Birthday" || name == u"Anniversary") {
        return QDate::fromString(text, Qt::ISODate);
    }
    return name == u"SelectedMailingAddress" ? QVariant(text.toInt())
                                             : QVariant(brindle::test::tableField(text));
}

// The lines of a saved file that the version it names does not allow.
QStringList foreignLines(const QStringList& lines)
{
    static const QRegularExpression only40("^(ANNIVERSARY|RELATED)[;:]|;PREF=|;VALUE=uri|\\^",
                                           QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression only30(
        "ENCODING=|CHARSET=|TYPE=[^;:]*pref|^(X-ANNIVERSARY|X-SPOUSE)[;:]",
        QRegularExpression::CaseInsensitiveOption);
    const bool is30 = lines.value(1) == u"VERSION:3.0";
    QStringList foreign;
    for (const QString& line : lines) {
        if ((is30 ? only40 : only30).match(line.left(line.indexOf(u':') + 1)).hasMatch()) {
            foreign += line;
        }
    }
    if (!is30 && lines.value(1) != u"VERSION:4.0") {
        foreign += lines.value(1);
    }
    return foreign;
}

class ContactCases : public StoreFixture
{
protected:
    using Sections = QHash<QString, QStringList>;

    static Sections sections(const QString& path)
    {
        Sections found;
        QString current;
        for (const QString& line : QString::fromUtf8(readAll(path)).split(u'\n')) {
            if (line.startsWith("--- ")) {
                current = line.mid(4);
                found[current];
            } else if (!current.isEmpty() && !line.isEmpty()) {
                found[current] += line;
            }
        }
        return found;
    }

    void store(const Sections& c)
    {
        QDir().mkpath(contactsDir());
        const QString file = c.keys().filter(QRegularExpression("^file( @|$)")).value(0);
        if (file.startsWith("file @")) {
            QFile::copy(QStringLiteral(BRINDLE_TEST_DATA "/") + file.mid(6), m_path);
        } else if (!file.isEmpty()) {
            writeFile(m_path, c[file].join("\r\n").trimmed().toUtf8() + "\r\n");
        }
    }

    void setAndSave(const QStringList& lines, bool reopen)
    {
        Application app(root());
        Items items = defaultFolder(app)->Items();
        const std::shared_ptr<ContactItem> item =
            reopen || items.Count() > 0 ? items.Item(1) : items.Add();
        for (const QString& line : lines) {
            const QString name = line.section(u'=', 0, 0);
            item->setProperty(name, typed(name, line.section(u'=', 1)));
        }
        item->Save();
        m_path = contactsDir() + u'/' + item->fileName();
    }

    QString m_path = contactsDir() + QStringLiteral("/c.vcf");
};

TEST_F(ContactCases, EachCaseReadsBackAndSavesAValidFile)
{
    const QDir cases(QStringLiteral(BRINDLE_TEST_DATA "/cases"));
    const QStringList names = cases.entryList({"*.case"}, QDir::Files);
    ASSERT_GE(names.size(), 20);
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        QDir(contactsDir()).removeRecursively();
        m_path = contactsDir() + QStringLiteral("/c.vcf");
        const Sections c = sections(cases.filePath(name));
        store(c);
        setAndSave(c.value("set"), false);
        if (c.contains("set2")) {
            setAndSave(c.value("set2"), true);
        }
        const QByteArray saved = readAll(m_path);
        const QStringList lines =
            QString::fromUtf8(saved).replace("\r\n ", "").split("\r\n", Qt::SkipEmptyParts);
        if (c.contains("set")) { // what another program wrote stays as it was
            EXPECT_EQ(foreignLines(lines), QStringList()) << saved.toStdString();
        }
        for (const QString& start : c.value("lines")) {
            EXPECT_TRUE(("\n" + lines.join(u'\n')).contains("\n" + start)) << saved.toStdString();
        }
        for (const QString& text : c.value("absent")) {
            EXPECT_FALSE(saved.contains(text.toUtf8())) << text.toStdString();
        }
        Application app(root());
        const std::shared_ptr<ContactItem> item = defaultFolder(app)->Items().Item(1);
        for (const QString& line : c.value("get")) {
            const QString property = line.section(u'=', 0, 0);
            EXPECT_EQ(item->property(property).toString(),
                      typed(property, line.section(u'=', 1)).toString())
                << property.toStdString();
        }
    }
}

} // namespace
} // namespace contacts::test
