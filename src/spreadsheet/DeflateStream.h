#pragma once

#include <QtGlobal>

#include <zlib.h>

#include <string_view>
#include <vector>

class QIODevice;

namespace realm::spreadsheet {

// Bytes deflated (raw, without zlib's header: as a zip entry holds them)
// into a device, with the CRC-32 and the length of what went in.
class DeflateStream {
public:
    DeflateStream(QIODevice &out, int level);
    ~DeflateStream();
    DeflateStream(const DeflateStream &) = delete;
    DeflateStream &operator=(const DeflateStream &) = delete;

    void write(std::string_view bytes);
    // Ends the stream with its final block.
    void finish();
    // Ends what was written on a byte boundary without a final block, so
    // that another raw stream may follow it in the same entry.
    void syncFlush();

    // False once zlib or a write to the device failed.
    bool good() const { return m_good; }
    quint32 crc() const { return m_crc; }
    quint64 size() const { return m_size; }
    quint64 deflatedSize() const { return m_deflatedSize; }

private:
    void deflateAll(int flush);
    void writeOut();

    z_stream m_zlib{};
    QIODevice &m_out;
    std::vector<unsigned char> m_buffer;
    bool m_good = false;
    quint32 m_crc = 0;
    quint64 m_size = 0;
    quint64 m_deflatedSize = 0;
};

// The CRC-32 of two byte runs one after the other, from the CRC-32 of each.
quint32 crcOfJoined(quint32 firstCrc, quint32 secondCrc, quint64 secondSize);

} // namespace realm::spreadsheet
