#include "export/ExportRange.h"

#include "document/VideoDocument.h"
#include "export/DpxWriter.h"
#include "export/FileNames.h"
#include "export/FramePipeline.h"
#include "export/ImageFileWriters.h"
#include "sources/avi/AviErrors.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>
#include <QFile>
#include <climits>
#include <cstring>
#include <memory>
#include <vector>

ExportKind ExportKindForFilter(int filterIndex)
{
    switch (filterIndex) {
    case 1: return ExportKind::Avi;
    case 2: return ExportKind::Tiff;
    case 3: return ExportKind::Jpeg;
    case 4: return ExportKind::Bmp;
    case 5: return ExportKind::Dpx;
    case 6: return ExportKind::GreyAvi;
    case 7: return ExportKind::MultiPageTiff;
    default: return ExportKind::None;
    }
}

QString ExportFormatText(ExportKind kind)
{
    switch (kind) {
    case ExportKind::Avi:
    case ExportKind::GreyAvi: return QStringLiteral("Windows AVI");
    case ExportKind::Tiff: return QStringLiteral("TIFF");
    case ExportKind::Jpeg: return QStringLiteral("JPEG");
    case ExportKind::Bmp: return QStringLiteral("Windows Bitmap");
    case ExportKind::Dpx: return QStringLiteral("Digital Picture Exchange");
    case ExportKind::MultiPageTiff: return QStringLiteral("Multipage TIFF");
    case ExportKind::None: break;
    }
    return QString();
}

QString ExportTargetFile(ExportKind kind, const QString& fileName)
{
    switch (kind) {
    case ExportKind::Avi:
    case ExportKind::GreyAvi:
        // The chosen name when it already is an AVI name (in any letter
        // case), so that exactly the file the user picked is written.
        if (FileExtension(fileName).compare(QLatin1String(".avi"), Qt::CaseInsensitive) == 0)
            return fileName;
        return FileBaseName(fileName) + QStringLiteral(".AVI");
    case ExportKind::MultiPageTiff:
        return fileName + QStringLiteral(".tif");
    default:
        return QString();
    }
}

QString ExportSequenceFile(ExportKind kind, const QString& fileName, int frame, int firstFrame, int lastFrame)
{
    QString extension;
    switch (kind) {
    case ExportKind::Tiff: extension = QStringLiteral(".tif"); break;
    case ExportKind::Jpeg: extension = QStringLiteral(".jpg"); break;
    case ExportKind::Bmp: extension = QStringLiteral(".bmp"); break;
    case ExportKind::Dpx: extension = QStringLiteral(".dpx"); break;
    default: return QString();
    }
    return FileBaseName(fileName) + NumberText(frame, firstFrame, lastFrame) + extension;
}

QString RangeIndexText(int index, int count)
{
    const int width = int(QString::number(std::max(count - 1, 0)).size());
    return QStringLiteral("%1").arg(index, width, 10, QLatin1Char('0'));
}

namespace {

int RangeLastOf(const ExportRequest& request)
{
    return std::max(request.rangeLast, request.rangeFirst);
}

bool IsAviKind(ExportKind kind)
{
    return kind == ExportKind::Avi || kind == ExportKind::GreyAvi;
}

} // namespace

QString ExportSequenceFile(const ExportRequest& request, int frame, int firstFrame, int lastFrame)
{
    const ExportKind kind = ExportKindForFilter(request.filterIndex);
    if (request.numbering == FileNumbering::FrameNumber)
        return ExportSequenceFile(kind, request.fileName, frame, firstFrame, lastFrame);
    const QString byFrame = ExportSequenceFile(kind, request.fileName, 0, 0, 0);
    if (byFrame.isEmpty())
        return QString();
    const QString extension = FileExtension(byFrame);
    const int64_t count = int64_t(RangeLastOf(request)) - request.rangeFirst + 1;
    return FileBaseName(request.fileName) + RangeIndexText(int(int64_t(frame) - request.rangeFirst), int(std::min<int64_t>(count, INT_MAX)))
           + extension;
}

QStringList ExportFiles(const ExportRequest& request, int firstFrame, int lastFrame)
{
    const ExportKind kind = ExportKindForFilter(request.filterIndex);
    const QString target = ExportTargetFile(kind, request.fileName);
    if (!target.isEmpty())
        return {target};
    QStringList files;
    if (kind == ExportKind::None)
        return files;
    for (int64_t n = request.rangeFirst; n <= RangeLastOf(request); ++n)
        files << ExportSequenceFile(request, int(n), firstFrame, lastFrame);
    return files;
}

QStringList ExistingExportFiles(const ExportRequest& request, int firstFrame, int lastFrame)
{
    const QStringList files = ExportFiles(request, firstFrame, lastFrame);
    if (files.isEmpty())
        return files;
    // One listing of the folder instead of a look-up per frame.
    const QFileInfo first(files.first());
    const QStringList present = QDir(first.absolutePath()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    const QSet<QString> names(present.begin(), present.end());
    QStringList existing;
    for (const QString& file : files)
        if (names.contains(QFileInfo(file).fileName()))
            existing << file;
    return existing;
}

QStringList LeftoverSequenceFiles(const ExportRequest& request, int firstFrame, int lastFrame)
{
    const ExportKind kind = ExportKindForFilter(request.filterIndex);
    if (kind == ExportKind::None || !ExportTargetFile(kind, request.fileName).isEmpty())
        return {};
    const QStringList files = ExportFiles(request, firstFrame, lastFrame);
    const QFileInfo sample(ExportSequenceFile(kind, request.fileName, 0, 0, 0));
    const QString base = QFileInfo(FileBaseName(request.fileName)).fileName();
    const QRegularExpression numbered(QStringLiteral("^%1-?[0-9]+%2$")
                                          .arg(QRegularExpression::escape(base), QRegularExpression::escape(FileExtension(sample.fileName()))));
    QSet<QString> written;
    for (const QString& file : files)
        written.insert(QFileInfo(file).fileName());
    const QDir folder(sample.absolutePath());
    QStringList leftovers;
    for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name)) {
        if (!written.contains(name) && numbered.match(name).hasMatch())
            leftovers << folder.filePath(name);
    }
    return leftovers;
}

bool NeedsBigTiff(int width, int height, int64_t pages)
{
    // Pixels plus an allowance per page for its directory and strip tables
    // (at worst one strip per row), against 4 GB less a margin.
    const int64_t perPage = int64_t(width) * height * 3 + 1024 + 8 * int64_t(height);
    return pages * perPage > (int64_t(1) << 32) - (int64_t(64) << 20);
}

QByteArray ExportInfoChunk(const RecordingInfo& info, int rangeFirst)
{
    RecordingInfo copy = info;
    // Exported frame k is source frame RangeFirst + k, so time 0 moves with it.
    const int64_t timeZero = int64_t(info.TimeZeroFrame) - rangeFirst;
    copy.TimeZeroFrame = int32_t(std::clamp<int64_t>(timeZero, INT32_MIN, INT32_MAX));
    QByteArray bytes = copy.toBytes();
    std::memset(bytes.data() + RecordingInfo::OffCalPoint1, 0, 16);
    std::memset(bytes.data() + RecordingInfo::OffReservedTail, 0, size_t(RecordingInfo::Size - RecordingInfo::OffReservedTail));
    return bytes;
}

namespace {

// "Write Frame : AVIERR_FILEWRITE (Cannot write to x.avi: No space left on device)"
QString AviFailureText(const QString& step, uint32_t code, const QString& reason)
{
    QString text = ReportAviErrorText(step, code);
    if (text.isEmpty())
        return reason;
    if (!reason.isEmpty())
        text += QStringLiteral(" (%1)").arg(reason);
    return text;
}

QString AviFailureText(const QString& step, const AviWriter& avi)
{
    return AviFailureText(step, avi.lastErrorCode(), avi.lastError());
}

// Why a name failed the check, when it is the folder: ": the folder /x does not exist".
QString InvalidNameReason(const QString& fileName)
{
    const QString folder = FileFolder(fileName);
    if (!folder.isEmpty() && !QFileInfo(folder).isDir())
        return QStringLiteral(": the folder %1 does not exist").arg(QDir::toNativeSeparators(folder));
    return QString();
}

bool SameFile(const QString& a, const QString& b)
{
    if (a.isEmpty() || b.isEmpty())
        return false;
    const QString ca = QFileInfo(a).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath();
}

// Runs one export; the document is put back on RangeFirst by the caller.
class RangeExport {
public:
    RangeExport(VideoDocument& document, const ExportRequest& request, ExportProgress* progress)
        : m_doc(document), m_request(request), m_progress(progress), m_kind(ExportKindForFilter(request.filterIndex))
    {
    }

    ExportResult run();
    // Whether any frame was rendered (the document then moved).
    bool rendered() const { return m_rendered; }

private:
    ExportResult fail(const QString& message);
    bool openOutput(const Frame& frame);
    bool writeFrame(int frameNumber, const Frame& frame);
    // Renders frame n for the file: through the view (serial) or off it.
    void render(int frameNumber, Frame& out);
    // The frames after the first (given rendered): false after a failure
    // (m_error says why) or an abort.
    bool writeRest(int first, int count, Frame frame);
    // What the encoding threads do for this kind of output.
    struct EncoderState {
        std::unique_ptr<AviFrameEncoder> avi;
        QByteArray bytes;
    };
    FramePipeline::Stages stages(std::vector<EncoderState>& states, int first, std::vector<QString>& files);
    bool IsSourceFile(const QString& file) const;
    static QString NotSourceText(const QString& file);
    void closeOutput();
    // Refuses to write over the recording the frames come from.
    bool checkNotSource(const QString& file);

    VideoDocument& m_doc;
    const ExportRequest& m_request;
    ExportProgress* m_progress;
    const ExportKind m_kind;
    ExportResult m_result;
    AviWriter m_avi;
    MultiPageTiffWriter m_tiff;
    QString m_error;
    bool m_rendered = false;
    QString m_sourcePath; // canonical, found once
    int m_sourceFirst = 0;
    int m_sourceLast = 0;
};

ExportResult RangeExport::fail(const QString& message)
{
    closeOutput();
    m_result.status = ExportResult::Failed;
    m_result.error = message;
    return m_result;
}

QString RangeExport::NotSourceText(const QString& file)
{
    return QStringLiteral("Cannot export into the recording being read: %1").arg(file);
}

bool RangeExport::IsSourceFile(const QString& file) const
{
    return !m_sourcePath.isEmpty() && QFileInfo(file).canonicalFilePath() == m_sourcePath;
}

bool RangeExport::checkNotSource(const QString& file)
{
    if (SameFile(file, m_doc.Info.FileName)) {
        m_error = NotSourceText(file);
        return false;
    }
    return true;
}

bool RangeExport::openOutput(const Frame& frame)
{
    const QString target = ExportTargetFile(m_kind, m_request.fileName);
    if (m_kind == ExportKind::Avi || m_kind == ExportKind::GreyAvi) {
        if (!checkNotSource(target))
            return false;
        const bool grey = m_kind == ExportKind::GreyAvi;
        const AviCodec codec = grey ? AviCodec::Grey8 : m_request.aviCodec;
        const int quality = grey ? 100 : m_request.quality;
        const QByteArray chunk = ExportInfoChunk(m_doc.Info, m_request.rangeFirst);
        if (!m_avi.open(target, frame.width(), frame.height(), m_request.playSpeed, codec, quality, chunk, &m_error)) {
            m_error = AviFailureText(QStringLiteral("open"), m_avi);
            return false;
        }
        m_result.files << target;
    } else if (m_kind == ExportKind::MultiPageTiff) {
        if (!checkNotSource(target))
            return false;
        const int64_t pages = int64_t(std::max(m_request.rangeLast, m_request.rangeFirst)) - m_request.rangeFirst + 1;
        if (!m_tiff.open(target, &m_error, NeedsBigTiff(frame.width(), frame.height(), pages)))
            return false;
        m_result.files << target;
    }
    return true;
}

bool RangeExport::writeFrame(int frameNumber, const Frame& frame)
{
    switch (m_kind) {
    case ExportKind::Avi:
    case ExportKind::GreyAvi:
        if (!m_avi.writeFrame(frame)) {
            m_error = AviFailureText(QStringLiteral("Write Frame"), m_avi);
            return false;
        }
        return true;
    case ExportKind::MultiPageTiff:
        return m_tiff.appendPage(frame, &m_error);
    default:
        break;
    }

    const QString file = ExportSequenceFile(m_request, frameNumber, m_doc.Info.FirstFrame, m_doc.Info.LastFrame);
    if (!checkNotSource(file))
        return false;
    bool ok = false;
    switch (m_kind) {
    case ExportKind::Tiff: ok = WriteTiff(file, frame, &m_error); break;
    case ExportKind::Jpeg: ok = WriteJpeg(file, frame, m_request.quality, &m_error); break;
    case ExportKind::Bmp: ok = WriteBmp(file, frame, &m_error); break;
    case ExportKind::Dpx: ok = WriteDpx(file, frame, &m_error); break;
    default: break;
    }
    if (ok)
        m_result.files << file;
    return ok;
}

void RangeExport::closeOutput()
{
    // Finishing the AVI index also after a failure or abort keeps the frames
    // written so far playable.
    if (m_avi.isOpen() && !m_avi.close() && m_error.isEmpty())
        m_error = m_avi.lastError();
    m_tiff.close();
}

ExportResult RangeExport::run()
{
    if (m_kind == ExportKind::None)
        return fail(QStringLiteral("Unknown export format %1").arg(m_request.filterIndex));
    if (!IsValidFileName(m_request.fileName, false))
        return fail(QStringLiteral("Filename not valid") + InvalidNameReason(m_request.fileName));
    if (IsAviKind(m_kind) && (m_request.playSpeed < 1 || m_request.playSpeed > 1000))
        return fail(QStringLiteral("The frame rate of an AVI file must be 1 to 1000 frames per second, not %1").arg(m_request.playSpeed));
    const QStringList existing = ExistingExportFiles(m_request, m_doc.Info.FirstFrame, m_doc.Info.LastFrame);
    for (const QString& file : existing) {
        if (!checkNotSource(file))
            return fail(m_error);
    }
    if (!m_request.replaceExisting && !existing.isEmpty())
        return fail(QStringLiteral("%1 already exists").arg(QDir::toNativeSeparators(existing.first())));

    RecordingInfo& info = m_doc.Info;
    // Read once here: the encoding threads never touch the document.
    m_sourcePath = info.FileName.isEmpty() ? QString() : QFileInfo(info.FileName).canonicalFilePath();
    m_sourceFirst = info.FirstFrame;
    m_sourceLast = info.LastFrame;
    info.SaveSettings[0] = m_request.filterIndex;
    info.InfoText[16] = m_request.fileName.left(255);

    const int first = m_request.rangeFirst;
    const int last = std::max(m_request.rangeLast, first);
    const int64_t count64 = int64_t(last) - first + 1;
    if (count64 > INT_MAX)
        return fail(QStringLiteral("The range %1 to %2 is too long").arg(first).arg(last));
    const int count = int(count64);

    Frame frame;
    render(first, frame);
    m_rendered = true;
    if (!m_doc.FrameReadError.isEmpty()) // a missing or damaged record
        return fail(m_doc.FrameReadError);
    info.ExportText[2] = ExportFormatText(m_kind);
    if (frame.isEmpty())
        return fail(QStringLiteral("Frame %1 has no picture to export").arg(first));

    if (!openOutput(frame))
        return fail(m_error);

    const bool completed = writeRest(first, count, std::move(frame));
    if (!completed && !m_error.isEmpty())
        return fail(m_error);
    closeOutput();
    if (!m_error.isEmpty())
        return fail(m_error);
    if (!completed) {
        m_result.status = ExportResult::Aborted;
        return m_result;
    }
    if (m_progress)
        m_progress->step(count, count);
    m_result.status = ExportResult::Completed;
    return m_result;
}

void RangeExport::render(int frameNumber, Frame& out)
{
    if (m_request.serial) {
        m_doc.LoadFrame(frameNumber);
        out = m_doc.DisplayBitmap;
    } else {
        m_doc.RenderFrameForExport(frameNumber, out);
    }
}

bool RangeExport::writeRest(int first, int count, Frame frame)
{
    if (m_request.serial) {
        for (int i = 0; i < count; ++i) {
            if (m_progress && !m_progress->step(i, count))
                return false;
            if (i > 0)
                render(first + i, frame);
            if (!m_doc.FrameReadError.isEmpty()) {
                m_error = m_doc.FrameReadError;
                return false;
            }
            if (!writeFrame(first + i, frame))
                return false;
            ++m_result.framesWritten;
        }
        return true;
    }

    // This thread reads, decodes and renders the frames in order; worker
    // threads encode several at once (JPEG compression, whole image files)
    // and append them to the output in order.
    const int workers = m_request.workers > 0 ? m_request.workers : DefaultExportWorkers();
    std::vector<EncoderState> states(static_cast<size_t>(workers));
    std::vector<QString> files(static_cast<size_t>(count));
    FramePipeline pipeline(workers, stages(states, first, files));

    bool aborted = false;
    QString readError;
    for (int i = 0; i < count; ++i) {
        if (m_progress && !m_progress->step(i, count)) {
            aborted = true;
            break;
        }
        Frame next;
        if (!pipeline.acquire(next))
            break;
        if (i == 0) {
            next = std::move(frame);
        } else {
            render(first + i, next);
            if (!m_doc.FrameReadError.isEmpty()) { // never a black frame in its place
                readError = m_doc.FrameReadError;
                break;
            }
        }
        if (!pipeline.push(i, std::move(next)))
            break;
    }
    pipeline.finish();
    m_result.framesWritten = pipeline.committed();
    for (int i = 0; i < m_result.framesWritten; ++i)
        if (!files[size_t(i)].isEmpty())
            m_result.files << files[size_t(i)];
    if (pipeline.failed())
        m_error = pipeline.error();
    else if (!readError.isEmpty())
        m_error = readError;
    return !aborted && m_error.isEmpty();
}

FramePipeline::Stages RangeExport::stages(std::vector<EncoderState>& states, int first, std::vector<QString>& files)
{
    FramePipeline::Stages s;
    if (IsAviKind(m_kind)) {
        const bool grey = m_kind == ExportKind::GreyAvi;
        const AviCodec codec = grey ? AviCodec::Grey8 : m_request.aviCodec;
        const int quality = grey ? 100 : m_request.quality;
        s.encode = [this, &states, codec, quality](int worker, int, const Frame& frame, QString& error) {
            EncoderState& state = states[size_t(worker)];
            if (!state.avi)
                state.avi = std::make_unique<AviFrameEncoder>(frame.width(), frame.height(), codec, quality);
            if (state.avi->encode(frame))
                return true;
            error = AviFailureText(QStringLiteral("Write Frame"), state.avi->errorCode(), state.avi->error());
            return false;
        };
        s.commit = [this, &states](int worker, int, const Frame&, QString& error) {
            const AviFrameEncoder& encoder = *states[size_t(worker)].avi;
            if (m_avi.writeEncodedFrame(encoder.data(), encoder.size()))
                return true;
            error = AviFailureText(QStringLiteral("Write Frame"), m_avi);
            return false;
        };
        return s;
    }
    if (m_kind == ExportKind::MultiPageTiff) {
        // Pages go into one file one after another.
        s.encode = [](int, int, const Frame&, QString&) { return true; };
        s.commit = [this](int, int, const Frame& frame, QString& error) { return m_tiff.appendPage(frame, &error); };
        return s;
    }
    // Image sequences: every frame is a file of its own, written by the
    // worker that encodes it; committing only lists it, in order.
    s.encode = [this, &states, first, &files](int worker, int index, const Frame& frame, QString& error) {
        const QString file = ExportSequenceFile(m_request, first + index, m_sourceFirst, m_sourceLast);
        if (IsSourceFile(file)) {
            error = NotSourceText(file);
            return false;
        }
        EncoderState& state = states[size_t(worker)];
        bool ok = false;
        switch (m_kind) {
        case ExportKind::Tiff: ok = WriteTiff(file, frame, &error); break;
        case ExportKind::Jpeg: ok = WriteJpeg(file, frame, m_request.quality, &error); break;
        case ExportKind::Bmp: ok = WriteBmp(file, frame, &error); break;
        case ExportKind::Dpx: ok = WriteDpx(file, frame, &error, state.bytes); break;
        default: break;
        }
        if (ok)
            files[size_t(index)] = file;
        return ok;
    };
    s.commit = [](int, int, const Frame&, QString&) { return true; };
    // A later frame written before an earlier one failed: the export ends
    // at the failure, as if written one by one.
    s.discard = [&files](int, int index) {
        QFile::remove(files[size_t(index)]);
        files[size_t(index)].clear();
    };
    return s;
}

} // namespace

ExportResult ExportRange(VideoDocument& document, const ExportRequest& request, ExportProgress* progress)
{
    RangeExport exporter(document, request, progress);
    const ExportResult result = exporter.run();
    // Afterwards the document shows the first frame of the range.
    if (exporter.rendered())
        document.LoadFrame(request.rangeFirst);
    return result;
}
