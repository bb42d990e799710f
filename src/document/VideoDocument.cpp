#include "document/VideoDocument.h"

#include "common/LumaTables.h"
#include "common/NumberFormat.h"
#include "common/Rounding.h"

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

double VideoDocument::TimeOfFrame(int frameNumber) const
{
    return double(frameNumber - Info.TimeZeroFrame) * double(Info.FrameInterval);
}

int VideoDocument::FrameAtTime(double seconds) const
{
    if (!(Info.FrameInterval > 0.0f))
        return Info.TimeZeroFrame;
    const double frame = seconds / double(Info.FrameInterval) + Info.TimeZeroFrame;
    // Far outside any recording: keep the number representable.
    return int(std::clamp<int64_t>(Round(frame), INT32_MIN / 2, INT32_MAX / 2));
}

int VideoDocument::LoadFrame(int frameNumber)
{
    ReadSourceFrame(frameNumber);
    RenderFrame();
    emit frameLoaded();
    return 1;
}

void VideoDocument::RenderFrameForExport(int frameNumber, Frame& out)
{
    ReadSourceFrame(frameNumber);
    out = FrameBitmap;
    PrepareEntries();
    ApplyAdjustmentList(out, Adjustments);
}

void VideoDocument::PrepareEntries()
{
    for (const auto& entry : Adjustments) {
        if (entry->Kind == KindTimeStamp)
            UpdateTimeStampText(*entry);
        if (entry->Kind == KindGrid)
            GridEntry = entry.get();
    }
}

void VideoDocument::ReadSourceFrame(int frameNumber)
{
    Info.CurrentFrame = frameNumber;
    CurrentTime = float(TimeOfFrame(frameNumber));
    if (m_source) {
        if (Info.SourceKind == 0) {
            // AVI frames outside the file are not decoded: the previous picture stays.
            if (frameNumber >= 0 && frameNumber < Info.FrameCount) {
                if (frameNumber < 1000)
                    Info.FrameLabel = QStringLiteral("%1").arg(frameNumber, 5, 10, QLatin1Char('0'));
                m_source->readFrame(frameNumber, FrameBitmap);
            }
        } else {
            m_source->readFrame(frameNumber + Info.FrameNumberBase, FrameBitmap);
        }
    }
}

void VideoDocument::GotoTime(float seconds)
{
    // LoadFrame sets CurrentTime to the time of the frame it loads.
    LoadFrame(FrameAtTime(seconds));
}

void VideoDocument::Redisplay()
{
    LoadFrame(Info.CurrentFrame);
}

void VideoDocument::RenderFrame()
{
    DisplayBitmap = FrameBitmap;
    PrepareEntries();
    // The entries in list order; neighbouring table operations share one
    // pass over the pixels, with the same result as one entry at a time.
    ApplyAdjustmentList(DisplayBitmap, Adjustments);
    ComputeHistograms();
}

void VideoDocument::ComputeHistograms()
{
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
    if (entry.Kind != KindTimeStamp)
        return;
    QString text;
    switch (entry.AnnInfoKind) {
    case 0:
        text = FormatFixed(CurrentTime, 7, entry.AnnDecimals) + QStringLiteral(" s");
        break;
    case 1:
        text = FormatFixed(double(CurrentTime) * 1000.0, 7, entry.AnnDecimals) + QStringLiteral(" ms");
        break;
    case 2:
        text = QString::number(Info.CurrentFrame);
        break;
    default:
        return;
    }
    entry.AnnDrawText = text.left(255);
}

QString VideoDocument::FrameReadout() const
{
    return QStringLiteral("%1/%2").arg(Info.CurrentFrame).arg(Info.FrameCount);
}

QString VideoDocument::TimeReadout() const
{
    return FormatFixed(CurrentTime, 15, 4) + QStringLiteral("s");
}

AdjustmentEntry* VideoDocument::AppendEntry(std::unique_ptr<AdjustmentEntry> entry)
{
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
