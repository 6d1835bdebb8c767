#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <functional>
#include <vector>

class QIODevice;

namespace realm::spreadsheet {

// What a zip entry's headers say of its deflated data.
struct DeflatedEntry {
    quint32 crc = 0;
    quint64 size = 0;
    quint64 deflatedSize = 0;
};

// A zip file written front to back into a device: deflated entries, then
// the central directory. Zip64 records are written where a size or an
// offset needs more than 32 bits.
class ZipPacker {
public:
    explicit ZipPacker(QIODevice &out);

    // An entry deflated whole from memory.
    void add(const QByteArray &name, QByteArrayView content);
    // An entry already deflated, whose bytes `writeData` writes to the
    // device (false if it could not).
    void addDeflated(const QByteArray &name, const DeflatedEntry &entry, const std::function<bool(QIODevice &)> &writeData);
    // Writes the central directory; false if any write failed.
    bool finish();

private:
    struct Placed {
        QByteArray name;
        DeflatedEntry data;
        quint64 offset = 0;
    };

    void write(const QByteArray &bytes);
    QByteArray centralDirectory() const;
    QByteArray endRecords(quint64 directoryOffset, quint64 directorySize) const;

    QIODevice &m_out;
    quint64 m_offset = 0;
    std::vector<Placed> m_entries;
    quint16 m_dosTime = 0;
    quint16 m_dosDate = 0;
    bool m_good = true;
};

} // namespace realm::spreadsheet
