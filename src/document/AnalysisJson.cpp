// The JSON form of an analysis file, both ways. The reader checks the type
// and range of every field it takes; the first problem found is reported and
// nothing is taken from a damaged file.

#include "document/AnalysisFile.h"

#include "common/Overloaded.h"
#include "tracking/engine/TrackingPointList.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <cmath>
#include <limits>
#include <set>

namespace {

const QString kFormatName = QStringLiteral("Qor Player analysis");

// The largest template side and string the reader takes; far beyond what
// the program makes, small enough that a hostile file cannot exhaust memory.
constexpr int kMaxTemplateSide = 1024;
constexpr int kMaxStringLength = 32767;
constexpr int kMaxEntries = 100000;

// --- Writing -----------------------------------------------------------------------

QJsonArray Pair(double a, double b)
{
    return QJsonArray{a, b};
}


QJsonObject EntryToJson(const AdjustmentEntry& entry)
{
    QJsonObject o{{QStringLiteral("kind"), int(entry.Kind())}};
    std::visit(Overloaded{
                   [&](const ContrastEntry& e) { o[QStringLiteral("amount")] = e.Amount; },
                   [&](const LogoEntry& e) {
                       o[QStringLiteral("number")] = e.LogoNumber;
                       o[QStringLiteral("corner")] = e.LogoCorner;
                       o[QStringLiteral("method")] = e.LogoMethod;
                       o[QStringLiteral("file")] = e.LogoFile;
                       o[QStringLiteral("sizePercent")] = e.LogoSize;
                       o[QStringLiteral("disabled")] = e.LogoDisabled;
                       o[QStringLiteral("label")] = e.LogoLabel;
                   },
                   [&](const RgbEntry& e) {
                       o[QStringLiteral("red")] = e.Red;
                       o[QStringLiteral("green")] = e.Green;
                       o[QStringLiteral("blue")] = e.Blue;
                   },
                   [&](const AnnotationEntry& e) {
                       o[QStringLiteral("x")] = e.AnnX;
                       o[QStringLiteral("y")] = e.AnnY;
                       o[QStringLiteral("angle")] = e.AnnAngle;
                       o[QStringLiteral("background")] = e.AnnBackground;
                       o[QStringLiteral("text")] = e.AnnDrawText;
                       o[QStringLiteral("infoKind")] = e.AnnInfoKind;
                       o[QStringLiteral("decimals")] = e.AnnDecimals;
                       o[QStringLiteral("label")] = e.AnnLabel;
                       o[QStringLiteral("fontSize")] = e.AnnFontSize;
                       o[QStringLiteral("bold")] = e.AnnFontBold;
                       o[QStringLiteral("italic")] = e.AnnFontItalic;
                       o[QStringLiteral("underline")] = e.AnnFontUnderline;
                       o[QStringLiteral("strikeOut")] = e.AnnFontStrikeOut;
                       o[QStringLiteral("colour")] = qint64(e.AnnFontColour);
                       o[QStringLiteral("fontName")] = e.AnnFontName;
                   },
                   [&](const HueSatEntry& e) {
                       o[QStringLiteral("hue")] = e.Hue;
                       o[QStringLiteral("saturation")] = e.Saturation;
                       o[QStringLiteral("value")] = e.Value;
                   },
                   [&](const GammaEntry& e) {
                       o[QStringLiteral("slider")] = e.Slider;
                       o[QStringLiteral("exponent")] = double(e.Exponent);
                   },
                   [&](const RotateEntry& e) {
                       o[QStringLiteral("mirror")] = e.Mirror;
                       o[QStringLiteral("turn")] = e.Turn;
                   },
                   [&](const BrightnessEntry& e) { o[QStringLiteral("offset")] = e.Offset; },
                   [&](const CalibrationGridEntry& e) {
                       o[QStringLiteral("angle")] = e.AngleDegrees;
                       o[QStringLiteral("gridSize")] = double(e.GridSize);
                       o[QStringLiteral("startX")] = e.StartX;
                       o[QStringLiteral("startY")] = e.StartY;
                       o[QStringLiteral("polar")] = e.Polar;
                       o[QStringLiteral("pixelsPerUnit")] = double(e.PixelsPerUnit);
                   },
               },
               entry.Params());
    return o;
}

QJsonObject TemplateToJson(const tracking::TargetTemplate& t)
{
    QJsonArray values;
    for (double v : t.values)
        values.append(v);
    QJsonObject o{
        {QStringLiteral("width"), t.width},
        {QStringLiteral("height"), t.height},
        {QStringLiteral("fracX"), t.fracX},
        {QStringLiteral("fracY"), t.fracY},
        {QStringLiteral("values"), values},
    };
    if (t.first)
        o[QStringLiteral("first")] = TemplateToJson(*t.first);
    return o;
}

QJsonObject SearchToJson(const tracking::SearchParameters& p)
{
    return QJsonObject{
        {QStringLiteral("method"), int(p.Method)},
        {QStringLiteral("templateWidth"), p.TemplateWidth},
        {QStringLiteral("templateHeight"), p.TemplateHeight},
        {QStringLiteral("searchPercent"), p.SearchPercent},
        {QStringLiteral("threshold"), p.Threshold},
        {QStringLiteral("centreDiameter"), p.CentreDiameter},
        {QStringLiteral("maxCentreMove"), p.MaxCentreMove},
        {QStringLiteral("fixedRange"), p.FixedRange},
        {QStringLiteral("weightedCog"), p.WeightedCog},
        {QStringLiteral("thresholdPercent"), p.ThresholdPercent},
        {QStringLiteral("rangeMin"), p.RangeMin},
        {QStringLiteral("rangeMax"), p.RangeMax},
    };
}

QJsonObject PointToJson(const AnalysisPoint& stored)
{
    const TTrackingPoint& p = stored.Point;
    QJsonArray records;
    for (const TrackRecord& r : stored.Records)
        records.append(QJsonArray{r.FrameNo, int(r.Status), r.X, r.Y, int(r.RecMethod)});
    QJsonObject o{
        {QStringLiteral("id"), p.PointId},
        {QStringLiteral("name"), p.Name},
        {QStringLiteral("mark"), int(p.Mark)},
        {QStringLiteral("confirmed"), p.Confirmed},
        {QStringLiteral("selected"), p.Selected},
        {QStringLiteral("mode"), int(p.Mode)},
        {QStringLiteral("enabled"), p.Enabled},
        {QStringLiteral("showMarker"), p.ShowMarker},
        {QStringLiteral("zoom"), p.ZoomFactor},
        {QStringLiteral("definedFrame"), p.DefinedFrame},
        {QStringLiteral("updateEvery"), p.UpdateEvery},
        {QStringLiteral("updateTemplate"), p.UpdateTemplate},
        {QStringLiteral("dynamicSearch"), p.DynamicSearch},
        {QStringLiteral("predictiveSearch"), p.PredictiveSearch},
        {QStringLiteral("forceSquare"), p.ForceSquare},
        {QStringLiteral("search"), SearchToJson(p.Params)},
        {QStringLiteral("records"), records},
    };
    if (!p.Template.isEmpty())
        o[QStringLiteral("template")] = TemplateToJson(p.Template);
    return o;
}

// --- Reading -----------------------------------------------------------------------

// Takes fields out of JSON objects, remembering the first problem. Absent
// fields keep their default (so files stay readable when fields are added);
// a field of the wrong type or out of range damages the file.
class FieldReader {
public:
    bool ok() const { return m_problem.isEmpty(); }
    const QString& problem() const { return m_problem; }
    void fail(const QString& what)
    {
        if (m_problem.isEmpty())
            m_problem = what;
    }

    double real(const QJsonObject& o, const char* key, double value, double lo, double hi)
    {
        const QJsonValue v = o.value(QLatin1String(key));
        if (v.isUndefined())
            return value;
        const double d = v.toDouble(std::numeric_limits<double>::quiet_NaN());
        if (!v.isDouble() || !std::isfinite(d) || d < lo || d > hi) {
            fail(QStringLiteral("\"%1\" must be a number from %2 to %3").arg(QLatin1String(key)).arg(lo).arg(hi));
            return value;
        }
        return d;
    }
    qint64 integer(const QJsonObject& o, const char* key, qint64 value, qint64 lo, qint64 hi)
    {
        const QJsonValue v = o.value(QLatin1String(key));
        if (v.isUndefined())
            return value;
        const double d = v.toDouble(std::numeric_limits<double>::quiet_NaN());
        if (!v.isDouble() || !(d >= double(lo) && d <= double(hi)) || d != std::floor(d)) {
            fail(QStringLiteral("\"%1\" must be a whole number from %2 to %3").arg(QLatin1String(key)).arg(lo).arg(hi));
            return value;
        }
        return qint64(d);
    }
    int int32(const QJsonObject& o, const char* key, int value, int lo = std::numeric_limits<int>::min(),
              int hi = std::numeric_limits<int>::max())
    {
        return int(integer(o, key, value, lo, hi));
    }
    bool boolean(const QJsonObject& o, const char* key, bool value)
    {
        const QJsonValue v = o.value(QLatin1String(key));
        if (v.isUndefined())
            return value;
        if (!v.isBool()) {
            fail(QStringLiteral("\"%1\" must be true or false").arg(QLatin1String(key)));
            return value;
        }
        return v.toBool();
    }
    QString string(const QJsonObject& o, const char* key, const QString& value)
    {
        const QJsonValue v = o.value(QLatin1String(key));
        if (v.isUndefined())
            return value;
        if (!v.isString() || v.toString().size() > kMaxStringLength) {
            fail(QStringLiteral("\"%1\" must be a text of at most %2 characters").arg(QLatin1String(key)).arg(kMaxStringLength));
            return value;
        }
        return v.toString();
    }
    QJsonObject object(const QJsonObject& o, const char* key)
    {
        const QJsonValue v = o.value(QLatin1String(key));
        if (!v.isUndefined() && !v.isObject())
            fail(QStringLiteral("\"%1\" must be an object").arg(QLatin1String(key)));
        return v.toObject();
    }
    QJsonArray array(const QJsonObject& o, const char* key)
    {
        const QJsonValue v = o.value(QLatin1String(key));
        if (!v.isUndefined() && !v.isArray())
            fail(QStringLiteral("\"%1\" must be a list").arg(QLatin1String(key)));
        return v.toArray();
    }
    // An array of exactly `count` finite numbers.
    std::vector<double> numbers(const QJsonValue& v, const QString& what, qsizetype count)
    {
        std::vector<double> out;
        const QJsonArray a = v.toArray();
        if (!v.isArray() || a.size() != count) {
            fail(QStringLiteral("%1 must be a list of %2 numbers").arg(what).arg(count));
            return out;
        }
        out.reserve(size_t(count));
        for (const QJsonValue& x : a) {
            const double d = x.toDouble(std::numeric_limits<double>::quiet_NaN());
            if (!x.isDouble() || !std::isfinite(d)) {
                fail(QStringLiteral("%1 must hold numbers only").arg(what));
                return {};
            }
            out.push_back(d);
        }
        return out;
    }

private:
    QString m_problem;
};

constexpr int kMin = std::numeric_limits<int>::min();
constexpr int kMax = std::numeric_limits<int>::max();
constexpr double kFloatMax = double(std::numeric_limits<float>::max());

std::unique_ptr<AdjustmentEntry> EntryFromJson(FieldReader& in, const QJsonObject& o)
{
    const int kind = in.int32(o, "kind", 0);
    std::unique_ptr<AdjustmentEntry> entry = MakeAdjustmentEntry(kind);
    if (!entry) {
        in.fail(QStringLiteral("unknown adjustment kind %1").arg(kind));
        return nullptr;
    }
    std::visit(Overloaded{
                   [&](ContrastEntry& e) { e.Amount = in.int32(o, "amount", e.Amount); },
                   [&](LogoEntry& e) {
                       e.LogoNumber = in.int32(o, "number", e.LogoNumber);
                       e.LogoCorner = in.int32(o, "corner", e.LogoCorner);
                       e.LogoMethod = in.int32(o, "method", e.LogoMethod);
                       e.LogoFile = in.string(o, "file", e.LogoFile);
                       e.LogoSize = in.int32(o, "sizePercent", e.LogoSize);
                       e.LogoDisabled = in.boolean(o, "disabled", e.LogoDisabled);
                       e.LogoLabel = in.string(o, "label", e.LogoLabel);
                   },
                   [&](RgbEntry& e) {
                       e.Red = in.int32(o, "red", e.Red);
                       e.Green = in.int32(o, "green", e.Green);
                       e.Blue = in.int32(o, "blue", e.Blue);
                   },
                   [&](AnnotationEntry& e) {
                       e.AnnX = in.int32(o, "x", e.AnnX);
                       e.AnnY = in.int32(o, "y", e.AnnY);
                       e.AnnAngle = in.int32(o, "angle", e.AnnAngle);
                       e.AnnBackground = in.int32(o, "background", e.AnnBackground);
                       e.AnnDrawText = in.string(o, "text", e.AnnDrawText);
                       e.AnnInfoKind = in.int32(o, "infoKind", e.AnnInfoKind);
                       e.AnnDecimals = in.int32(o, "decimals", e.AnnDecimals);
                       e.AnnLabel = in.string(o, "label", e.AnnLabel);
                       e.AnnFontSize = in.int32(o, "fontSize", e.AnnFontSize);
                       e.AnnFontBold = in.boolean(o, "bold", e.AnnFontBold);
                       e.AnnFontItalic = in.boolean(o, "italic", e.AnnFontItalic);
                       e.AnnFontUnderline = in.boolean(o, "underline", e.AnnFontUnderline);
                       e.AnnFontStrikeOut = in.boolean(o, "strikeOut", e.AnnFontStrikeOut);
                       e.AnnFontColour = unsigned(in.integer(o, "colour", e.AnnFontColour, 0, 0xFFFFFFFFLL));
                       e.AnnFontName = in.string(o, "fontName", e.AnnFontName);
                   },
                   [&](HueSatEntry& e) {
                       e.Hue = in.int32(o, "hue", e.Hue);
                       e.Saturation = in.int32(o, "saturation", e.Saturation);
                       e.Value = in.int32(o, "value", e.Value);
                   },
                   [&](GammaEntry& e) {
                       e.Slider = in.int32(o, "slider", e.Slider);
                       e.Exponent = float(in.real(o, "exponent", e.Exponent, -kFloatMax, kFloatMax));
                   },
                   [&](RotateEntry& e) {
                       e.Mirror = in.int32(o, "mirror", e.Mirror);
                       e.Turn = in.int32(o, "turn", e.Turn);
                   },
                   [&](BrightnessEntry& e) { e.Offset = in.int32(o, "offset", e.Offset); },
                   [&](CalibrationGridEntry& e) {
                       e.AngleDegrees = in.int32(o, "angle", e.AngleDegrees);
                       e.GridSize = float(in.real(o, "gridSize", e.GridSize, -kFloatMax, kFloatMax));
                       e.StartX = in.int32(o, "startX", e.StartX);
                       e.StartY = in.int32(o, "startY", e.StartY);
                       e.Polar = in.boolean(o, "polar", e.Polar);
                       e.PixelsPerUnit = float(in.real(o, "pixelsPerUnit", e.PixelsPerUnit, -kFloatMax, kFloatMax));
                   },
               },
               entry->Params());
    return entry;
}

// A template (and, one level down, the first template it was recaptured from).
bool TemplateFromJson(FieldReader& in, const QJsonObject& o, tracking::TargetTemplate* t, bool allowFirst)
{
    t->width = in.int32(o, "width", 0, 0, kMaxTemplateSide);
    t->height = in.int32(o, "height", 0, 0, kMaxTemplateSide);
    t->fracX = in.real(o, "fracX", 0.0, -1.0, 1.0);
    t->fracY = in.real(o, "fracY", 0.0, -1.0, 1.0);
    if (!in.ok())
        return false;
    t->values = in.numbers(o.value(QLatin1String("values")), QStringLiteral("\"values\""),
                           qsizetype(t->width) * t->height);
    if (o.contains(QLatin1String("first"))) {
        if (!allowFirst) {
            in.fail(QStringLiteral("a first template has no first template of its own"));
            return false;
        }
        auto first = std::make_shared<tracking::TargetTemplate>();
        if (!TemplateFromJson(in, in.object(o, "first"), first.get(), false))
            return false;
        t->first = std::move(first);
    }
    return in.ok();
}

bool SearchFromJson(FieldReader& in, const QJsonObject& o, tracking::SearchParameters* p)
{
    p->Method = uint8_t(in.int32(o, "method", p->Method, tracking::MethodQuadrant, tracking::MethodCorrelation));
    const int width = in.int32(o, "templateWidth", p->TemplateWidth, 1, kMaxTemplateSide);
    const int height = in.int32(o, "templateHeight", p->TemplateHeight, 1, kMaxTemplateSide);
    const int percent = in.int32(o, "searchPercent", p->SearchPercent, 100, 1000);
    p->setSize(width, height, percent);
    p->Threshold = in.real(o, "threshold", p->Threshold, 0.0, 1.0);
    p->CentreDiameter = in.int32(o, "centreDiameter", p->CentreDiameter, 0, 1000);
    p->MaxCentreMove = in.int32(o, "maxCentreMove", p->MaxCentreMove, 0, 1000000);
    p->FixedRange = in.int32(o, "fixedRange", p->FixedRange, 0, 1);
    p->WeightedCog = in.int32(o, "weightedCog", p->WeightedCog, 0, 1);
    p->ThresholdPercent = in.int32(o, "thresholdPercent", p->ThresholdPercent, 0, 100);
    p->RangeMin = in.int32(o, "rangeMin", p->RangeMin, 0, 255);
    p->RangeMax = in.int32(o, "rangeMax", p->RangeMax, 0, 255);
    return in.ok();
}

bool PointFromJson(FieldReader& in, const QJsonObject& o, const AnalysisRecording& recording, AnalysisPoint* stored)
{
    TTrackingPoint& p = stored->Point;
    if (!o.contains(QLatin1String("id"))) {
        in.fail(QStringLiteral("a tracking point without \"id\""));
        return false;
    }
    p.PointId = in.int32(o, "id", 0, 0, TrackingPointList::MaxPointId);
    p.Name = in.string(o, "name", QStringLiteral("Point %1").arg(p.PointId));
    p.Mark = uint8_t(in.int32(o, "mark", p.Mark, MarkConfirmed, MarkVanished));
    p.Confirmed = in.boolean(o, "confirmed", p.Confirmed);
    p.Selected = in.boolean(o, "selected", p.Selected);
    p.Mode = uint8_t(in.int32(o, "mode", p.Mode, ModeAuto, ModeManual));
    p.Enabled = in.boolean(o, "enabled", p.Enabled);
    p.ShowMarker = in.boolean(o, "showMarker", p.ShowMarker);
    p.ZoomFactor = in.int32(o, "zoom", p.ZoomFactor, 1, 32);
    if (p.ZoomFactor & (p.ZoomFactor - 1))
        in.fail(QStringLiteral("\"zoom\" must be 1, 2, 4, 8, 16 or 32"));
    p.DefinedFrame = in.int32(o, "definedFrame", p.DefinedFrame);
    p.UpdateEvery = in.int32(o, "updateEvery", p.UpdateEvery, 0, kMax);
    p.UpdateTemplate = in.int32(o, "updateTemplate", p.UpdateTemplate, 0, 1);
    p.DynamicSearch = in.boolean(o, "dynamicSearch", p.DynamicSearch);
    p.PredictiveSearch = in.boolean(o, "predictiveSearch", p.PredictiveSearch);
    p.ForceSquare = in.boolean(o, "forceSquare", p.ForceSquare);
    if (!in.ok() || !SearchFromJson(in, in.object(o, "search"), &p.Params))
        return false;
    if (o.contains(QLatin1String("template")) &&
        !TemplateFromJson(in, in.object(o, "template"), &p.Template, true))
        return false;

    const qint64 firstFrame = recording.FirstFrame;
    const qint64 endFrame = firstFrame + recording.FrameCount;
    qint64 previous = firstFrame - 1;
    for (const QJsonValue& v : in.array(o, "records")) {
        const std::vector<double> r = in.numbers(v, QStringLiteral("a record"), 5);
        if (!in.ok())
            return false;
        TrackRecord record;
        const double frame = r[0];
        if (frame != std::floor(frame) || frame <= double(previous) || frame >= double(endFrame)) {
            in.fail(QStringLiteral("record frames must rise and lie within the recording's %1 frames from %2")
                        .arg(recording.FrameCount).arg(recording.FirstFrame));
            return false;
        }
        previous = qint64(frame);
        record.FrameNo = int(frame);
        if ((r[1] != 0 && r[1] != 1) || !(r[4] >= 0 && r[4] <= 255 && r[4] == std::floor(r[4]))) {
            in.fail(QStringLiteral("a record's status must be 0 or 1 and its method 0 to 255"));
            return false;
        }
        record.Status = uint8_t(r[1]);
        record.X = r[2];
        record.Y = r[3];
        record.RecMethod = uint8_t(r[4]);
        stored->Records.push_back(record);
    }
    return in.ok();
}

} // namespace

QByteArray AnalysisToJson(const Analysis& a)
{
    QJsonArray adjustments;
    for (const auto& entry : a.Adjustments)
        adjustments.append(EntryToJson(*entry));
    QJsonArray points;
    for (const AnalysisPoint& p : a.Points)
        points.append(PointToJson(p));
    QJsonObject recording{
        {QStringLiteral("file"), a.Recording.FileName},
        {QStringLiteral("size"), a.Recording.Size},
        {QStringLiteral("frameCount"), a.Recording.FrameCount},
        {QStringLiteral("firstFrame"), a.Recording.FirstFrame},
    };
    if (a.Recording.ChosenRate > 0) {
        recording[QStringLiteral("chosenRate")] = a.Recording.ChosenRate;
        recording[QStringLiteral("chosenTimeZeroFrame")] = a.Recording.ChosenTimeZeroFrame;
    }
    QJsonObject root{
        {QStringLiteral("format"), kFormatName},
        {QStringLiteral("version"), AnalysisFormatVersion},
        {QStringLiteral("recording"), recording},
        {QStringLiteral("adjustments"), adjustments},
        {QStringLiteral("calibration"),
         QJsonObject{
             {QStringLiteral("unitIndex"), a.Calibration.CalUnitIndex},
             {QStringLiteral("pixelsPerUnit"), double(a.Calibration.PixelsPerUnit)},
             {QStringLiteral("point1"), Pair(a.Calibration.CalPoint1[0], a.Calibration.CalPoint1[1])},
             {QStringLiteral("point2"), Pair(a.Calibration.CalPoint2[0], a.Calibration.CalPoint2[1])},
         }},
        {QStringLiteral("yDirection"), a.Origin.YDir == YDirection::Down ? QStringLiteral("down") : QStringLiteral("up")},
        {QStringLiteral("points"), points},
    };
    if (a.Origin.HasOrigin)
        root[QStringLiteral("origin")] = QJsonObject{{QStringLiteral("x"), a.Origin.X}, {QStringLiteral("y"), a.Origin.Y}};
    if (a.Marks.Set)
        root[QStringLiteral("marks")] =
            QJsonObject{{QStringLiteral("in"), a.Marks.InFrame}, {QStringLiteral("out"), a.Marks.OutFrame}};
    // One line: a point keeps a record for every tracked frame, and indented
    // records would take several times the space.
    return QJsonDocument(root).toJson(QJsonDocument::Compact);
}

AnalysisProblem AnalysisFromJson(const QByteArray& bytes, Analysis* analysis, QString* detail)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &parseError);
    if (document.isNull()) {
        *detail = QStringLiteral("not JSON: %1 at byte %2").arg(parseError.errorString()).arg(parseError.offset);
        return AnalysisProblem::Damaged;
    }
    const QJsonObject root = document.object();
    if (!document.isObject() || root.value(QLatin1String("format")).toString() != kFormatName) {
        *detail = QStringLiteral("not a Qor Player analysis file");
        return AnalysisProblem::Damaged;
    }
    FieldReader in;
    const QJsonValue versionValue = root.value(QLatin1String("version"));
    const double version = versionValue.toDouble(0.0);
    if (!versionValue.isDouble() || version < 1 || version != std::floor(version)) {
        *detail = QStringLiteral("no format version");
        return AnalysisProblem::Damaged;
    }
    if (version > AnalysisFormatVersion) {
        *detail = QStringLiteral("format version %1; this program reads up to version %2")
                      .arg(version, 0, 'f', 0)
                      .arg(AnalysisFormatVersion);
        return AnalysisProblem::NewerVersion;
    }

    Analysis a;
    const QJsonObject recording = in.object(root, "recording");
    a.Recording.FileName = in.string(recording, "file", QString());
    a.Recording.Size = in.integer(recording, "size", -1, 0, std::numeric_limits<qint64>::max() / 2);
    a.Recording.FrameCount = in.int32(recording, "frameCount", -1, 0, kMax);
    a.Recording.FirstFrame = in.int32(recording, "firstFrame", 0);
    a.Recording.ChosenRate = in.int32(recording, "chosenRate", 0, 0, 65535);
    a.Recording.ChosenTimeZeroFrame = in.int32(recording, "chosenTimeZeroFrame", 0);
    if (in.ok() && (a.Recording.Size < 0 || a.Recording.FrameCount < 0))
        in.fail(QStringLiteral("the recording's size and frame count are missing"));

    const QJsonArray adjustments = in.array(root, "adjustments");
    if (adjustments.size() > kMaxEntries)
        in.fail(QStringLiteral("more than %1 adjustments").arg(kMaxEntries));
    for (qsizetype i = 0; in.ok() && i < adjustments.size(); ++i) {
        if (!adjustments[i].isObject()) {
            in.fail(QStringLiteral("adjustment %1 is not an object").arg(i + 1));
            break;
        }
        if (auto entry = EntryFromJson(in, adjustments[i].toObject()))
            a.Adjustments.push_back(std::move(entry));
    }

    const QJsonObject calibration = in.object(root, "calibration");
    a.Calibration.CalUnitIndex = in.int32(calibration, "unitIndex", a.Calibration.CalUnitIndex, 0, 6);
    a.Calibration.PixelsPerUnit =
        float(in.real(calibration, "pixelsPerUnit", a.Calibration.PixelsPerUnit, 1e-30, kFloatMax));
    for (auto [key, point] : {std::pair{"point1", &a.Calibration.CalPoint1}, std::pair{"point2", &a.Calibration.CalPoint2}}) {
        const QJsonValue v = calibration.value(QLatin1String(key));
        if (v.isUndefined() || !in.ok())
            continue;
        const std::vector<double> xy = in.numbers(v, QStringLiteral("\"%1\"").arg(QLatin1String(key)), 2);
        if (in.ok() && (std::abs(xy[0]) > kFloatMax || std::abs(xy[1]) > kFloatMax))
            in.fail(QStringLiteral("\"%1\" is out of range").arg(QLatin1String(key)));
        if (in.ok())
            *point = {float(xy[0]), float(xy[1])};
    }

    const QString yDirection = in.string(root, "yDirection", QStringLiteral("up"));
    if (yDirection != QLatin1String("up") && yDirection != QLatin1String("down"))
        in.fail(QStringLiteral("\"yDirection\" must be \"up\" or \"down\""));
    a.Origin.YDir = yDirection == QLatin1String("down") ? YDirection::Down : YDirection::Up;
    if (root.contains(QLatin1String("origin"))) {
        const QJsonObject origin = in.object(root, "origin");
        a.Origin.HasOrigin = true;
        a.Origin.X = in.real(origin, "x", 0.0, -1e9, 1e9);
        a.Origin.Y = in.real(origin, "y", 0.0, -1e9, 1e9);
    }
    if (root.contains(QLatin1String("marks"))) {
        const QJsonObject marks = in.object(root, "marks");
        a.Marks.Set = true;
        a.Marks.InFrame = in.int32(marks, "in", a.Recording.FirstFrame);
        a.Marks.OutFrame = in.int32(marks, "out", a.Marks.InFrame);
        if (in.ok() && a.Marks.InFrame > a.Marks.OutFrame)
            in.fail(QStringLiteral("the in mark lies after the out mark"));
    }

    const QJsonArray points = in.array(root, "points");
    if (points.size() > TrackingPointList::MaxPointId + 1)
        in.fail(QStringLiteral("more than %1 tracking points").arg(TrackingPointList::MaxPointId + 1));
    std::set<int> ids;
    for (qsizetype i = 0; in.ok() && i < points.size(); ++i) {
        if (!points[i].isObject()) {
            in.fail(QStringLiteral("tracking point %1 is not an object").arg(i + 1));
            break;
        }
        AnalysisPoint stored;
        if (!PointFromJson(in, points[i].toObject(), a.Recording, &stored))
            break;
        if (!ids.insert(stored.Point.PointId).second) {
            in.fail(QStringLiteral("two tracking points have the id %1").arg(stored.Point.PointId));
            break;
        }
        a.Points.push_back(std::move(stored));
    }

    if (!in.ok()) {
        *detail = in.problem();
        return AnalysisProblem::Damaged;
    }
    *analysis = std::move(a);
    return AnalysisProblem::None;
}
