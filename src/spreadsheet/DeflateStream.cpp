#include "spreadsheet/DeflateStream.h"

#include <QIODevice>

#include <algorithm>

namespace realm::spreadsheet {

namespace {

// Large writes: the device sees few calls, and zlib fills the buffer in
// long runs.
constexpr std::size_t OutputBufferSize = 1 << 20;
// zlib's lengths are 32 bits wide.
constexpr std::size_t LargestInput = 1 << 30;
// Raw deflate, zlib's largest window and its default memory level.
constexpr int RawWindowBits = -15;
constexpr int MemoryLevel = 8;

} // namespace

DeflateStream::DeflateStream(QIODevice &out, int level)
    : m_out(out), m_buffer(OutputBufferSize)
{
    m_good = deflateInit2(&m_zlib, level, Z_DEFLATED, RawWindowBits, MemoryLevel, Z_DEFAULT_STRATEGY) == Z_OK;
    m_zlib.next_out = m_buffer.data();
    m_zlib.avail_out = uInt(m_buffer.size());
    m_crc = quint32(crc32(0, nullptr, 0));
}

DeflateStream::~DeflateStream()
{
    deflateEnd(&m_zlib);
}

void DeflateStream::write(std::string_view bytes)
{
    while (m_good && !bytes.empty()) {
        const std::size_t step = std::min(bytes.size(), LargestInput);
        const auto *input = reinterpret_cast<const Bytef *>(bytes.data());
        m_crc = quint32(crc32(m_crc, input, uInt(step)));
        m_size += step;
        m_zlib.next_in = const_cast<Bytef *>(input);
        m_zlib.avail_in = uInt(step);
        deflateAll(Z_NO_FLUSH);
        bytes.remove_prefix(step);
    }
}

void DeflateStream::finish()
{
    deflateAll(Z_FINISH);
    writeOut();
}

void DeflateStream::syncFlush()
{
    deflateAll(Z_SYNC_FLUSH);
    writeOut();
}

// Until zlib took all input and, when flushing, left room in the buffer:
// a full buffer may hold back more of the flush.
void DeflateStream::deflateAll(int flush)
{
    while (m_good) {
        const int result = deflate(&m_zlib, flush);
        if (result == Z_STREAM_ERROR) {
            m_good = false;
            return;
        }
        if (m_zlib.avail_out == 0)
            writeOut();
        else if (m_zlib.avail_in == 0 && (flush != Z_FINISH || result == Z_STREAM_END))
            return;
    }
}

void DeflateStream::writeOut()
{
    const auto used = qint64(m_buffer.size() - m_zlib.avail_out);
    if (m_good && used > 0) {
        m_good = m_out.write(reinterpret_cast<const char *>(m_buffer.data()), used) == used;
        m_deflatedSize += quint64(used);
    }
    m_zlib.next_out = m_buffer.data();
    m_zlib.avail_out = uInt(m_buffer.size());
}

// zlib takes the second run's length as a z_off_t, which has 32 bits on
// Windows: a longer run is shifted over in steps. A CRC-32 with nothing
// after it, shifted over a run, joins with that run's CRC-32 by xor.
quint32 crcOfJoined(quint32 firstCrc, quint32 secondCrc, quint64 secondSize)
{
    uLong shifted = firstCrc;
    while (secondSize > 0) {
        const quint64 step = std::min<quint64>(secondSize, LargestInput);
        shifted = crc32_combine(shifted, 0, z_off_t(step));
        secondSize -= step;
    }
    return quint32(shifted) ^ secondCrc;
}

} // namespace realm::spreadsheet
