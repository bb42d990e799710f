// Writes a handful of small, valid analysis files as a starting corpus for
// fuzz_analysis: fuzz_analysis_seeds OUTDIR.

#include "document/AnalysisFile.h"

#include <QDir>
#include <QFile>
#include <cstdio>

namespace {

void AddEveryKind(AdjustmentList& list)
{
    list.push_back(std::make_unique<AdjustmentEntry>(BrightnessEntry{.Offset = -31}));
    list.push_back(std::make_unique<AdjustmentEntry>(ContrastEntry{.Amount = 44}));
    list.push_back(std::make_unique<AdjustmentEntry>(GammaEntry{.Slider = 13, .Exponent = 0.7f}));
    list.push_back(std::make_unique<AdjustmentEntry>(RgbEntry{.Red = 5, .Green = -6, .Blue = 7}));
    list.push_back(std::make_unique<AdjustmentEntry>(HueSatEntry{.Hue = -120, .Saturation = 33, .Value = 0}));
    list.push_back(std::make_unique<AdjustmentEntry>(RotateEntry{.Mirror = 3, .Turn = 1}));
    AnnotationEntry text;
    text.AnnX = 2;
    text.AnnY = 3;
    text.AnnAngle = 45;
    text.AnnBackground = 2;
    text.AnnDrawText = QStringLiteral("Crash 7 \u2013 Kopf \u00f8");
    text.AnnLabel = text.AnnDrawText;
    text.AnnFontSize = 9;
    text.AnnFontBold = true;
    text.AnnFontColour = 0x00123456;
    list.push_back(std::make_unique<AdjustmentEntry>(text));
    AnnotationEntry stamp = text;
    stamp.TimeStamp = true;
    stamp.AnnInfoKind = 1;
    stamp.AnnDecimals = 3;
    stamp.AnnLabel = QStringLiteral("Time ms");
    list.push_back(std::make_unique<AdjustmentEntry>(stamp));
    LogoEntry logo;
    logo.LogoNumber = 2;
    logo.LogoCorner = 3;
    logo.LogoMethod = 4;
    logo.LogoFile = QStringLiteral("/logos/lab.bmp");
    logo.LogoSize = 250;
    logo.LogoLabel = QStringLiteral("lab.bmp");
    list.push_back(std::make_unique<AdjustmentEntry>(logo));
    list.push_back(std::make_unique<AdjustmentEntry>(CalibrationGridEntry{
        .AngleDegrees = 17, .GridSize = 2.5f, .StartX = 3, .StartY = 2, .Polar = true, .PixelsPerUnit = 3.75f}));
}

// A point of the given method with a 3 x 2 template (and, when recaptured,
// its first template) and records on some of frames first ... first + 9.
AnalysisPoint Point(int id, uint8_t method, int first, bool recaptured)
{
    AnalysisPoint stored;
    TTrackingPoint& p = stored.Point;
    p.PointId = id;
    p.Name = QStringLiteral("Point %1").arg(id);
    p.Params.Method = method;
    p.Params.setSize(5, 3, 200);
    p.Template.width = 3;
    p.Template.height = 2;
    p.Template.fracX = 0.25;
    p.Template.fracY = -0.125;
    p.Template.values = {10.5, 20, 30, 140, 150, 255.0 / 7.0};
    if (recaptured) {
        auto firstTemplate = std::make_shared<tracking::TargetTemplate>(p.Template);
        firstTemplate->values[0] = 99.0;
        p.Template.first = firstTemplate;
        p.Mode = ModeSemiAuto;
        p.ZoomFactor = 4;
        p.Params.FixedRange = 1;
        p.Params.RangeMin = 20;
        p.Params.RangeMax = 200;
        p.UpdateEvery = 3;
    }
    p.DefinedFrame = first;
    for (int f = first; f < first + 10; ++f) {
        if (f == first + 4)
            continue;  // a gap
        TrackRecord r;
        r.FrameNo = f;
        r.SetPosition(6.0 + f * 0.25, 5.5 - f * 0.125);
        r.RecMethod = method;
        if (f == first + 9) {
            r.Status = 0;  // lost: searched, not accepted
            p.Mark = MarkLost;
        }
        stored.Records.push_back(r);
    }
    return stored;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_analysis_seeds OUTDIR\n");
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(dir.path());
    int written = 0;
    constexpr int kVariants = 5;
    for (int variant = 0; variant < kVariants; ++variant) {
        Analysis a;
        a.Recording.FileName = QStringLiteral("run%1.bvf").arg(variant);
        a.Recording.Size = 1234 * variant;
        a.Recording.FrameCount = 12 + variant;
        a.Recording.FirstFrame = -variant;
        if (variant == 1 || variant == 4)
            AddEveryKind(a.Adjustments);
        if (variant >= 2) {
            a.Points.push_back(Point(0, tracking::MethodCorrelation, a.Recording.FirstFrame, false));
            a.Points.push_back(Point(3, uint8_t(variant % 3), a.Recording.FirstFrame + 1, variant == 3));
        }
        if (variant != 0) {
            a.Calibration.CalUnitIndex = variant;
            a.Calibration.PixelsPerUnit = 2.5f * float(variant);
            a.Calibration.CalPoint1 = {1.5f, 2.0f};
            a.Calibration.CalPoint2 = {14.0f, 9.25f};
        }
        if (variant % 2 == 1)
            a.Origin = {.HasOrigin = true, .X = 7.5, .Y = 6.25, .YDir = YDirection::Down};
        if (variant >= 3)
            a.Marks = {.Set = true, .InFrame = a.Recording.FirstFrame + 1, .OutFrame = a.Recording.FirstFrame + 8};
        QFile f(dir.filePath(QStringLiteral("seed%1.qora").arg(variant)));
        if (f.open(QIODevice::WriteOnly) && f.write(AnalysisToJson(a)) > 0)
            ++written;
    }
    std::printf("%d seeds written\n", written);
    return written == kVariants ? 0 : 1;
}
