#include "FileVersion.h"

#include <QFile>
#include <QtEndian>
#include <optional>

namespace brindle {

namespace {

// Bounds-checked little-endian reads over the mapped file.
class Image
{
public:
    Image(const uchar* data, qint64 size) : m_data(data), m_size(size) {}

    std::optional<quint16> word(qint64 offset) const
    {
        if (!fits(offset, 2)) {
            return std::nullopt;
        }
        return qFromLittleEndian<quint16>(m_data + offset);
    }
    std::optional<quint32> dword(qint64 offset) const
    {
        if (!fits(offset, 4)) {
            return std::nullopt;
        }
        return qFromLittleEndian<quint32>(m_data + offset);
    }
    bool startsWith(qint64 offset, QByteArrayView bytes) const
    {
        return fits(offset, bytes.size()) && QByteArrayView(m_data + offset, bytes.size()) == bytes;
    }

private:
    bool fits(qint64 offset, qint64 length) const
    {
        return offset >= 0 && length >= 0 && offset <= m_size - length;
    }

    const uchar* m_data;
    qint64 m_size;
};

struct Section
{
    quint32 virtualAddress;
    quint32 rawSize;
    quint32 rawOffset;
};

// The parts of the headers the version search needs.
struct Headers
{
    quint32 resourceRva = 0;
    QList<Section> sections;

    std::optional<qint64> fileOffset(quint32 rva) const
    {
        for (const Section& section : sections) {
            if (rva >= section.virtualAddress && rva - section.virtualAddress < section.rawSize) {
                return qint64(section.rawOffset) + (rva - section.virtualAddress);
            }
        }
        return std::nullopt;
    }
};

std::optional<Headers> readHeaders(const Image& image)
{
    constexpr quint16 pe32Magic = 0x10b;
    constexpr quint16 pe32PlusMagic = 0x20b;
    constexpr quint32 resourceDirectory = 2;
    const auto peOffset = image.dword(0x3c);
    if (!image.startsWith(0, "MZ") || !peOffset || !image.startsWith(*peOffset, {"PE\0\0", 4})) {
        return std::nullopt;
    }
    const qint64 coff = qint64(*peOffset) + 4;
    const auto sectionCount = image.word(coff + 2);
    const auto optionalSize = image.word(coff + 16);
    const qint64 optional = coff + 20;
    const auto magic = image.word(optional);
    if (!sectionCount || !optionalSize || !magic) {
        return std::nullopt;
    }
    if (*magic != pe32Magic && *magic != pe32PlusMagic) {
        return std::nullopt;
    }
    const qint64 directoryCountAt = optional + (*magic == pe32Magic ? 92 : 108);
    const auto directoryCount = image.dword(directoryCountAt);
    if (!directoryCount || *directoryCount <= resourceDirectory) {
        return std::nullopt;
    }
    Headers headers;
    const auto resourceRva = image.dword(directoryCountAt + 4 + 8 * resourceDirectory);
    if (!resourceRva || *resourceRva == 0) {
        return std::nullopt;
    }
    headers.resourceRva = *resourceRva;
    const qint64 table = optional + *optionalSize;
    for (quint16 i = 0; i < *sectionCount; ++i) {
        const qint64 entry = table + 40 * qint64(i);
        const auto address = image.dword(entry + 12);
        const auto rawSize = image.dword(entry + 16);
        const auto rawOffset = image.dword(entry + 20);
        if (!address || !rawSize || !rawOffset) {
            return std::nullopt;
        }
        headers.sections.append({*address, *rawSize, *rawOffset});
    }
    return headers;
}

// The offset field of the first entry of a resource directory that
// matches: a given id, or (id empty) any entry of the wanted kind.
std::optional<quint32> findEntry(const Image& image, qint64 directory, std::optional<quint32> id,
                                 bool wantSubdirectory)
{
    constexpr quint32 subdirectoryBit = 0x80000000;
    const auto named = image.word(directory + 12);
    const auto numbered = image.word(directory + 14);
    if (!named || !numbered) {
        return std::nullopt;
    }
    const int count = *named + *numbered;
    for (int i = 0; i < count; ++i) {
        const qint64 entry = directory + 16 + 8 * qint64(i);
        const auto name = image.dword(entry);
        const auto offset = image.dword(entry + 4);
        if (!name || !offset) {
            return std::nullopt;
        }
        const bool isSubdirectory = (*offset & subdirectoryBit) != 0;
        if (isSubdirectory == wantSubdirectory && (!id || *name == *id)) {
            return *offset & ~subdirectoryBit;
        }
    }
    return std::nullopt;
}

// VS_VERSIONINFO: its key, then the fixed file information on a 32-bit boundary.
QString fixedFileVersion(const Image& image, qint64 info)
{
    constexpr quint32 fixedInfoSignature = 0xFEEF04BD;
    const auto valueLength = image.word(info + 2);
    const QByteArray key = QByteArray("V\0S\0_\0V\0E\0R\0S\0I\0O\0N\0_\0I\0N\0F\0O\0\0\0", 32);
    if (!valueLength || *valueLength < 52 || !image.startsWith(info + 6, key)) {
        return {};
    }
    const qint64 fixed = info + 40;
    const auto signature = image.dword(fixed);
    const auto high = image.dword(fixed + 8);
    const auto low = image.dword(fixed + 12);
    if (!signature || *signature != fixedInfoSignature || !high || !low) {
        return {};
    }
    return QStringLiteral("%1.%2.%3.%4")
        .arg(*high >> 16)
        .arg(*high & 0xffff)
        .arg(*low >> 16)
        .arg(*low & 0xffff);
}

QString versionOf(const Image& image)
{
    constexpr quint32 versionResourceType = 16;
    const std::optional<Headers> headers = readHeaders(image);
    if (!headers) {
        return {};
    }
    const auto root = headers->fileOffset(headers->resourceRva);
    if (!root) {
        return {};
    }
    // Type, then name, then language; the first version resource found.
    // Offsets inside the resource section count from its root directory.
    const auto names = findEntry(image, *root, versionResourceType, true);
    const auto languages = names ? findEntry(image, *root + *names, {}, true) : std::nullopt;
    const auto leaf = languages ? findEntry(image, *root + *languages, {}, false) : std::nullopt;
    const auto dataRva = leaf ? image.dword(*root + *leaf) : std::nullopt;
    const auto info = dataRva ? headers->fileOffset(*dataRva) : std::nullopt;
    return info ? fixedFileVersion(image, *info) : QString();
}

} // namespace

QString fileVersion(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() == 0) {
        return {};
    }
    const uchar* data = file.map(0, file.size());
    if (!data) {
        return {};
    }
    return versionOf(Image(data, file.size()));
}

} // namespace brindle
