#include "StoreFixture.h"

#include <QDate>
#include <QRegularExpression>

namespace contacts::test {
namespace {

// The unfolded content lines of a file.
QStringList contentLines(const QByteArray& bytes)
{
    return QString::fromUtf8(bytes)
        .replace(QStringLiteral("\r\n "), QString())
        .split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
}

// The lines of a file that the version its header names does not allow.
QStringList foreignLines(const QByteArray& bytes)
{
    const QStringList lines = contentLines(bytes);
    const bool is30 = lines.value(1) == u"VERSION:3.0";
    // What each version lacks, as it shows in the part before the value.
    static const QRegularExpression only40(
        QStringLiteral("^(ANNIVERSARY|RELATED)[;:]|;PREF=|;VALUE=uri|\\^"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression only30(
        QStringLiteral("ENCODING=|CHARSET=|TYPE=[^;:]*pref|^(X-ANNIVERSARY|X-SPOUSE)[;:]"),
        QRegularExpression::CaseInsensitiveOption);
    QStringList foreign;
    for (const QString& line : lines) {
        const QString head = line.left(line.indexOf(u':') + 1);
        if ((is30 ? only40 : only30).match(head).hasMatch()) {
            foreign += line;
        }
    }
    if (lines.value(1) != u"VERSION:3.0" && lines.value(1) != u"VERSION:4.0") {
        foreign += lines.value(1);
    }
    return foreign;
}

class ContactVersions : public StoreFixture
{
protected:
    // The only contact of a store made of one fixture file.
    std::shared_ptr<ContactItem> only(const char* file)
    {
        makeDirectory(contactsDir());
        QFile::copy(QStringLiteral(BRINDLE_TEST_DATA "/") + QLatin1String(file),
                    contactsDir() + QStringLiteral("/c.vcf"));
        m_app.emplace(root());
        return defaultFolder(*m_app)->Items().Item(1);
    }

    QByteArray saved() const { return readAll(contactsDir() + QStringLiteral("/c.vcf")); }

    std::optional<Application> m_app;
};

// A changed card is written in the version its file had (2.1 becomes 3.0):
// the lines of other programs as they were, the changed ones in that
// version's form, and every change reads back.
TEST_F(ContactVersions, ChangedCardIsValidInTheVersionItsHeaderNames)
{
    const struct
    {
        const char* file;
        const char* property;
        QVariant value;
        const char* version;
        const char* written; // a line of the saved file
    } cases[] = {
        {"thunderbird-3.vcf", "SelectedMailingAddress", 2, "3.0", "ADR;TYPE=work,pref:"},
        {"thunderbird-3.vcf", "Anniversary", QDate(2010, 6, 12), "3.0", "X-ANNIVERSARY:2010-06-12"},
        {"thunderbird-3.vcf", "Birthday", QDate(1981, 2, 3), "3.0", "BDAY:1981-02-03"},
        {"thunderbird-3.vcf", "Spouse", "Sam", "3.0", "X-SPOUSE:Sam"},
        {"thunderbird-3.vcf", "User4", "Friends", "3.0", "PHOTO;ENCODING=b;TYPE=JPEG:/9j/"},
        {"google-3.vcf", "SelectedMailingAddress", 1, "3.0", "ADR;TYPE=home,pref:"},
        {"khard-4.vcf", "SelectedMailingAddress", 2, "4.0", "ADR;TYPE=work;PREF=1:"},
        {"khard-4.vcf", "Anniversary", QDate(2011, 7, 1), "4.0", "ANNIVERSARY:20110701"},
        {"khard-4.vcf", "Spouse", "Sam", "4.0", "RELATED;TYPE=spouse;VALUE=text:Sam"},
        {"phone-21.vcf", "User4", "Friends", "3.0", "TEL;TYPE=CELL;TYPE=PREF:+491701234567"},
        {"phone-21.vcf", "SelectedMailingAddress", 3, "3.0", "ADR;TYPE=other,pref:"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " " + c.property);
        const std::shared_ptr<ContactItem> item = only(c.file);
        item->setProperty(QString::fromLatin1(c.property), c.value);
        item->Save();
        const QStringList lines = contentLines(saved());
        EXPECT_EQ(lines.value(1), QStringLiteral("VERSION:") + QLatin1String(c.version));
        EXPECT_EQ(foreignLines(saved()), QStringList());
        EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [&](const QString& line) {
            return line.startsWith(QLatin1String(c.written));
        })) << saved().toStdString();
        Application reopened(root());
        EXPECT_EQ(defaultFolder(reopened)->Items().Item(1)->property(c.property), c.value);
        QDir(contactsDir()).removeRecursively();
    }
}

// 2.1 values are not escaped; the same text in 3.0 is.
TEST_F(ContactVersions, TwoOneTextIsEscapedWhenWrittenAsThreeZero)
{
    makeDirectory(contactsDir());
    writeFile(contactsDir() + QStringLiteral("/c.vcf"),
              "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Smith\\;Jones;Jo\r\nFN:Jo Smith, Esq.\r\n"
              "NOTE;CHARSET=ISO-8859-1;ENCODING=QUOTED-PRINTABLE:a, b; c=0D=0Ad\\e\r\n"
              "X-NICK:Jo; Joe\r\nEND:VCARD\r\n");
    Application app(root());
    const std::shared_ptr<ContactItem> item = defaultFolder(app)->Items().Item(1);
    item->setProperty(QStringLiteral("User1"), QStringLiteral("C1"));
    item->Save();
    const QStringList lines = contentLines(saved());
    for (const char* line : {"N:Smith\\;Jones;Jo", "FN:Jo Smith\\, Esq.",
                             "NOTE:a\\, b\\; c\\nd\\\\e", "X-NICK:Jo\\; Joe"}) {
        EXPECT_TRUE(lines.contains(QLatin1String(line))) << line << saved().toStdString();
    }
    Application reopened(root());
    const std::shared_ptr<ContactItem> again = defaultFolder(reopened)->Items().Item(1);
    EXPECT_EQ(again->property(QStringLiteral("LastName")), QStringLiteral("Smith;Jones"));
    EXPECT_EQ(again->property(QStringLiteral("FullName")), QStringLiteral("Jo Smith, Esq."));
    EXPECT_EQ(again->property(QStringLiteral("Body")), QStringLiteral("a, b; c\r\nd\\e"));
}

} // namespace
} // namespace contacts::test
