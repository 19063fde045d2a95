#include "contactstore/VCard.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <gtest/gtest.h>

namespace contacts {
namespace {

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Every fixture parses, and writing it unchanged gives its .ref file: the
// lines other programs wrote survive, only the version line and folding change.
TEST(ContactVCard, FixturesRoundTripToReference)
{
    const QDir data(QStringLiteral(BRINDLE_TEST_DATA));
    const QStringList fixtures = data.entryList({QStringLiteral("*.vcf")}, QDir::Files);
    ASSERT_GE(fixtures.size(), 4);
    for (const QString& name : fixtures) {
        SCOPED_TRACE(name.toStdString());
        const VCard::ParseResult parsed = VCard::parse(fileBytes(data.filePath(name)));
        ASSERT_TRUE(parsed.card) << parsed.error.toStdString();
        const QByteArray written = parsed.card->serialize();
        EXPECT_EQ(written, fileBytes(data.filePath(name + QStringLiteral(".ref"))));
        const VCard::ParseResult again = VCard::parse(written);
        ASSERT_TRUE(again.card);
        EXPECT_EQ(again.card->serialize(), written);
    }
}

// Changed properties are written and folded in one pass: every physical line
// stays within 75 octets, no UTF-8 sequence is split, and the value reads back.
TEST(ContactVCard, WrittenLinesFoldWithoutSplittingCharacters)
{
    const QString values[] = {QString(69, u'a'),
                              QString(70, u'a'),
                              QString(300, u'b'),
                              QString(60, u'c') + QString(40, QChar(0x00FC)),
                              QString(150, QChar(0x20AC)) + u'x',
                              QString::fromUtf8("a\xF0\x9F\x98\x80").repeated(40)};
    for (const QString& value : values) {
        SCOPED_TRACE(value.toStdString());
        VCard card;
        VCardProperty property;
        property.name = QStringLiteral("NOTE");
        property.params += VCardParam{QStringLiteral("TYPE"), {QStringLiteral("x")}};
        property.value = value;
        card.properties += property;
        const QByteArray written = card.serialize();
        for (const QByteArray& piece : written.split('\n')) {
            EXPECT_LE(piece.size() - 1, 75);
            QStringDecoder decoder(QStringDecoder::Utf8);
            (void)decoder(piece);
            EXPECT_FALSE(decoder.hasError()) << "a piece splits a UTF-8 sequence";
        }
        const QByteArray line = "NOTE;TYPE=x:" + value.toUtf8();
        EXPECT_EQ(written.contains("\r\n "), line.size() > 75);
        const VCard::ParseResult parsed = VCard::parse(written);
        ASSERT_TRUE(parsed.card);
        ASSERT_EQ(parsed.card->properties.size(), 1);
        EXPECT_EQ(parsed.card->properties[0].value, value);
    }
}

TEST(ContactVCard, EscapedTextRoundTrips)
{
    const QString texts[] = {QStringLiteral("a,b;c\\d"), QStringLiteral("line1\nline2"),
                             QStringLiteral("\\n is not a newline"), QStringLiteral("tail\\"),
                             QString()};
    for (const QString& text : texts) {
        EXPECT_EQ(unescapeText(escapeText(text)), text);
    }
    EXPECT_EQ(escapeText(QStringLiteral("a\r\nb")), QStringLiteral("a\\nb"));
    EXPECT_EQ(unescapeText(u"bad \\x escape"), QStringLiteral("bad \\x escape"));
    EXPECT_EQ(splitEscaped(u"a\\;b;c;;", u';'),
              (QStringList{QStringLiteral("a\\;b"), QStringLiteral("c"), QString(), QString()}));
}

TEST(ContactVCard, ReadsParameterFormsAndGroups)
{
    const QByteArray bytes = "BEGIN:VCARD\nVERSION:3.0\n"
                             "TEL;TYPE=home,work:1\n"
                             "TEL;TYPE=HOME;TYPE=WORK:2\n"
                             "TEL;HOME;WORK:3\n"
                             "item7.EMAIL;TYPE=\"internet,pref\":x@y\n"
                             "TEL;;TYPE=work:4\n" // the empty parameter is dropped
                             "END:VCARD\n";
    const VCard::ParseResult parsed = VCard::parse(bytes);
    ASSERT_TRUE(parsed.card) << parsed.error.toStdString();
    const QList<VCardProperty>& p = parsed.card->properties;
    ASSERT_EQ(p.size(), 5);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(p[i].types(), (QStringList{QStringLiteral("home"), QStringLiteral("work")}));
    }
    EXPECT_EQ(p[3].group, QStringLiteral("item7"));
    EXPECT_EQ(p[3].name, QStringLiteral("EMAIL"));
    EXPECT_TRUE(p[3].hasType(QLatin1StringView("pref")));
    EXPECT_EQ(p[4].param(QStringLiteral("TYPE")), QStringLiteral("work"));
}

TEST(ContactVCard, DecodesQuotedPrintableWithSoftBreaks)
{
    const QByteArray bytes = "BEGIN:VCARD\r\nVERSION:2.1\r\n"
                             "NOTE;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:Gr=C3=BC=\r\n"
                             "=C3=9Fe=0D=0Aand more\r\n"
                             "END:VCARD\r\n";
    const VCard::ParseResult parsed = VCard::parse(bytes);
    ASSERT_TRUE(parsed.card) << parsed.error.toStdString();
    EXPECT_EQ(parsed.card->properties.value(0).value, QString::fromUtf8("Grüße\\nand more"));
    const VCard::ParseResult emoji =
        VCard::parse("BEGIN:VCARD\r\nVERSION:2.1\r\nNOTE;ENCODING=QUOTED-PRINTABLE:a="
                     "3D\xF0\x9F\x98\x80\r\nEND:VCARD\r\n");
    ASSERT_TRUE(emoji.card) << emoji.error.toStdString();
    EXPECT_EQ(emoji.card->properties.value(0).value, QString::fromUtf8("a=\xF0\x9F\x98\x80"));
}

TEST(ContactVCard, MalformedInputIsRefusedWithAReason)
{
    const QByteArray megabyte(1 << 20, 'x');
    const struct
    {
        const char* what;
        QByteArray bytes;
    } cases[] = {
        {"empty", ""},
        {"fold before anything", " BEGIN:VCARD\r\nEND:VCARD\r\n"},
        {"no END", "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:A\r\n"},
        {"no BEGIN", "VERSION:4.0\r\nFN:A\r\nEND:VCARD\r\n"},
        {"two cards", "BEGIN:VCARD\r\nEND:VCARD\r\nBEGIN:VCARD\r\nEND:VCARD\r\n"},
        {"nested", "BEGIN:VCARD\r\nBEGIN:VCARD\r\nEND:VCARD\r\nEND:VCARD\r\n"},
        {"line without colon", "BEGIN:VCARD\r\nFN A\r\nEND:VCARD\r\n"},
        {"bad name", "BEGIN:VCARD\r\nF N:A\r\nEND:VCARD\r\n"},
        {"bad parameter name", "BEGIN:VCARD\r\nTEL;TY\"E=work:1\r\nEND:VCARD\r\n"},
        {"bad bare parameter", "BEGIN:VCARD\r\nTEL;WO RK:1\r\nEND:VCARD\r\n"},
        {"invalid UTF-8", "BEGIN:VCARD\r\nFN:\xC3\x28\r\nEND:VCARD\r\n"},
        {"NUL byte", QByteArray("BEGIN:VCARD\r\nFN:a\0b\r\nEND:VCARD\r\n", 29)},
        {"binary garbage", QByteArray::fromHex("89504e470d0a1a0a0000000d49484452ff00fe")},
        {"control character in quoted-printable",
         "BEGIN:VCARD\r\nNOTE;ENCODING=QUOTED-PRINTABLE:a=00b\r\nEND:VCARD\r\n"},
        {"megabyte line without colon", "BEGIN:VCARD\r\n" + megabyte + "\r\nEND:VCARD\r\n"},
    };
    for (const auto& c : cases) {
        const VCard::ParseResult parsed = VCard::parse(c.bytes);
        EXPECT_FALSE(parsed.card) << c.what;
        EXPECT_FALSE(parsed.error.isEmpty()) << c.what;
    }
}

// Whatever a program put into a property, the writer never writes a line
// break or control character that would add a line or make the file unreadable.
TEST(ContactVCard, WrittenFileHoldsAsManyPropertiesWhateverTheyHold)
{
    const QString evil = QStringLiteral("x\r\nEMAIL:evil@x.org\n\x1b]0;t\x07");
    const struct
    {
        const char* what;
        VCardProperty property;
    } cases[] = {
        {"value", {{}, "NOTE", {}, evil, {}}},
        {"group", {evil, "NOTE", {}, "a", {}}},
        {"name", {{}, "NOTE" + evil, {}, "a", {}}},
        {"parameter name", {{}, "NOTE", {{evil, {"a"}}}, "a", {}}},
        {"parameter value", {{}, "NOTE", {{"X-A", {evil, "b"}}}, "a", {}}},
    };
    for (const auto& c : cases) {
        for (const char* version : {"3.0", "4.0"}) {
            SCOPED_TRACE(std::string(c.what) + " " + version);
            VCard card;
            card.version = QString::fromLatin1(version);
            card.properties = {c.property, {{}, "FN", {}, "Jo", {}}};
            const QByteArray written = card.serialize();
            EXPECT_FALSE(written.contains('\x1b')) << written.toStdString();
            const VCard::ParseResult parsed = VCard::parse(written);
            ASSERT_TRUE(parsed.card) << parsed.error.toStdString() << written.toStdString();
            EXPECT_EQ(parsed.card->properties.size(), 2) << written.toStdString();
            EXPECT_EQ(parsed.card->properties.value(1).value, QStringLiteral("Jo"));
        }
    }
}

TEST(ContactVCard, AcceptsAMegabyteValueAndWritesItBack)
{
    const QByteArray note = QByteArray(1 << 20, 'n');
    const QByteArray bytes = "BEGIN:VCARD\r\nVERSION:4.0\r\nNOTE:" + note + "\r\nEND:VCARD\r\n";
    const VCard::ParseResult parsed = VCard::parse(bytes);
    ASSERT_TRUE(parsed.card);
    EXPECT_EQ(parsed.card->properties.value(0).value.size(), note.size());
    const VCard::ParseResult again = VCard::parse(parsed.card->serialize());
    ASSERT_TRUE(again.card);
    EXPECT_EQ(again.card->properties.value(0).value.toLatin1(), note);
}

} // namespace
} // namespace contacts
