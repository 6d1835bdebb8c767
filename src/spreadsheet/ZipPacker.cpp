#include "spreadsheet/ZipPacker.h"

#include "spreadsheet/DeflateStream.h"

#include <QBuffer>
#include <QDateTime>

#include <algorithm>

namespace realm::spreadsheet {

namespace {

constexpr quint32 LocalHeaderSignature = 0x04034b50;
constexpr quint32 CentralHeaderSignature = 0x02014b50;
constexpr quint32 EndSignature = 0x06054b50;
constexpr quint32 Zip64EndSignature = 0x06064b50;
constexpr quint32 Zip64LocatorSignature = 0x07064b50;
constexpr quint16 Zip64ExtraTag = 0x0001;
// The versions of the zip format that deflate and zip64 need.
constexpr quint16 DeflateVersion = 20;
constexpr quint16 Zip64Version = 45;
constexpr quint16 Deflated = 8;
// A 32-bit field at this value says that the zip64 extra field holds it.
constexpr quint32 InZip64 = 0xFFFFFFFF;
constexpr quint64 Zip64EndRecordRest = 44;

class LittleEndian {
public:
    LittleEndian &u16(quint16 value) { return bytes(value, 2); }
    LittleEndian &u32(quint32 value) { return bytes(value, 4); }
    LittleEndian &u64(quint64 value) { return bytes(value, 8); }
    LittleEndian &raw(const QByteArray &bytes)
    {
        m_bytes += bytes;
        return *this;
    }
    const QByteArray &result() const { return m_bytes; }

private:
    LittleEndian &bytes(quint64 value, int count)
    {
        for (int i = 0; i < count; ++i)
            m_bytes += char((value >> (8 * i)) & 0xFF);
        return *this;
    }
    QByteArray m_bytes;
};

bool needsZip64(quint64 value)
{
    return value >= InZip64;
}

bool sizesNeedZip64(const DeflatedEntry &entry)
{
    return needsZip64(entry.size) || needsZip64(entry.deflatedSize);
}

quint32 field32(quint64 value)
{
    return needsZip64(value) ? InZip64 : quint32(value);
}

QByteArray localHeader(const QByteArray &name, const DeflatedEntry &entry, quint16 time, quint16 date)
{
    const bool zip64 = sizesNeedZip64(entry);
    LittleEndian extra;
    if (zip64)
        extra.u16(Zip64ExtraTag).u16(16).u64(entry.size).u64(entry.deflatedSize);
    LittleEndian header;
    header.u32(LocalHeaderSignature).u16(zip64 ? Zip64Version : DeflateVersion).u16(0).u16(Deflated).u16(time).u16(date);
    header.u32(entry.crc).u32(zip64 ? InZip64 : quint32(entry.deflatedSize)).u32(zip64 ? InZip64 : quint32(entry.size));
    header.u16(quint16(name.size())).u16(quint16(extra.result().size())).raw(name).raw(extra.result());
    return header.result();
}

// The fields a central directory header could not hold, in the order the
// zip64 extra field lists them.
QByteArray zip64Extra(const DeflatedEntry &entry, quint64 offset)
{
    LittleEndian values;
    if (needsZip64(entry.size))
        values.u64(entry.size);
    if (needsZip64(entry.deflatedSize))
        values.u64(entry.deflatedSize);
    if (needsZip64(offset))
        values.u64(offset);
    if (values.result().isEmpty())
        return {};
    return LittleEndian().u16(Zip64ExtraTag).u16(quint16(values.result().size())).raw(values.result()).result();
}

QByteArray deflatedWhole(QByteArrayView content, quint64 &deflatedSize)
{
    QByteArray deflated;
    QBuffer buffer(&deflated);
    buffer.open(QIODevice::WriteOnly);
    DeflateStream stream(buffer, Z_DEFAULT_COMPRESSION);
    stream.write({content.data(), std::size_t(content.size())});
    stream.finish();
    deflatedSize = stream.deflatedSize();
    return deflated;
}

} // namespace

ZipPacker::ZipPacker(QIODevice &out)
    : m_out(out)
{
    const QDateTime now = QDateTime::currentDateTime();
    const QDate date = now.date();
    const QTime time = now.time();
    m_dosDate = quint16(((std::max(date.year(), 1980) - 1980) << 9) | (date.month() << 5) | date.day());
    m_dosTime = quint16((time.hour() << 11) | (time.minute() << 5) | (time.second() / 2));
}

void ZipPacker::write(const QByteArray &bytes)
{
    if (m_good)
        m_good = m_out.write(bytes) == bytes.size();
    m_offset += quint64(bytes.size());
}

void ZipPacker::add(const QByteArray &name, QByteArrayView content)
{
    DeflatedEntry entry;
    entry.crc = quint32(crc32(0, reinterpret_cast<const Bytef *>(content.data()), uInt(content.size())));
    entry.size = quint64(content.size());
    const QByteArray deflated = deflatedWhole(content, entry.deflatedSize);
    addDeflated(name, entry, [&](QIODevice &out) { return out.write(deflated) == deflated.size(); });
}

void ZipPacker::addDeflated(const QByteArray &name, const DeflatedEntry &entry, const std::function<bool(QIODevice &)> &writeData)
{
    m_entries.push_back({name, entry, m_offset});
    write(localHeader(name, entry, m_dosTime, m_dosDate));
    if (m_good)
        m_good = writeData(m_out);
    m_offset += entry.deflatedSize;
}

QByteArray ZipPacker::centralDirectory() const
{
    LittleEndian directory;
    for (const Placed &placed : m_entries) {
        const DeflatedEntry &entry = placed.data;
        const QByteArray extra = zip64Extra(entry, placed.offset);
        const quint16 version = extra.isEmpty() ? DeflateVersion : Zip64Version;
        directory.u32(CentralHeaderSignature).u16(Zip64Version).u16(version).u16(0).u16(Deflated);
        directory.u16(m_dosTime).u16(m_dosDate).u32(entry.crc).u32(field32(entry.deflatedSize)).u32(field32(entry.size));
        directory.u16(quint16(placed.name.size())).u16(quint16(extra.size())).u16(0).u16(0).u16(0).u32(0);
        directory.u32(field32(placed.offset)).raw(placed.name).raw(extra);
    }
    return directory.result();
}

QByteArray ZipPacker::endRecords(quint64 directoryOffset, quint64 directorySize) const
{
    const auto count = quint64(m_entries.size());
    LittleEndian records;
    if (needsZip64(directoryOffset) || needsZip64(directorySize)) {
        const quint64 recordOffset = directoryOffset + directorySize;
        records.u32(Zip64EndSignature).u64(Zip64EndRecordRest).u16(Zip64Version).u16(Zip64Version).u32(0).u32(0);
        records.u64(count).u64(count).u64(directorySize).u64(directoryOffset);
        records.u32(Zip64LocatorSignature).u32(0).u64(recordOffset).u32(1);
    }
    records.u32(EndSignature).u16(0).u16(0).u16(quint16(count)).u16(quint16(count));
    records.u32(field32(directorySize)).u32(field32(directoryOffset)).u16(0);
    return records.result();
}

bool ZipPacker::finish()
{
    const quint64 directoryOffset = m_offset;
    const QByteArray directory = centralDirectory();
    write(directory);
    write(endRecords(directoryOffset, quint64(directory.size())));
    return m_good;
}

} // namespace realm::spreadsheet
