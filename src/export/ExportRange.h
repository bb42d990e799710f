#pragma once
// The range exporter without any dialog: renders frames RangeFirst..RangeLast
// of a document through its display operations (Redisplay) and writes them
// as one AVI file, a numbered image sequence (TIFF, JPEG, BMP, DPX) or one
// multi-page TIFF. The Save As dialog and the command line both drive it;
// progress and abort go through ExportProgress.
//
//   ExportRequest request;
//   request.fileName = "/data/run1.avi";
//   request.filterIndex = 1;               // "Video File"
//   request.rangeFirst = 0; request.rangeLast = 99;
//   request.playSpeed = 15;
//   ExportResult result = ExportRange(document, request, &progress);
//
// After the run the document shows RangeFirst again and keeps the chosen
// filter index (SaveSettings[0]), file name (InfoText[16]) and format text
// (ExportText[2]) in its record.

#include "sources/avi/AviWriter.h"

#include <QString>
#include <QStringList>

class VideoDocument;

// Output kinds; the values are the codes the chosen filter index maps to.
enum class ExportKind : int {
    None = 0,
    Avi = 1,
    Dpx = 5,
    GreyAvi = 6,
    Tiff = 12,
    Jpeg = 13,
    Bmp = 14,
    MultiPageTiff = 17,
};

// Filter index (1-based, as in the dialog) -> output kind; None when out of range.
ExportKind ExportKindForFilter(int filterIndex);
// The text kept in ExportText[2]: "Windows AVI", "TIFF", "JPEG", ...
QString ExportFormatText(ExportKind kind);

// Reports progress once per frame. Returning false aborts the export after
// the frames already written (they stay on disk, AVI files are finished).
struct ExportProgress {
    virtual ~ExportProgress() = default;
    // `done` frames of `total` are written; called with done = 0 before the
    // first frame and done = total after the last.
    virtual bool step(int done, int total) = 0;
};

// How the files of an image sequence are numbered: by the recording's frame
// numbers (NumberText; negative frames sort before 0 in reverse, -001 after
// -002), or by their place in the range from 0, zero-padded to the widest
// place, so that any tool reading the names in order reads the frames in order.
enum class FileNumbering {
    FrameNumber,
    RangeIndex,
};

struct ExportRequest {
    QString fileName;          // the chosen name
    int filterIndex = 1;       // 1..7, see ExportKindForFilter
    int rangeFirst = 0;
    int rangeLast = 0;         // before rangeFirst: just rangeFirst is written
    int playSpeed = 15;        // AVI frames per second (1..1000)
    AviCodec aviCodec = AviCodec::Dib24; // for filter 1 (filter 6 is always grey)
    int quality = 75;          // JPEG files and Motion-JPEG AVI, 1..100
    FileNumbering numbering = FileNumbering::FrameNumber;
    // Files the export writes that exist already are replaced only when
    // this is set (after the user agreed); otherwise the export fails
    // naming the first of them and writes nothing.
    bool replaceExisting = false;
    // Renders every frame through the document's view on this one thread,
    // as exports did before the render and write stages ran side by side.
    // The files are the same; benchmarks compare the two.
    bool serial = false;
    // Threads that encode and write while the frames are rendered; 0: one
    // per processor core.
    int workers = 0;
};

struct ExportResult {
    enum Status { Completed, Aborted, Failed };
    Status status = Failed;
    QString error;             // one line, for Failed
    QStringList files;         // files written (complete or, after a failure, partial)
    int framesWritten = 0;
};

// Runs the export. Never shows anything; the caller reports the result.
ExportResult ExportRange(VideoDocument& document, const ExportRequest& request, ExportProgress* progress = nullptr);

// The file an AVI or multi-page export writes for `fileName`, and the
// numbered file of frame n for the image sequences (empty for AVI kinds).
QString ExportTargetFile(ExportKind kind, const QString& fileName);
QString ExportSequenceFile(ExportKind kind, const QString& fileName, int frame, int firstFrame, int lastFrame);
// The file of frame n as the request numbers it (the recording's first and
// last frame fix the width of frame numbers).
QString ExportSequenceFile(const ExportRequest& request, int frame, int firstFrame, int lastFrame);
// Place i of `count` as RangeIndex numbers it: "007" for 7 of 120.
QString RangeIndexText(int index, int count);

// Every file the request writes, in order (one for AVI and multi-page TIFF).
QStringList ExportFiles(const ExportRequest& request, int firstFrame, int lastFrame);
// Those of ExportFiles() that exist already.
QStringList ExistingExportFiles(const ExportRequest& request, int firstFrame, int lastFrame);
// Numbered files of the same base and format in the target folder that the
// request would not write: frames of an earlier, longer export that would
// stand beside the new ones as one mixed sequence. Empty for AVI kinds.
QStringList LeftoverSequenceFiles(const ExportRequest& request, int firstFrame, int lastFrame);

// Whether `pages` frames of width x height need a BigTIFF file: classic
// TIFF offsets end at 4 GB.
bool NeedsBigTiff(int width, int height, int64_t pages);

// The "rinf" chunk of an exported AVI: the document's record with both
// calibration points and the reserved tail zeroed, and TimeZeroFrame moved so
// that time 0 stays on the same frame of the exported range.
QByteArray ExportInfoChunk(const class RecordingInfo& info, int rangeFirst);
