// Analysis files: what a user built on a recording, written and read back.

#include "document/AnalysisFile.h"
#include "document/VideoDocument.h"

#include "FakeSource.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

std::unique_ptr<VideoDocument> Recording(const QString& fileName = QStringLiteral("/nonexistent/run.bvf"))
{
    return MakePatternDocument(-4, 20, 64, 48, 1000, 0, PaintPattern, fileName);
}

// One entry of every kind, each field away from its default.
void AddEveryKind(VideoDocument& doc)
{
    doc.AppendEntry(std::make_unique<AdjustmentEntry>(BrightnessEntry{.Offset = -31}));
    doc.AppendEntry(std::make_unique<AdjustmentEntry>(ContrastEntry{.Amount = 44}));
    doc.AppendEntry(std::make_unique<AdjustmentEntry>(GammaEntry{.Slider = 13, .Exponent = 0.7f}));
    doc.AppendEntry(std::make_unique<AdjustmentEntry>(RgbEntry{.Red = 5, .Green = -6, .Blue = 7}));
    doc.AppendEntry(std::make_unique<AdjustmentEntry>(HueSatEntry{.Hue = -120, .Saturation = 33, .Value = 0}));
    doc.AppendEntry(std::make_unique<AdjustmentEntry>(RotateEntry{.Mirror = 3, .Turn = 1}));
    AnnotationEntry text;
    text.AnnX = 11;
    text.AnnY = -12;
    text.AnnAngle = 45;
    text.AnnBackground = 2;
    text.AnnDrawText = QStringLiteral("Crash 7 – Kopf ø");
    text.AnnLabel = QStringLiteral("Crash 7 – Kopf ø");
    text.AnnFontSize = 31;
    text.AnnFontBold = text.AnnFontUnderline = true;
    text.AnnFontColour = 0x00123456;
    text.AnnFontName = QStringLiteral("DejaVu Sans");
    doc.AppendEntry(std::make_unique<AdjustmentEntry>(text));
    AnnotationEntry stamp = text;
    stamp.TimeStamp = true;
    stamp.AnnInfoKind = 1;
    stamp.AnnDecimals = 3;
    stamp.AnnFontItalic = stamp.AnnFontStrikeOut = true;
    stamp.AnnLabel = QStringLiteral("Time ms");
    doc.AppendEntry(std::make_unique<AdjustmentEntry>(stamp));
    LogoEntry logo;
    logo.LogoNumber = 2;
    logo.LogoCorner = 3;
    logo.LogoMethod = 4;
    logo.LogoFile = QStringLiteral("/logos/lab ü.bmp");
    logo.LogoSize = 250;
    logo.LogoDisabled = true;
    logo.LogoLabel = QStringLiteral("lab ü.bmp");
    doc.AppendEntry(std::make_unique<AdjustmentEntry>(logo));
    doc.AppendEntry(std::make_unique<AdjustmentEntry>(CalibrationGridEntry{
        .AngleDegrees = 17, .GridSize = 2.5f, .StartX = 30, .StartY = 22, .Polar = true, .PixelsPerUnit = 3.75f}));
}

// Three points: one tracked with a gap and a lost frame, one never tracked
// (no template), one recaptured (a first template) in another mode.
void AddPoints(VideoDocument& doc)
{
    const RecordingInfo& info = doc.Info;
    const int count = info.LastFrame - info.FirstFrame + 1;
    for (int id : {0, 1, 5}) {
        auto p = std::make_unique<TTrackingPoint>();
        p->PointId = id;
        p->Name = QStringLiteral("Point %1").arg(id);
        p->Params.Method = uint8_t(id == 1 ? tracking::MethodLightSpot : tracking::MethodCorrelation);
        p->InitRecords(info.FirstFrame, count, info.TimeZeroFrame, info.FrameRate);
        if (id != 1) {
            p->Template.width = 3;
            p->Template.height = 2;
            p->Template.fracX = 0.25;
            p->Template.fracY = -0.125;
            p->Template.values = {1.5, 2, 3, 4, 5, 255.0 / 7.0};
        }
        if (id == 0) {
            for (int f = -4; f <= 10; ++f)
                if (f != 3)  // a gap
                    p->RecordAt(f)->SetPosition(10.0 + f / 3.0, 20.0 - f * 0.1);
            p->RecordAt(11)->X = 40.25;  // lost: searched, not accepted
            p->RecordAt(11)->Y = 8.5;
            p->Mark = MarkLost;
            p->Confirmed = false;
        }
        if (id == 5) {
            auto first = std::make_shared<tracking::TargetTemplate>(p->Template);
            first->values[0] = 99.0;
            p->Template.first = first;
            p->Mode = ModeSemiAuto;
            p->Enabled = false;
            p->ShowMarker = false;
            p->Selected = false;
            p->ZoomFactor = 8;
            p->Params.setSize(15, 11, 250);
            p->Params.Threshold = 0.65;
            p->Params.FixedRange = 1;
            p->Params.RangeMin = 20;
            p->Params.RangeMax = 200;
            p->UpdateEvery = 4;
            p->DefinedFrame = 7;
            p->Params.Method = tracking::MethodQuadrant;  // records keep the method they were made with
            p->RecordAt(20)->SetPosition(1e-7, 47.999999999);
        }
        doc.TrackingPoints().Append(std::move(p));
    }
}

void ExpectSameTemplate(const tracking::TargetTemplate& a, const tracking::TargetTemplate& b)
{
    EXPECT_EQ(a.width, b.width);
    EXPECT_EQ(a.height, b.height);
    EXPECT_EQ(a.fracX, b.fracX);
    EXPECT_EQ(a.fracY, b.fracY);
    EXPECT_EQ(a.values, b.values);
    ASSERT_EQ(a.first == nullptr, b.first == nullptr);
    if (a.first)
        ExpectSameTemplate(*a.first, *b.first);
}

void ExpectSamePoint(const TTrackingPoint& a, const TTrackingPoint& b)
{
    SCOPED_TRACE(a.Name.toStdString());
    EXPECT_EQ(a.PointId, b.PointId);
    EXPECT_EQ(a.Name, b.Name);
    EXPECT_EQ(a.Mark, b.Mark);
    EXPECT_EQ(a.Confirmed, b.Confirmed);
    EXPECT_EQ(a.Selected, b.Selected);
    EXPECT_EQ(a.Mode, b.Mode);
    EXPECT_EQ(a.Enabled, b.Enabled);
    EXPECT_EQ(a.ShowMarker, b.ShowMarker);
    EXPECT_EQ(a.ZoomFactor, b.ZoomFactor);
    EXPECT_EQ(a.DefinedFrame, b.DefinedFrame);
    EXPECT_EQ(a.UpdateEvery, b.UpdateEvery);
    EXPECT_EQ(a.UpdateTemplate, b.UpdateTemplate);
    const tracking::SearchParameters &p = a.Params, &q = b.Params;
    EXPECT_EQ(std::tuple(p.Method, p.TemplateWidth, p.TemplateHeight, p.SearchPercent, p.SearchWidth, p.SearchHeight,
                         p.MarginX, p.MarginY, p.Threshold),
              std::tuple(q.Method, q.TemplateWidth, q.TemplateHeight, q.SearchPercent, q.SearchWidth, q.SearchHeight,
                         q.MarginX, q.MarginY, q.Threshold));
    EXPECT_EQ(std::tuple(p.CentreDiameter, p.MaxCentreMove, p.FixedRange, p.WeightedCog, p.ThresholdPercent,
                         p.RangeMin, p.RangeMax),
              std::tuple(q.CentreDiameter, q.MaxCentreMove, q.FixedRange, q.WeightedCog, q.ThresholdPercent,
                         q.RangeMin, q.RangeMax));
    ExpectSameTemplate(a.Template, b.Template);
    EXPECT_EQ(a.BaseFrame, b.BaseFrame);
    ASSERT_EQ(a.Records.size(), b.Records.size());
    for (size_t i = 0; i < a.Records.size(); ++i) {
        const TrackRecord &r = a.Records[i], &s = b.Records[i];
        EXPECT_EQ(std::tuple(r.FrameNo, r.Time, r.X, r.Y, r.Status, r.RecMethod),
                  std::tuple(s.FrameNo, s.Time, s.X, s.Y, s.Status, s.RecMethod))
            << "record " << i;
    }
}

void ExpectSameDocumentWork(const VideoDocument& a, const VideoDocument& b)
{
    ASSERT_EQ(a.Adjustments.size(), b.Adjustments.size());
    for (size_t i = 0; i < a.Adjustments.size(); ++i)
        EXPECT_TRUE(*a.Adjustments[i] == *b.Adjustments[i]) << "entry " << i << " kind " << a.Adjustments[i]->Kind();
    EXPECT_EQ(a.Info.CalUnitIndex, b.Info.CalUnitIndex);
    EXPECT_EQ(a.Info.PixelsPerUnit, b.Info.PixelsPerUnit);
    EXPECT_EQ(a.Info.CalPoint1, b.Info.CalPoint1);
    EXPECT_EQ(a.Info.CalPoint2, b.Info.CalPoint2);
    ASSERT_EQ(a.TrackingPoints().size(), b.TrackingPoints().size());
    for (int i = 0; i < a.TrackingPoints().size(); ++i)
        ExpectSamePoint(*a.TrackingPoints()[i], *b.TrackingPoints()[i]);
}

QByteArray Contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void Write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

TEST(AnalysisFile, EverythingComesBackFieldByField)
{
    QTemporaryDir dir;
    // A unicode folder and name, as users' recordings have them.
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("Prüfstand Ø/测试")));
    const QString recording = dir.filePath(QStringLiteral("Prüfstand Ø/测试/Aufprall ñ.bvf"));
    Write(recording, QByteArray(1234, 'x'));

    auto doc = Recording(recording);
    AddEveryKind(*doc);
    doc->Info.CalUnitIndex = 1;
    doc->Info.PixelsPerUnit = 3.7512345f;
    doc->Info.CalPoint1 = {10.5f, 12.25f};
    doc->Info.CalPoint2 = {50.125f, -3.0f};
    AddPoints(*doc);

    Analysis saved = CaptureAnalysis(*doc);
    saved.Origin = {.HasOrigin = true, .X = 31.5, .Y = 0.1, .YDir = YDirection::Down};
    saved.Marks = {.Set = true, .InFrame = -2, .OutFrame = 17};
    EXPECT_EQ(saved.Recording.Size, 1234);
    EXPECT_EQ(saved.Recording.FrameCount, 25);
    const QString path = AnalysisPathFor(recording);
    EXPECT_TRUE(path.endsWith(QStringLiteral("Aufprall ñ.bvf.qora")));
    QString error;
    ASSERT_TRUE(WriteAnalysisFile(path, saved, &error)) << error.toStdString();
    EXPECT_FALSE(QFile::exists(path + QStringLiteral(".bak"))); // nothing to keep yet

    auto reopened = Recording(recording);
    Analysis loaded;
    QString message;
    ASSERT_EQ(LoadAnalysisFor(*reopened, path, &loaded, &message), AnalysisProblem::None) << message.toStdString();
    EXPECT_EQ(loaded.Origin, saved.Origin);
    EXPECT_EQ(loaded.Marks, saved.Marks);
    EXPECT_EQ(loaded.Recording.FileName, QStringLiteral("Aufprall ñ.bvf"));
    ApplyAnalysis(loaded, *reopened);
    ExpectSameDocumentWork(*doc, *reopened);
    EXPECT_EQ(reopened->Origin, saved.Origin);
    EXPECT_EQ(reopened->GridEntry, nullptr); // found again at the next render

    // The same work writes the same bytes; saving again keeps the previous file as .bak.
    const QByteArray first = Contents(path);
    Analysis again = CaptureAnalysis(*reopened);
    again.Origin = saved.Origin;
    again.Marks = saved.Marks;
    EXPECT_TRUE(AnalysisToJson(again) == first);
    ASSERT_TRUE(WriteAnalysisFile(path, CaptureAnalysis(*reopened), &error)) << error.toStdString();
    EXPECT_TRUE(Contents(path + QStringLiteral(".bak")) == first);

    reopened->Redisplay();
    EXPECT_EQ(reopened->DisplayBitmap, (doc->Redisplay(), doc->DisplayBitmap));
}

TEST(AnalysisFile, NothingBuiltGivesAnEmptyAnalysis)
{
    auto doc = Recording();
    Analysis loaded;
    QString detail;
    ASSERT_EQ(AnalysisFromJson(AnalysisToJson(CaptureAnalysis(*doc)), &loaded, &detail), AnalysisProblem::None)
        << detail.toStdString();
    EXPECT_TRUE(loaded.Adjustments.empty());
    EXPECT_TRUE(loaded.Points.empty());
    EXPECT_FALSE(loaded.Origin.HasOrigin);
    EXPECT_EQ(loaded.Origin.YDir, YDirection::Up);
    EXPECT_FALSE(loaded.Marks.Set);
    EXPECT_EQ(loaded.Calibration, AnalysisCalibration{});
}

TEST(AnalysisFile, BadFilesAreNamedAndLeaveTheDocumentAlone)
{
    QTemporaryDir dir;
    auto doc = Recording();
    AddEveryKind(*doc);
    AddPoints(*doc);
    const QByteArray good = AnalysisToJson(CaptureAnalysis(*doc));
    auto edited = [&](const char* from, const char* to) {
        QByteArray bytes = good;
        const qsizetype at = bytes.indexOf(from);
        EXPECT_GE(at, 0) << from;
        return bytes.replace(at, qsizetype(strlen(from)), to);
    };
    struct Case {
        const char* name;
        QByteArray bytes;
        AnalysisProblem problem;
        const char* words; // in the message
    };
    const Case cases[] = {
        {"cut short", good.left(good.size() / 2), AnalysisProblem::Damaged, "is damaged"},
        {"empty", QByteArray(), AnalysisProblem::Damaged, "is damaged"},
        {"other JSON", "{\"a\": 1}", AnalysisProblem::Damaged, "not a Qor Player analysis file"},
        {"a list", "[1, 2]", AnalysisProblem::Damaged, "not a Qor Player analysis file"},
        {"newer", edited("\"version\":1", "\"version\":7"), AnalysisProblem::NewerVersion, "newer version"},
        {"no version", edited("\"version\":1", "\"versio\":1"), AnalysisProblem::Damaged, "format version"},
        {"unknown kind", edited("\"kind\":1000", "\"kind\":999"), AnalysisProblem::Damaged, "kind 999"},
        {"text for a number", edited("\"offset\":-31", "\"offset\":\"-31\""), AnalysisProblem::Damaged, "offset"},
        {"fraction", edited("\"offset\":-31", "\"offset\":-31.5"), AnalysisProblem::Damaged, "offset"},
        {"huge int", edited("\"offset\":-31", "\"offset\":1e300"), AnalysisProblem::Damaged, "offset"},
        {"unit", edited("\"unitIndex\":6", "\"unitIndex\":9"), AnalysisProblem::Damaged, "unitIndex"},
        {"zoom", edited("\"zoom\":8", "\"zoom\":3"), AnalysisProblem::Damaged, "zoom"},
        {"point id", edited("\"id\":5", "\"id\":500"), AnalysisProblem::Damaged, "id"},
        {"same id", edited("\"id\":5", "\"id\":1"), AnalysisProblem::Damaged, "id 1"},
        {"template values", edited("\"width\":3", "\"width\":4"), AnalysisProblem::Damaged, "values"},
        {"record frame", edited("[[-4,", "[[40,"), AnalysisProblem::Damaged, "record frames"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir.filePath(QStringLiteral("bad.bvf.qora"));
        Write(path, c.bytes);
        auto target = Recording();
        target->AppendEntry(std::make_unique<AdjustmentEntry>(ContrastEntry{.Amount = 9}));
        Analysis loaded;
        loaded.Marks.Set = true;
        QString message;
        EXPECT_EQ(LoadAnalysisFor(*target, path, &loaded, &message), c.problem);
        EXPECT_TRUE(message.contains(QStringLiteral("bad.bvf.qora"))) << message.toStdString();
        EXPECT_TRUE(message.contains(QLatin1String(c.words))) << message.toStdString();
        EXPECT_TRUE(loaded.Marks.Set && loaded.Adjustments.empty()); // untouched
        EXPECT_EQ(target->Adjustments.size(), 1u);
        EXPECT_EQ(Contents(path), c.bytes); // not rewritten by reading
    }
}

TEST(AnalysisFile, AFileOfAnotherRecordingIsRecognised)
{
    QTemporaryDir dir;
    const QString recording = dir.filePath(QStringLiteral("a.bvf"));
    Write(recording, QByteArray(100, 'a'));
    auto doc = Recording(recording);
    const QString path = AnalysisPathFor(recording);
    QString error;
    ASSERT_TRUE(WriteAnalysisFile(path, CaptureAnalysis(*doc), &error));

    Analysis loaded;
    QString message;
    Write(recording, QByteArray(101, 'a')); // the recording was replaced
    EXPECT_EQ(LoadAnalysisFor(*Recording(recording), path, &loaded, &message), AnalysisProblem::OtherRecording);
    EXPECT_TRUE(message.contains(QStringLiteral("100 bytes"))) << message.toStdString();
    Write(recording, QByteArray(100, 'a'));
    auto shorter = MakePatternDocument(-4, 19, 64, 48, 1000, 0, PaintPattern, recording);
    EXPECT_EQ(LoadAnalysisFor(*shorter, path, &loaded, &message), AnalysisProblem::OtherRecording);
    EXPECT_TRUE(message.contains(QStringLiteral("25 frames"))) << message.toStdString();
    EXPECT_EQ(LoadAnalysisFor(*Recording(recording), path, &loaded, &message), AnalysisProblem::None);

    EXPECT_EQ(ReadAnalysisFile(dir.filePath(QStringLiteral("none.qora")), &loaded, &message), AnalysisProblem::Missing);
}

TEST(AnalysisFile, AFailedWriteKeepsTheOldFile)
{
    QTemporaryDir dir;
    auto doc = Recording();
    QString error;
    // A folder where the file should go: nothing can be written there.
    const QString blocked = dir.filePath(QStringLiteral("x.bvf.qora"));
    ASSERT_TRUE(QDir().mkpath(blocked));
    EXPECT_FALSE(WriteAnalysisFile(blocked, CaptureAnalysis(*doc), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("x.bvf.qora"))) << error.toStdString();
    EXPECT_FALSE(WriteAnalysisFile(dir.filePath(QStringLiteral("no/such/folder/y.qora")), CaptureAnalysis(*doc), &error));

    // A failed write leaves the previous file as it was.
    const QString path = dir.filePath(QStringLiteral("z.bvf.qora"));
    Write(path, "old contents");
    ASSERT_TRUE(QDir().mkpath(path + QStringLiteral(".bak/inside"))); // the backup cannot be made
    EXPECT_FALSE(WriteAnalysisFile(path, CaptureAnalysis(*doc), &error));
    EXPECT_TRUE(Contents(path) == QByteArray("old contents"));
}

// An AVI without our information chunk has only an assumed rate: the rate
// the user gave it is part of the work, or tracked times come back wrong.
TEST(AnalysisFile, TheRateChosenForAnAviWithoutATimeBaseComesBack)
{
    QTemporaryDir dir;
    const QString recording = dir.filePath(QStringLiteral("ffmpeg.avi"));
    Write(recording, QByteArray(99, 'x'));
    const auto aviDocument = [&] {
        auto doc = std::make_unique<VideoDocument>();
        auto source = std::make_unique<FakeSource>(-4, 20, 64, 48, 1000, 0); // the frames AddPoints uses
        source->kind = 0;
        doc->AttachSource(std::move(source), recording);
        return doc;
    };
    auto doc = aviDocument();
    ASSERT_TRUE(doc->TimeBaseAssumed());
    EXPECT_EQ(CaptureAnalysis(*doc).Recording.ChosenRate, 0); // nothing chosen, nothing kept
    ASSERT_TRUE(doc->SetRecordingRate(5000, 3));
    AddPoints(*doc);
    const QString path = AnalysisPathFor(recording);
    QString error;
    ASSERT_TRUE(WriteAnalysisFile(path, CaptureAnalysis(*doc), &error)) << error.toStdString();

    auto reopened = aviDocument();
    Analysis loaded;
    QString message;
    ASSERT_EQ(LoadAnalysisFor(*reopened, path, &loaded, &message), AnalysisProblem::None) << message.toStdString();
    ApplyAnalysis(loaded, *reopened);
    EXPECT_FALSE(reopened->TimeBaseAssumed());
    EXPECT_EQ(reopened->Info.FrameRate, 5000);
    EXPECT_EQ(reopened->Info.TimeZeroFrame, 3);
    EXPECT_EQ(reopened->TimeOfFrame(13), Rational(10, 5000));
    ExpectSameDocumentWork(*doc, *reopened);

    // A rate set before the file is applied (the command line's --rate) stays.
    auto rated = aviDocument();
    ASSERT_TRUE(rated->SetRecordingRate(250, 0));
    ApplyAnalysis(loaded, *rated);
    EXPECT_EQ(rated->Info.FrameRate, 250);
}
