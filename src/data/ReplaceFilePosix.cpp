#include "data/RegularFile.h"

#include <QFile>

#include <cstdio>

namespace realm {

bool replaceFile(const QString &from, const QString &to)
{
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

} // namespace realm
