#pragma once
// The words of the tracking frame and of the command-line tool for what the
// tracking engine reports: list statuses, the run's message panel, the
// refusals of "Auto Track" and its question. The engine itself returns
// enums; only the user-facing edges turn them into these texts.

#include "tracking/engine/TrackingEngine.h"

#include <QString>
#include <cstdint>
#include <vector>

// Status text of a point's list row ("" for None).
QString PointStatusText(PointStatus status);

// The panel's message for a point name, e.g. "Point 2 is LOST (Below Threshold)".
QString PanelMessageText(PanelKind kind, const QString& pointName);
// "Auto Tracking Frame # n".
QString PanelFrameText(const RunPanel& panel);
// "p% (d / n)".
QString PanelPercentText(const RunPanel& panel);
// The point's score with 3 decimals.
QString PanelScoreText(const RunPanel& panel);
// Panel colour, 0x00BBGGRR.
uint32_t PanelColour(PanelKind kind);

// Why "Auto Track" refused to start (empty for Started and Question).
QString StartRefusalText(StartOutcome outcome);
// The question asked when points have no data in the range.
QString DefineOnCurrentFrameQuestion(const std::vector<TTrackingPoint*>& points);
// Why a run ended ("" for a run that finished its range or was stopped).
QString RunEndText(TickOutcome outcome, int failedFrame);

// The confirmations of the point commands.
QString DeletePointsQuestion();
QString NoPointsToDeleteText();
