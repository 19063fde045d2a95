#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringEncoder>
#include <QtEndian>

namespace brindle::test {

// A small Windows executable made byte by byte: headers, one resource
// section and a version resource, with switches that break one part each.
struct PeFile
{
    quint16 version[4] = {15, 2, 1, 3};
    bool pe32Plus = false;
    bool withResourceDirectory = true;
    quint32 resourceType = 16; // RT_VERSION
    quint32 signature = 0xFEEF04BD;
    quint16 fixedInfoLength = 52;
    bool loopingDirectory = false; // the name level points back at the root
    qsizetype truncateTo = -1;

    void writeTo(const QString& path) const
    {
        constexpr int peOffset = 0x40;
        constexpr int rawOffset = 0x200;
        constexpr quint32 sectionRva = 0x1000;
        const int optionalSize = pe32Plus ? 240 : 224;
        QByteArray image(rawOffset, '\0');
        put16(image, 0, 0x5a4d); // "MZ"
        put32(image, 0x3c, peOffset);
        image.replace(peOffset, 4, QByteArray("PE\0\0", 4));
        const int coff = peOffset + 4;
        put16(image, coff, pe32Plus ? 0x8664 : 0x14c);
        put16(image, coff + 2, 1);
        put16(image, coff + 16, quint16(optionalSize));
        const int optional = coff + 20;
        put16(image, optional, pe32Plus ? 0x20b : 0x10b);
        const int countAt = optional + (pe32Plus ? 108 : 92);
        put32(image, countAt, withResourceDirectory ? 16 : 2);
        const QByteArray section = resourceSection(sectionRva);
        put32(image, countAt + 4 + 8 * 2, sectionRva);
        put32(image, countAt + 4 + 8 * 2 + 4, quint32(section.size()));
        const int header = optional + optionalSize;
        image.replace(header, 8, QByteArray(".rsrc\0\0\0", 8));
        put32(image, header + 8, quint32(section.size()));
        put32(image, header + 12, sectionRva);
        put32(image, header + 16, quint32(section.size()));
        put32(image, header + 20, rawOffset);
        image += section;
        QFile file(path);
        if (file.open(QIODevice::WriteOnly)) {
            file.write(truncateTo >= 0 ? image.left(truncateTo) : image);
        }
    }

private:
    static void put16(QByteArray& a, int at, quint16 v) { qToLittleEndian(v, a.data() + at); }
    static void put32(QByteArray& a, int at, quint32 v) { qToLittleEndian(v, a.data() + at); }

    // Root (type) -> name -> language -> data entry -> VS_VERSIONINFO.
    QByteArray resourceSection(quint32 sectionRva) const
    {
        QByteArray s(0x58, '\0');
        const auto directory = [&s](int at, quint32 id, quint32 offset) {
            put16(s, at + 14, 1);
            put32(s, at + 16, id);
            put32(s, at + 20, offset);
        };
        directory(0x00, resourceType, 0x80000000 | 0x18);
        directory(0x18, 1, 0x80000000 | (loopingDirectory ? 0x00 : 0x30));
        directory(0x30, 0x409, 0x48);
        const QByteArray info = versionInfo();
        put32(s, 0x48, sectionRva + 0x58);
        put32(s, 0x4c, quint32(info.size()));
        return s + info;
    }

    QByteArray versionInfo() const
    {
        QByteArray info(40 + 52, '\0');
        put16(info, 0, quint16(info.size()));
        put16(info, 2, fixedInfoLength);
        const QByteArray key = QStringEncoder(QStringEncoder::Utf16LE).encode(u"VS_VERSION_INFO");
        info.replace(6, key.size(), key);
        put32(info, 40, signature);
        put32(info, 48, quint32(version[0]) << 16 | version[1]);
        put32(info, 52, quint32(version[2]) << 16 | version[3]);
        return info;
    }
};

} // namespace brindle::test
