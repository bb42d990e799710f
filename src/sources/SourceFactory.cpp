#include "sources/SourceFactory.h"

#include "document/VideoDocument.h"

#include <QFileInfo>

#ifdef QOR_HAVE_BVF
#include "sources/bvf/BvfSource.h"
#endif
#ifdef QOR_HAVE_AVI
#include "sources/avi/AviSource.h"
#endif

namespace {

QString extensionOf(const QString& fileName)
{
    const QString suffix = QFileInfo(fileName).suffix();
    return suffix.isEmpty() ? QString() : QStringLiteral(".") + suffix;
}

std::unique_ptr<FrameSource> openByKind(const QString& upperExt, const QString& path, QString* error)
{
#ifdef QOR_HAVE_BVF
    if (upperExt == QLatin1String(".BVF"))
        return OpenBvfSource(path, error);
#endif
#ifdef QOR_HAVE_AVI
    if (upperExt == QLatin1String(".AVI"))
        return OpenAviSource(path, error);
#endif
    (void)path;
    if (error)
        *error = QStringLiteral("%1 files are not currently supported").arg(upperExt);
    return nullptr;
}

} // namespace

bool IsSupportedRecording(const QString& fileName)
{
    const QString ext = extensionOf(fileName).toUpper();
#ifdef QOR_HAVE_BVF
    if (ext == QLatin1String(".BVF"))
        return true;
#endif
#ifdef QOR_HAVE_AVI
    if (ext == QLatin1String(".AVI"))
        return true;
#endif
    return false;
}

bool OpenRecordingFile(VideoDocument& document, const QString& fileName, QString* error,
                       const LocateFileFunction& locate)
{
    const QString ext = extensionOf(fileName);
    if (!IsSupportedRecording(fileName)) {
        if (error)
            *error = QStringLiteral("%1 files are not currently supported").arg(ext);
        return false;
    }
    QString path = fileName;
    if (!QFileInfo::exists(path) && locate)
        path = locate(fileName, ext.mid(1).toUpper());
    if (path.isEmpty() || !QFileInfo::exists(path)) {
        if (error)
            *error = QStringLiteral("File does not exist : %1").arg(path.isEmpty() ? fileName : path);
        return false;
    }
    QString readerError;
    std::unique_ptr<FrameSource> source = openByKind(ext.toUpper(), path, &readerError);
    if (!source) {
        if (error)
            *error = readerError.isEmpty() ? QStringLiteral("Cannot open %1").arg(path) : readerError;
        return false;
    }
    document.AttachSource(std::move(source), QFileInfo(path).absoluteFilePath());
    return true;
}
