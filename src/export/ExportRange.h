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

struct ExportRequest {
    QString fileName;          // the chosen name
    int filterIndex = 1;       // 1..7, see ExportKindForFilter
    int rangeFirst = 0;
    int rangeLast = 0;         // before rangeFirst: just rangeFirst is written
    int playSpeed = 15;        // AVI frames per second (1..1000)
    AviCodec aviCodec = AviCodec::Dib24; // for filter 1 (filter 6 is always grey)
    int quality = 75;          // JPEG files and Motion-JPEG AVI, 1..100
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

// The "rinf" chunk of an exported AVI: the document's record with both
// calibration points and the reserved tail zeroed, and TimeZeroFrame moved so
// that time 0 stays on the same frame of the exported range.
QByteArray ExportInfoChunk(const class RecordingInfo& info, int rangeFirst);
