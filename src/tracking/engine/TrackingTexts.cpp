#include "tracking/engine/TrackingTexts.h"

#include "common/NumberFormat.h"

#include <array>

QString PointStatusText(PointStatus status)
{
    static const std::array<const char*, 11> texts = {
        "", "Ready", "Disabled..", "AutoTracking..", "Searching Target..", "Need to Place",
        "Need to Confirm", "Tracked", "Vanished", "Threshhold", "Centre",
    };
    const int index = int(status);
    if (index < 0 || index >= int(texts.size()))
        return QString();
    return QString::fromLatin1(texts[size_t(index)]);
}

QString PanelMessageText(PanelKind kind, const QString& pointName)
{
    switch (kind) {
    case PanelKind::Searching: return QStringLiteral("Searching");
    case PanelKind::Tracking: return QStringLiteral("Tracking");
    case PanelKind::LostBelowThreshold: return QStringLiteral("%1 is LOST (Below Threshold)").arg(pointName);
    case PanelKind::LostCentre: return QStringLiteral("%1 is LOST (Can't Find Centre)").arg(pointName);
    case PanelKind::NeedToPlace: return QStringLiteral("%1 need to place").arg(pointName);
    case PanelKind::NeedToConfirm: return QStringLiteral("%1 needs to be Confirmed").arg(pointName);
    }
    return QString();
}

QString PanelFrameText(const RunPanel& panel)
{
    return QStringLiteral("Auto Tracking Frame # %1").arg(panel.frame);
}

QString PanelPercentText(const RunPanel& panel)
{
    return QStringLiteral("%1% (%2 / %3)").arg(panel.percent).arg(panel.done).arg(panel.total);
}

QString PanelScoreText(const RunPanel& panel)
{
    return FormatFixed(panel.score, 7, 3);
}

uint32_t PanelColour(PanelKind kind)
{
    switch (kind) {
    case PanelKind::LostBelowThreshold: return 0x008080;
    case PanelKind::LostCentre: return 0x0000FF;
    case PanelKind::NeedToPlace: return 0x008080;
    case PanelKind::NeedToConfirm: return 0xFF0000;
    default: return 0x008000;
    }
}

QString StartRefusalText(StartOutcome outcome)
{
    switch (outcome) {
    case StartOutcome::Unconfirmed: return QStringLiteral("Please confirm all the points before start tracking.");
    case StartOutcome::NoPoints: return QStringLiteral("There are no Points to be tracked");
    case StartOutcome::NothingToDo:
        return QStringLiteral("Nothing to do! All points are tracked within the current range.");
    case StartOutcome::AlreadyRunning: return QStringLiteral("Tracking is already running.");
    case StartOutcome::FrameNotLoaded: return QStringLiteral("The first frame of the range cannot be loaded.");
    default: return QString();
    }
}

QString DefineOnCurrentFrameQuestion(const std::vector<TTrackingPoint*>& points)
{
    const QString lineBreak = QStringLiteral("\n\r");
    QString names;
    for (const TTrackingPoint* p : points)
        names += p->Name + lineBreak;
    return QStringLiteral("The Following points have no data within the current range:") + lineBreak + names
        + lineBreak + QStringLiteral("Do you Want To define the points on the Current Frame?");
}

QString RunEndText(TickOutcome outcome, int failedFrame)
{
    switch (outcome) {
    case TickOutcome::StepLimit:
        return QStringLiteral("Tracking stopped: the run kept returning to frames it had already done.");
    case TickOutcome::FrameNotLoaded: return QStringLiteral("Tracking stopped: frame %1 cannot be loaded.").arg(failedFrame);
    case TickOutcome::NoPoints: return QStringLiteral("There are no Points to be tracked");
    default: return QString();
    }
}

QString DeletePointsQuestion()
{
    return QStringLiteral("Are you sure you want to delete ALL the selected Points?");
}

QString NoPointsToDeleteText()
{
    return QStringLiteral("No Points to delete selected");
}
