#include "sources/SourceFactory.h"

#include "document/VideoDocument.h"
#include "sources/avi/AviSource.h"
#include "sources/bvf/BvfSource.h"
#include "sources/svf/SvfSource.h"

#include <QFileInfo>

namespace {

using OpenFunction = std::unique_ptr<FrameSource> (*)(const QString& path, QString* error);

struct Reader {
    const char* extension; // upper case, with the dot
    OpenFunction open;
};

const Reader kReaders[] = {
    {".BVF", [](const QString& path, QString* error) -> std::unique_ptr<FrameSource> { return OpenBvfSource(path, error); }},
    {".AVI", [](const QString& path, QString* error) -> std::unique_ptr<FrameSource> { return OpenAviSource(path, error); }},
    {".SVF", [](const QString& path, QString* error) -> std::unique_ptr<FrameSource> { return OpenSvfSource(path, error); }},
};

QString extensionOf(const QString& fileName)
{
    const QString suffix = QFileInfo(fileName).suffix();
    return suffix.isEmpty() ? QString() : QStringLiteral(".") + suffix;
}

const Reader* readerFor(const QString& fileName)
{
    const QString ext = extensionOf(fileName).toUpper();
    for (const Reader& reader : kReaders)
        if (ext == QLatin1String(reader.extension))
            return &reader;
    return nullptr;
}

} // namespace

bool IsSupportedRecording(const QString& fileName)
{
    return readerFor(fileName) != nullptr;
}

bool OpenRecordingFile(VideoDocument& document, const QString& fileName, QString* error,
                       const LocateFileFunction& locate)
{
    const QString ext = extensionOf(fileName);
    const Reader* reader = readerFor(fileName);
    if (!reader) {
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
    std::unique_ptr<FrameSource> source = reader->open(path, &readerError);
    if (!source) {
        if (error)
            *error = readerError.isEmpty() ? QStringLiteral("Cannot open %1").arg(path) : readerError;
        return false;
    }
    document.AttachSource(std::move(source), QFileInfo(path).absoluteFilePath());
    if (const auto* avi = dynamic_cast<const AviSource*>(document.Source()))
        document.HasInfoChunk = avi->hasInfoChunk();
    return true;
}
