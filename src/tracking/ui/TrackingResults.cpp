// The "Results" page of the tracking frame: graphs of the current point's
// series, and its result table as a CSV file or a spreadsheet.

#include "tracking/ui/AutoTrackFrame.h"

#include "document/VideoDocument.h"
#include "document/window/VideoWindow.h"
#include "graphs/TrackingResultChannels.h"
#include "graphs/TrackingSpreadsheet.h"

#include <QFileInfo>
#include <QRadioButton>
#include <QToolButton>

TrackingExportInfo TAutoTRackFrame::exportInfo() const
{
    TrackingExportInfo info;
    const VideoDocument* doc = document();
    if (!doc)
        return info;
    info.FirstFrame = doc->Info.FirstFrame;
    info.TimeZeroFrame = doc->Info.TimeZeroFrame;
    info.FrameRate = doc->Info.FrameRate;
    info.CalUnitIndex = doc->Info.CalUnitIndex;
    KinematicsSettings& k = info.Kinematics;
    k.PixelsPerUnit = doc->Info.PixelsPerUnit;
    k.FrameWidth = doc->FrameBitmap.width();
    k.FrameHeight = doc->FrameBitmap.height();
    k.YDir = doc->Origin.YDir;
    k.HasOrigin = doc->Origin.HasOrigin;
    k.OriginX = doc->Origin.X;
    k.OriginY = doc->Origin.Y;
    k.Clock = doc->Clock();
    return info;
}

void TAutoTRackFrame::PlotClicked(KinematicsQuantity quantity)
{
    TTrackingPoint* p = CurrentPoint();
    const VideoDocument* doc = document();
    if (!p || !doc)
        return;
    const TrackingExportInfo info = exportInfo();
    if (quantity == KinematicsQuantity::Rpm && !CanComputeRpm(info.Kinematics)) {
        showMessage(QStringLiteral("Rotation speed is measured about the origin: place the measurement origin first."));
        return;
    }
    FixTimes(p->Records, info.FirstFrame, info.TimeZeroFrame, info.FrameRate);
    TrackingResultSource source;
    source.unitName = QString::fromLatin1(CalibrationUnitLabel(info.CalUnitIndex));
    source.recordingFileName = QFileInfo(doc->Info.FileName).fileName();
    source.pointName = p->Name;
    source.frameRate = info.FrameRate;
    source.firstFrame = info.FirstFrame;
    source.timeZeroFrame = info.TimeZeroFrame;
    const TrackingComponent component = ToolButton6->isChecked()   ? TrackingComponent::Y
                                        : ToolButton9->isChecked() ? TrackingComponent::XY
                                                                   : TrackingComponent::X;
    std::vector<TABChannel> channels = MakeTrackingResultChannels(p->Records, info.Kinematics, quantity, component, source);
    if (!channels.empty())
        emit plotRequested(std::move(channels));
}

void TAutoTRackFrame::ExportCsvClicked()
{
    TTrackingPoint* p = CurrentPoint();
    if (!p || !document())
        return;
    const QString path = SaveFileName(QStringLiteral("Save Tracking Results"),
                                      QStringLiteral("Comma Seerated Variable File (*.csv)"), QStringLiteral("csv"));
    if (path.isEmpty())
        return;
    QString error;
    if (!WriteTrackingCsv(path, *p, exportInfo(), &error)) {
        showMessage(error);
        return;
    }
    showMessage(path + QStringLiteral(" Saved"));
}

void TAutoTRackFrame::ExportSpreadsheetClicked()
{
    TTrackingPoint* p = CurrentPoint();
    if (!p || !document())
        return;
    const QString path = SaveFileName(QStringLiteral("Send Results to a Spreadsheet"),
                                      QStringLiteral("Excel Workbook (*.xlsx)"), QStringLiteral("xlsx"));
    if (path.isEmpty())
        return;
    QString error;
    if (!WriteTrackingSpreadsheet(path, TrackingSheetFor(*p, exportInfo()), &error)) {
        showMessage(error);
        return;
    }
    // Without an application to show it the user still learns where it went.
    if (!OpenDocument || !OpenDocument(path))
        showMessage(path + QStringLiteral(" Saved"));
}
