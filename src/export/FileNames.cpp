#include "export/FileNames.h"

#include <QFileInfo>
#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace {

int DigitCount(int64_t value)
{
    int digits = 1;
    for (value = std::llabs(value); value >= 10; value /= 10)
        ++digits;
    return digits;
}

// Index of the first character of the name part (after the last separator).
qsizetype NamePartStart(const QString& fileName)
{
    qsizetype slash = fileName.lastIndexOf(QLatin1Char('/'));
#ifdef Q_OS_WIN
    slash = std::max(slash, fileName.lastIndexOf(QLatin1Char('\\')));
#endif
    return slash + 1;
}

} // namespace

QString NumberText(int n, int first, int last)
{
    const int width = std::max(DigitCount(first), DigitCount(last));
    const QString digits = QString::number(std::llabs(int64_t(n)));
    QString text;
    if (n < 0)
        text += QLatin1Char('-');
    text += QString(std::max<qsizetype>(0, width - digits.size()), QLatin1Char('0'));
    text += digits;
    return text;
}

bool IsValidFileName(const QString& fileName, bool mustExist)
{
    const qsizetype start = NamePartStart(fileName);
    const QString name = fileName.mid(start);
    if (name.isEmpty() || name.size() > 255)
        return false;
    static const QString forbidden = QStringLiteral("\\/:*?<>|\"");
    for (QChar c : name) {
        if (forbidden.contains(c))
            return false;
    }
    const QString folder = fileName.left(start);
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return false;
    const QFileInfo file(fileName);
    if (file.isDir())
        return false;
    return !mustExist || file.exists();
}

QString FileExtension(const QString& fileName)
{
    const qsizetype start = NamePartStart(fileName);
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    if (dot < start)
        return QString();
    return fileName.mid(dot);
}

QString FileBaseName(const QString& fileName)
{
    return fileName.left(fileName.size() - FileExtension(fileName).size());
}

QString FileFolder(const QString& fileName)
{
    return fileName.left(NamePartStart(fileName));
}
