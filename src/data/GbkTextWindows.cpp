#include "data/GbkText.h"

#include <windows.h>

// Without ICU, Qt knows no GBK codec on Windows: the system's own code page
// 936 tables convert, as GetPrivateProfileStringA on a Chinese Windows reads.
namespace realm {

namespace {

constexpr UINT GbkCodePage = 936;

} // namespace

QString decodeGbk(QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return {};
    const int size = int(bytes.size());
    const int length = MultiByteToWideChar(GbkCodePage, 0, bytes.data(), size, nullptr, 0);
    QString text(length, Qt::Uninitialized);
    MultiByteToWideChar(GbkCodePage, 0, bytes.data(), size, reinterpret_cast<wchar_t *>(text.data()), length);
    return text;
}

QByteArray encodeGbk(QStringView text)
{
    if (text.isEmpty())
        return {};
    const auto *wide = reinterpret_cast<const wchar_t *>(text.utf16());
    const int size = int(text.size());
    const int length = WideCharToMultiByte(GbkCodePage, 0, wide, size, nullptr, 0, nullptr, nullptr);
    QByteArray bytes(length, Qt::Uninitialized);
    WideCharToMultiByte(GbkCodePage, 0, wide, size, bytes.data(), length, nullptr, nullptr);
    return bytes;
}

} // namespace realm
