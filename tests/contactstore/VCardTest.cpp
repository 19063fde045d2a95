#include "contactstore/VCard.h"

#include "StoreFixture.h"

#include <QStringDecoder>

namespace contacts::test {
namespace {

// Every fixture parses, and writing it unchanged gives its .ref file: the
// lines other programs wrote survive, only the version line and folding change.
TEST(ContactVCard, FixturesRoundTripToReference)
{
    const QDir data(QStringLiteral(BRINDLE_TEST_DATA));
    const QStringList fixtures = data.entryList({"*.vcf"}, QDir::Files);
    ASSERT_GE(fixtures.size(), 4);
    for (const QString& name : fixtures) {
        SCOPED_TRACE(name.toStdString());
        const VCard::ParseResult parsed = VCard::parse(readAll(data.filePath(name)));
        ASSERT_TRUE(parsed.card) << parsed.error.toStdString();
        const QByteArray written = parsed.card->serialize();
        EXPECT_EQ(written, readAll(data.filePath(name + QStringLiteral(".ref"))));
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
        card.properties = {{{}, "NOTE", {{"TYPE", {"x"}}}, value, {}}};
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

// Each file of data/bad, and a megabyte line without a colon, is refused with a reason.
TEST(ContactVCard, MalformedInputIsRefusedWithAReason)
{
    const QDir bad(QStringLiteral(BRINDLE_TEST_DATA "/bad"));
    QList<QByteArray> inputs{"BEGIN:VCARD\r\n" + QByteArray(1 << 20, 'x') + "\r\nEND:VCARD\r\n"};
    for (const QString& name : bad.entryList(QDir::Files)) {
        inputs << readAll(bad.filePath(name));
    }
    ASSERT_GE(inputs.size(), 10);
    for (const QByteArray& bytes : inputs) {
        const VCard::ParseResult parsed = VCard::parse(bytes);
        EXPECT_FALSE(parsed.card) << bytes.left(60).toStdString();
        EXPECT_FALSE(parsed.error.isEmpty()) << bytes.left(60).toStdString();
    }
}

// Whatever a program put into a property, the writer never writes a line
// break or control character that would add a line or make the file unreadable.
TEST(ContactVCard, WrittenFileHoldsAsManyPropertiesWhateverTheyHold)
{
    const QString evil = QStringLiteral("x\"\r\nEMAIL:evil@x.org\n\x1b]0;t\x07");
    const std::pair<const char*, VCardProperty> cases[] = {
        {"value", {{}, "NOTE", {}, evil, {}}},
        {"group", {evil, "NOTE", {}, "a", {}}},
        {"name", {{}, "NOTE" + evil, {}, "a", {}}},
        {"parameter name", {{}, "NOTE", {{evil, {"a"}}}, "a", {}}},
        {"parameter value", {{}, "NOTE", {{"X-A", {evil, "b"}}}, "a", {}}},
    };
    for (const auto& [what, property] : cases) {
        for (const char* version : {"3.0", "4.0"}) {
            SCOPED_TRACE(std::string(what) + " " + version);
            VCard card;
            card.version = version;
            card.properties = {property, {{}, "FN", {}, "Jo", {}}};
            const QByteArray written = card.serialize();
            EXPECT_FALSE(written.contains('\x1b')) << written.toStdString();
            const VCard::ParseResult parsed = VCard::parse(written);
            ASSERT_TRUE(parsed.card) << parsed.error.toStdString() << written.toStdString();
            EXPECT_EQ(parsed.card->properties.size(), 2) << written.toStdString();
            EXPECT_EQ(parsed.card->properties.value(1).value, "Jo");
        }
    }
}

} // namespace
} // namespace contacts::test
