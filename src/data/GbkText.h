#pragma once

#include <QByteArray>
#include <QString>

namespace realm {

// GBK text as the settings file holds it on Chinese Windows (code page 936),
// to and from Unicode; bytes that are no GBK text become a replacement
// character.
QString decodeGbk(QByteArrayView bytes);
QByteArray encodeGbk(QStringView text);

} // namespace realm
