#include "document/VideoDocument.h"

#include "common/LumaTables.h"
#include "common/NumberFormat.h"
#include "common/Rounding.h"

#include <QMetaMethod>
#include <algorithm>

VideoDocument::VideoDocument(QObject* parent)
    : QObject(parent)
{
    Info.CalUnitIndex = 6;
    Info.PixelsPerUnit = 1.0f;
}

VideoDocument::~VideoDocument() = default;

void VideoDocument::AttachSource(std::unique_ptr<FrameSource> source, const QString& fileName)
{
    m_source = std::move(source);
    Info.SourceKind = m_source->sourceKind();
    Info.FrameNumberBase = 0;
    m_source->fillInfo(Info);
    Info.FileName = fileName; // the full path, whatever the reader was given
    if (Info.FrameRate > 0)
        Info.FrameInterval = 1.0f / float(Info.FrameRate);
    Info.RangeFirst = Info.FirstFrame;
    Info.RangeLast = Info.LastFrame;
    Info.RangeCopyFirst = Info.FirstFrame;
    Info.RangeCopyLast = Info.LastFrame;
    FrameBitmap.resize(Info.ImageWidth, Info.ImageHeight);

    int first = Info.SourceKind == 0 ? Info.TimeZeroFrame : 0;
    if (first < Info.FirstFrame || first > Info.LastFrame)
        first = Info.FirstFrame;
    LoadFrame(first);
}

FrameClock VideoDocument::Clock() const
{
    if (Info.FrameRate > 0)
        return FrameClock(Rational(Info.FrameRate), Info.TimeZeroFrame);
    if (Info.FrameInterval > 0.0f)
        return FrameClock::FromFramesPerSecond(1.0 / double(Info.FrameInterval), Info.TimeZeroFrame);
    return FrameClock(Rational(0), Info.TimeZeroFrame);
}

bool VideoDocument::CanSetRecordingRate() const
{
    return IsOpen() && Info.SourceKind == 0 && !HasInfoChunk;
}

bool VideoDocument::SetRecordingRate(int framesPerSecond, int timeZeroFrame)
{
    if (!CanSetRecordingRate() || framesPerSecond <= 0
        || timeZeroFrame < Info.FirstFrame || timeZeroFrame > Info.LastFrame)
        return false;
    Info.FrameRate = framesPerSecond;
    Info.FrameInterval = 1.0f / float(framesPerSecond);
    Info.TimeZeroFrame = timeZeroFrame;
    CurrentTime = TimeOfFrame(Info.CurrentFrame);
    m_recordingRateChosen = true;
    return true;
}

Rational VideoDocument::TimeOfFrame(int frameNumber) const
{
    return Clock().toTime(frameNumber);
}

int VideoDocument::FrameAtTime(const Rational& seconds) const
{
    // Far outside any recording: keep the number representable.
    return int(std::clamp<int64_t>(Clock().toFrame(seconds), INT32_MIN / 2, INT32_MAX / 2));
}

int VideoDocument::LoadFrame(int frameNumber)
{
    loadFrame(frameNumber);
    emit frameLoaded();
    return 1;
}

void VideoDocument::loadFrame(int frameNumber)
{
    ReadSourceFrame(frameNumber);
    RenderFrame();
    UpdateTrackingPoints();
}

void VideoDocument::UpdateTrackingPoints()
{
    for (const auto& point : m_trackingPoints) {
        TTrackingPoint& p = *point;
        p.FrameNo = Info.CurrentFrame;
        p.BaseFrame = Info.FirstFrame;
        const TrackRecord* r = p.CurrentRecord();
        if (!r)
            continue;
        p.DisplayX = r->X;
        p.DisplayY = r->Y;
        // A marker being dragged keeps its working position.
        p.UpdateMarker(!p.Dragging);
    }
}

void VideoDocument::RenderFrameForExport(int frameNumber, Frame& out)
{
    ReadSourceFrame(frameNumber, out); // straight into the exporter's frame: no copy
    PrepareEntries();
    ApplyAdjustmentList(out, Adjustments);
    if (m_outside)
        out.fill(0, 0, 0);
}

void VideoDocument::PrepareEntries()
{
    for (const auto& entry : Adjustments) {
        if (entry->Kind() == KindTimeStamp)
            UpdateTimeStampText(*entry);
        if (entry->Kind() == KindGrid)
            GridEntry = entry.get();
    }
}

void VideoDocument::ReadSourceFrame(int frameNumber)
{
    ReadSourceFrame(frameNumber, FrameBitmap);
}

void VideoDocument::ReadSourceFrame(int frameNumber, Frame& target)
{
    m_requestedFrame = frameNumber;
    CurrentTime = TimeOfFrame(frameNumber);
    const int first = std::min(Info.FirstFrame, Info.LastFrame);
    const int last = std::max(Info.FirstFrame, Info.LastFrame);
    m_outside = frameNumber < first || frameNumber > last;
    const int shown = std::clamp(frameNumber, first, last);
    Info.CurrentFrame = shown;
    FrameReadError.clear();
    if (m_source) {
        bool read = false;
        if (Info.SourceKind == 0) {
            if (shown < 1000)
                Info.FrameLabel = QStringLiteral("%1").arg(shown, 5, 10, QLatin1Char('0'));
            read = m_source->readFrame(shown, target);
        } else {
            read = m_source->readFrame(shown + Info.FrameNumberBase, target);
        }
        if (!read) {
            // Never the previous picture in place of a frame that could not be read.
            target.resize(Info.ImageWidth, Info.ImageHeight);
            target.clear();
            FrameReadError = m_source->lastError();
            if (FrameReadError.isEmpty())
                FrameReadError = QStringLiteral("Frame %1 cannot be read.").arg(shown);
        }
    }
}

void VideoDocument::GotoTime(const Rational& seconds)
{
    LoadFrame(FrameAtTime(seconds));
}

void VideoDocument::PrepareTime(const Rational& seconds)
{
    loadFrame(FrameAtTime(seconds));
}

void VideoDocument::SetHistogramsWanted(bool wanted)
{
    m_histogramsWanted = wanted;
    if (wanted && !m_histogramsCurrent)
        ComputeHistograms();
}

void VideoDocument::Redisplay()
{
    LoadFrame(m_requestedFrame);
}

void VideoDocument::RequestRender()
{
    if (isSignalConnected(QMetaMethod::fromSignal(&VideoDocument::renderRequested)))
        emit renderRequested();
    else
        Redisplay();
}

void VideoDocument::RenderFrame()
{
    DisplayBitmap = FrameBitmap;
    PrepareEntries();
    // The entries in list order; neighbouring table operations share one
    // pass over the pixels, with the same result as one entry at a time.
    ApplyAdjustmentList(DisplayBitmap, Adjustments);
    if (m_outside)
        DisplayBitmap.fill(0, 0, 0); // no frame of this recording at this time
    m_histogramsCurrent = false;
    if (m_histogramsWanted)
        ComputeHistograms();
}

void VideoDocument::ComputeHistograms()
{
    m_histogramsCurrent = true;
    RedHistogram.fill(0);
    GreenHistogram.fill(0);
    BlueHistogram.fill(0);
    LumaHistogram.fill(0);
    const LumaTables& t = BuildLumaTables();
    // Adding and subtracting 1.5 × 2^52 rounds a double half to even in the
    // default rounding mode: the same as Round, without a library call per
    // pixel. The weights are summed in double precision.
    constexpr double kRoundHalfEven = 6755399441055744.0;
    const Frame& f = DisplayBitmap;
    for (int y = 0; y < f.height(); ++y) {
        const uint8_t* p = f.row(y);
        for (int x = 0; x < f.width(); ++x, p += 3) {
            const uint8_t b = p[0], g = p[1], r = p[2];
            ++BlueHistogram[b];
            ++GreenHistogram[g];
            ++RedHistogram[r];
            const double sum = double(t.wR[r]) + double(t.wG[g]) + double(t.wB[b]);
            const int luma = int((sum + kRoundHalfEven) - kRoundHalfEven);
            ++LumaHistogram[std::clamp(luma, 0, 255)];
        }
    }
}

void VideoDocument::UpdateTimeStampText(AdjustmentEntry& entry) const
{
    AnnotationEntry* stamp = entry.As<AnnotationEntry>();
    if (!stamp || !stamp->TimeStamp)
        return;
    QString text;
    switch (stamp->AnnInfoKind) {
    case 0:
        text = FormatFixed(CurrentTime.toDouble(), 7, stamp->AnnDecimals) + QStringLiteral(" s");
        break;
    case 1:
        text = FormatFixed(CurrentTime.toDouble() * 1000.0, 7, stamp->AnnDecimals) + QStringLiteral(" ms");
        break;
    case 2:
        text = QString::number(Info.CurrentFrame);
        break;
    default:
        return;
    }
    stamp->AnnDrawText = text.left(255);
}

QString VideoDocument::FrameReadout() const
{
    if (m_outside)
        return QStringLiteral("\u2014 / %1").arg(Info.FrameCount);
    return QStringLiteral("%1/%2").arg(Info.CurrentFrame).arg(Info.FrameCount);
}

QString VideoDocument::TimeReadout() const
{
    return FormatFixed(CurrentTime.toDouble(), 15, 4) + QStringLiteral("s");
}

AdjustmentEntry* VideoDocument::AppendEntry(std::unique_ptr<AdjustmentEntry> entry)
{
    // Entries may come from files and the command line: keep them within
    // what the tool frames could have set.
    ClampToFrameRanges(*entry);
    Adjustments.push_back(std::move(entry));
    return Adjustments.back().get();
}

void VideoDocument::RemoveEntry(const AdjustmentEntry* entry)
{
    if (entry == GridEntry)
        GridEntry = nullptr;
    auto it = std::find_if(Adjustments.begin(), Adjustments.end(),
                           [entry](const auto& e) { return e.get() == entry; });
    if (it != Adjustments.end())
        Adjustments.erase(it);
}
