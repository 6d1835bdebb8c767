#include "data/RegularFile.h"

#include <QDir>

#include <windows.h>

namespace realm {

// The C library's rename refuses an existing target on Windows; a file
// system move replaces it in one step on the same volume.
bool replaceFile(const QString &from, const QString &to)
{
    const std::wstring source = QDir::toNativeSeparators(from).toStdWString();
    const std::wstring target = QDir::toNativeSeparators(to).toStdWString();
    return MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

} // namespace realm
