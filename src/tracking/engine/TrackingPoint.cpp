#include "tracking/engine/TrackingPoint.h"

#include "common/Frame.h"
#include "common/FrameClock.h"
#include "common/Rounding.h"

#include <algorithm>
#include <cstdlib>

MarkerSize SizeForMarker(double scale, int templateWidth, int templateHeight)
{
    int w = std::max<int>(1, int(Round(scale * templateWidth)));
    int h = std::max<int>(1, int(Round(scale * templateHeight)));
    if (w < 16) {
        h = int(Round(16.0 * h / w));
        w = 16;
    } else if (h < 16) {
        w = int(Round(16.0 * w / h));
        h = 16;
    }
    return {w, h};
}

void TTrackingPoint::SetDefaults()
{
    // Method is left alone: placement picks it before the defaults run again.
    ForceSquare = true;
    Params.Threshold = 0.8;
    Params.CentreDiameter = 80;
    Params.MaxCentreMove = 20;
    Params.setSize(9, 9, 180);
    UpdateEvery = 0;
    UpdateTemplate = 1;
    PredictiveSearch = false;
    DynamicSearch = false;
    Enabled = true;
    Mode = ModeAuto;
    Busy = false;
    Mark = MarkConfirmed;
    Selected = true;
    ShowMarker = true;
    DisplayX = -1.0;
    DisplayY = -1.0;
    // The spot methods take the spot's core: pixels within 80 % of the way
    // from black (white) to the template's brightest (darkest) pixel, which
    // stands clear of a textured background. With 0 % the whole template
    // would count as the spot and its centre would never move off the
    // template's middle.
    Params.FixedRange = 0;
    Params.ThresholdPercent = 80;
    Params.RangeMin = 0;
    Params.RangeMax = 255;
    // Weighted with intensity, the centre is found to a fraction of a pixel.
    Params.WeightedCog = 1;
}

void TTrackingPoint::InitRecords(int firstFrame, int frameCount, int timeZeroFrame, int frameRate)
{
    BaseFrame = firstFrame;
    Records.assign(size_t(std::max(0, frameCount)), TrackRecord{});
    Records.shrink_to_fit();
    const FrameClock clock(Rational(frameRate), timeZeroFrame);
    for (size_t i = 0; i < Records.size(); ++i) {
        TrackRecord& r = Records[i];
        const int frame = firstFrame + int(i);
        r.FrameNo = frame;
        // A recording without a frame rate has no time base: times stay 0.
        r.Time = clock.isValid() ? clock.toTime(frame).toDouble() : 0.0;
        r.RecMethod = Params.Method;
    }
}

TrackRecord* TTrackingPoint::RecordAt(int frame)
{
    const int64_t i = int64_t(frame) - BaseFrame;
    if (i < 0 || i >= int64_t(Records.size()))
        return nullptr;
    return &Records[size_t(i)];
}

const TrackRecord* TTrackingPoint::RecordAt(int frame) const
{
    return const_cast<TTrackingPoint*>(this)->RecordAt(frame);
}

bool TTrackingPoint::HasPositionAt(int frame) const
{
    const TrackRecord* r = RecordAt(frame);
    return r && r->HasPosition();
}

void TTrackingPoint::Confirm()
{
    DisplayX = PosX;
    DisplayY = PosY;
    SearchX = PosX;
    SearchY = PosY;
    NeedsPlacing = false;
    Confirmed = true;
    Mark = MarkConfirmed;
    Found = true;
}

void TTrackingPoint::RevertToStored()
{
    const TrackRecord* r = CurrentRecord();
    // Outside the recording there is nothing stored to go back to.
    const double x = r ? r->X : -1.0;
    const double y = r ? r->Y : -1.0;
    PosX = SearchX = x;
    PosY = SearchY = y;
    NeedsPlacing = false;
    Confirmed = true;
    Mark = MarkConfirmed;
    Found = true;
}

bool TTrackingPoint::UpdateMarker(bool copyPosition)
{
    if (Mode == ModeManual && !Dragging)
        Mark = MarkLost;
    if (Records.empty()) {
        DisplayX = DisplayY = -1.0;
        if (copyPosition)
            PosX = PosY = -1.0;
        return false;
    }
    const int64_t last = int64_t(Records.size()) - 1;
    const int64_t i = std::clamp<int64_t>(int64_t(FrameNo) - BaseFrame, 0, last);
    const TrackRecord& r = Records[size_t(i)];
    DisplayX = r.X;
    DisplayY = r.Y;
    if (copyPosition) {
        PosX = r.X;
        PosY = r.Y;
    }
    return r.Status != 0 && ShowMarker && DisplayX != -1.0;
}

int TTrackingPoint::Shape() const
{
    switch (Mark) {
    case MarkConfirmed: return ShapeConfirm;
    case MarkUnconfirmed: return ShapeUnconfirm;
    case MarkLost: return ShapeLost;
    default: return ShapeVanish;
    }
}

TrackState TTrackingPoint::State() const
{
    if (Mode == ModeManual)
        return TrackState::Manual;
    if (Mode == ModeSemiAuto)
        return TrackState::SemiAuto;
    if (!Started)
        return TrackState::NotStarted;
    // A score that is not a number fails the threshold too.
    if (!(Score >= Params.Threshold))
        return Found ? TrackState::FoundBelowThreshold : TrackState::BelowThreshold;
    return Found ? TrackState::Found : TrackState::CentreNotFound;
}

bool TTrackingPoint::CheckReady()
{
    if ((SearchX != -1.0 && DisplayX == -1.0) || Confirmed)
        return true;
    if (DisplayX != -1.0 && SearchX == -1.0)
        Confirm();
    if (DisplayX != -1.0)
        Started = true;
    return false;
}

bool TTrackingPoint::HasGap(int fromFrame, int toFrame) const
{
    if (toFrame < fromFrame)
        return false;
    // A frame outside the recording has no position.
    const int64_t first = BaseFrame;
    const int64_t last = first + int64_t(Records.size()) - 1;
    if (fromFrame < first || toFrame > last)
        return true;
    for (int64_t f = fromFrame; f <= toFrame; ++f)
        if (!Records[size_t(f - first)].HasPosition())
            return true;
    return false;
}

bool TTrackingPoint::FindStoredFrame(int fromIndex, int toIndex, int* index) const
{
    const int step = fromIndex <= toIndex ? 1 : -1;
    const int64_t n = int64_t(Records.size());
    for (int64_t i = fromIndex;; i += step) {
        if (i >= 0 && i < n && Records[size_t(i)].HasPosition()) {
            if (index)
                *index = int(i);
            return true;
        }
        if (i == toIndex)
            break;
    }
    return false;
}

int TTrackingPoint::LoadNearestStored()
{
    PosX = PosY = -1.0;
    const int64_t n = int64_t(Records.size());
    if (n == 0)
        return -1;
    const int64_t c = int64_t(FrameNo) - BaseFrame;
    // Walk outward from the current frame; the lower index is tried first at
    // each distance, so it wins ties.
    const int64_t maxDistance = std::max(std::llabs(c), std::llabs(n - 1 - c));
    for (int64_t d = 0; d <= maxDistance; ++d) {
        for (const int64_t i : {c - d, c + d}) {
            if (i >= 0 && i < n && Records[size_t(i)].HasPosition()) {
                PosX = Records[size_t(i)].X;
                PosY = Records[size_t(i)].Y;
                return int(d);
            }
        }
    }
    return -1;
}

void TTrackingPoint::CorrelationStep(const Frame& working)
{
    Searched = true;
    Busy = true;
    const tracking::CorrelationResult r =
        tracking::CorrelationStep(working, Template, SearchX, SearchY, Params);
    PosX = r.x;
    PosY = r.y;
    Score = r.score;
    if (TrackRecord* rec = CurrentRecord())
        rec->SetPosition(PosX, PosY);
    Busy = false;
}

void TTrackingPoint::CentreSearch(const Frame& working, bool wide)
{
    Busy = true;
    const tracking::CentreResult r = tracking::Search(working, Params, PosX, PosY, wide);
    Found = r.found;
    if (r.found) {
        PosX = r.x;
        PosY = r.y;
    }
    // The record follows the working position. A record that gets a
    // position also gets Status 1, so "has a position" means the same to
    // every reader of the records.
    if (TrackRecord* rec = CurrentRecord()) {
        if (PosX != -1.0)
            rec->SetPosition(PosX, PosY);
        else
            rec->Clear();
    }
    Busy = false;
}

void TTrackingPoint::CaptureTemplate(const Frame& working)
{
    // No position, no template: keep the one we have.
    if (DisplayX == -1.0 || DisplayY == -1.0)
        return;
    Template = tracking::CaptureTemplate(working, DisplayX, DisplayY,
                                         Params.TemplateWidth, Params.TemplateHeight);
}

void TTrackingPoint::RefreshTemplate(const Frame& working)
{
    if (DisplayX == -1.0 || DisplayY == -1.0)
        return;
    Template = tracking::RecaptureTemplate(working, Template, DisplayX, DisplayY,
                                           Params.TemplateWidth, Params.TemplateHeight);
}

void TTrackingPoint::ClearRecords(int fromFrame, int endFrame)
{
    // Only frames inside the recording have records.
    const int64_t first = std::max<int64_t>(fromFrame, BaseFrame);
    const int64_t end = std::min<int64_t>(endFrame, int64_t(BaseFrame) + int64_t(Records.size()));
    for (int64_t f = first; f < end; ++f)
        Records[size_t(f - BaseFrame)].Clear();
}
