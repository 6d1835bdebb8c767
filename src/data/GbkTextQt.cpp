#include "data/GbkText.h"

#include <QStringDecoder>
#include <QStringEncoder>

// Qt's ICU codecs: GB18030 reads every GBK byte sequence as code page 936
// does and adds the four-byte forms.
namespace realm {

QString decodeGbk(QByteArrayView bytes)
{
    QStringDecoder gbk("GB18030");
    return gbk.decode(bytes);
}

QByteArray encodeGbk(QStringView text)
{
    QStringEncoder gbk("GB18030");
    return gbk.encode(text);
}

} // namespace realm
