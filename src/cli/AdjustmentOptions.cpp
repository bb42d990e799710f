#include "cli/AdjustmentOptions.h"

#include "adjust/AdjustmentEntry.h"
#include "document/VideoDocument.h"

#include <QFileInfo>
#include <QImageReader>
#include <memory>
#include <optional>
#include <vector>

namespace {

struct Range {
    int low;
    int high;
};

// Parses `count` comma-separated whole numbers, each within its range.
std::optional<std::vector<int>> ParseInts(const QString& option, const QString& text,
                                          const std::vector<Range>& ranges, QString* error)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != qsizetype(ranges.size())) {
        *error = QStringLiteral("%1: expected %2 comma-separated whole numbers, got \"%3\"")
                     .arg(option).arg(ranges.size()).arg(text);
        return std::nullopt;
    }
    std::vector<int> values;
    for (size_t i = 0; i < ranges.size(); ++i) {
        bool ok = false;
        const int v = parts[qsizetype(i)].trimmed().toInt(&ok);
        if (!ok) {
            *error = QStringLiteral("%1: \"%2\" is not a whole number").arg(option, parts[qsizetype(i)]);
            return std::nullopt;
        }
        if (v < ranges[i].low || v > ranges[i].high) {
            *error = QStringLiteral("%1: %2 is outside %3..%4")
                         .arg(option).arg(v).arg(ranges[i].low).arg(ranges[i].high);
            return std::nullopt;
        }
        values.push_back(v);
    }
    return values;
}

template <class T>
std::unique_ptr<AdjustmentEntry> MakeEntry(T parameters)
{
    return std::make_unique<AdjustmentEntry>(std::move(parameters));
}

// "X,Y,ANGLE,TEXT": the text is everything after the third comma.
std::unique_ptr<AdjustmentEntry> ParseText(const QString& option, const QString& value, QString* error)
{
    const int first = value.indexOf(QLatin1Char(','));
    const int second = first < 0 ? -1 : value.indexOf(QLatin1Char(','), first + 1);
    const int third = second < 0 ? -1 : value.indexOf(QLatin1Char(','), second + 1);
    if (third < 0) {
        *error = QStringLiteral("%1: expected X,Y,ANGLE,TEXT, got \"%2\"").arg(option, value);
        return nullptr;
    }
    const auto numbers = ParseInts(option, value.left(third),
                                   {{-1000000, 1000000}, {-1000000, 1000000}, {-360000, 360000}}, error);
    if (!numbers)
        return nullptr;
    const QString text = value.mid(third + 1);
    if (text.isEmpty()) {
        *error = QStringLiteral("%1: the text is empty").arg(option);
        return nullptr;
    }
    if (text.size() > 255) {
        *error = QStringLiteral("%1: the text is longer than 255 characters").arg(option);
        return nullptr;
    }
    AnnotationEntry annotation;
    annotation.AnnX = (*numbers)[0];
    annotation.AnnY = (*numbers)[1];
    annotation.AnnAngle = (*numbers)[2];
    annotation.AnnDrawText = text;
    annotation.AnnLabel = text;
    return MakeEntry(annotation);
}

// "time-s|time-ms|frame,X,Y[,DECIMALS]": a time or frame stamp drawn like
// --text (default font, transparent, not turned), 3 decimals by default.
std::unique_ptr<AdjustmentEntry> ParseStamp(const QString& option, const QString& value, QString* error)
{
    const QStringList parts = value.split(QLatin1Char(','));
    static const char* const kinds[] = {"time-s", "time-ms", "frame"};
    int infoKind = -1;
    for (int k = 0; k < 3; ++k)
        if (parts[0].trimmed() == QLatin1String(kinds[k]))
            infoKind = k;
    if (infoKind < 0 || parts.size() < 3 || parts.size() > 4) {
        *error = QStringLiteral("%1: expected time-s|time-ms|frame,X,Y[,DECIMALS], got \"%2\"").arg(option, value);
        return nullptr;
    }
    std::vector<Range> ranges{{-1000000, 1000000}, {-1000000, 1000000}};
    if (parts.size() == 4)
        ranges.push_back({0, 15});
    const auto numbers = ParseInts(option, parts.mid(1).join(QLatin1Char(',')), ranges, error);
    if (!numbers)
        return nullptr;
    AnnotationEntry stamp;
    stamp.TimeStamp = true;
    stamp.AnnInfoKind = infoKind;
    stamp.AnnX = (*numbers)[0];
    stamp.AnnY = (*numbers)[1];
    stamp.AnnDecimals = parts.size() == 4 ? (*numbers)[2] : 3;
    static const char* const labels[] = {"Time s", "Time ms", "Frame Number"};
    stamp.AnnLabel = QString::fromLatin1(labels[infoKind]);
    return MakeEntry(stamp);
}

// "FILE,CORNER,METHOD,SIZE": the file name may hold commas, the last three
// fields never do.
std::unique_ptr<AdjustmentEntry> ParseLogo(const QString& option, const QString& value, QString* error)
{
    QStringList parts = value.split(QLatin1Char(','));
    if (parts.size() < 4) {
        *error = QStringLiteral("%1: expected FILE,CORNER,METHOD,SIZE, got \"%2\"").arg(option, value);
        return nullptr;
    }
    const QString sizeText = parts.takeLast().trimmed();
    const QString methodText = parts.takeLast().trimmed();
    const QString cornerText = parts.takeLast().trimmed();
    const QString file = parts.join(QLatin1Char(','));
    const QStringList corners{QStringLiteral("tl"), QStringLiteral("tr"), QStringLiteral("bl"), QStringLiteral("br")};
    const QStringList methods{QStringLiteral("hatch"), QStringLiteral("solid"), QStringLiteral("average"),
                              QStringLiteral("and"), QStringLiteral("or")};
    const int corner = int(corners.indexOf(cornerText));
    if (corner < 0) {
        *error = QStringLiteral("%1: corner \"%2\" is not one of tl, tr, bl, br").arg(option, cornerText);
        return nullptr;
    }
    const int method = int(methods.indexOf(methodText));
    if (method < 0) {
        *error = QStringLiteral("%1: method \"%2\" is not one of hatch, solid, average, and, or").arg(option, methodText);
        return nullptr;
    }
    const auto size = ParseInts(option, sizeText, {{1, 1000}}, error);
    if (!size)
        return nullptr;
    // A logo that cannot be read would silently draw nothing.
    QImageReader reader(file);
    if (file.isEmpty() || !reader.canRead()) {
        *error = QStringLiteral("%1: cannot read the image \"%2\"").arg(option, file);
        return nullptr;
    }
    LogoEntry logo;
    logo.LogoFile = QFileInfo(file).absoluteFilePath();
    logo.LogoCorner = corner;
    logo.LogoMethod = method;
    logo.LogoSize = (*size)[0];
    logo.LogoLabel = QFileInfo(file).fileName().left(255);
    return MakeEntry(logo);
}

std::unique_ptr<AdjustmentEntry> ParseOne(const QString& option, const QString& value, QString* error)
{
    if (option == QLatin1String("--brightness")) {
        const auto v = ParseInts(option, value, {{-254, 254}}, error);
        return v ? MakeEntry(BrightnessEntry{.Offset = (*v)[0]}) : nullptr;
    }
    if (option == QLatin1String("--contrast")) {
        const auto v = ParseInts(option, value, {{-150, 150}}, error);
        return v ? MakeEntry(ContrastEntry{.Amount = (*v)[0]}) : nullptr;
    }
    if (option == QLatin1String("--gamma-slider")) {
        const auto v = ParseInts(option, value, {{1, 19}}, error);
        if (!v)
            return nullptr;
        return MakeEntry(GammaEntry{.Slider = (*v)[0], .Exponent = float(20 - (*v)[0]) / 10.0f});
    }
    if (option == QLatin1String("--rgb")) {
        const auto v = ParseInts(option, value, {{-150, 150}, {-150, 150}, {-150, 150}}, error);
        return v ? MakeEntry(RgbEntry{.Red = (*v)[0], .Green = (*v)[1], .Blue = (*v)[2]}) : nullptr;
    }
    if (option == QLatin1String("--hue-sat")) {
        const auto v = ParseInts(option, value, {{-180, 180}, {-100, 100}}, error);
        return v ? MakeEntry(HueSatEntry{.Hue = (*v)[0], .Saturation = (*v)[1], .Value = 0}) : nullptr;
    }
    if (option == QLatin1String("--rotate")) {
        const auto v = ParseInts(option, value, {{0, 3}, {0, 3}}, error);
        return v ? MakeEntry(RotateEntry{.Mirror = (*v)[0], .Turn = (*v)[1]}) : nullptr;
    }
    if (option == QLatin1String("--stamp"))
        return ParseStamp(option, value, error);
    if (option == QLatin1String("--logo"))
        return ParseLogo(option, value, error);
    return ParseText(option, value, error);
}

} // namespace

const CliOptionTable& AdjustmentOptionTable()
{
    static const CliOptionTable table{
        {"--brightness", "D", "brightness offset -254..254", true},
        {"--contrast", "A", "contrast -150..150", true},
        {"--gamma-slider", "S", "gamma slider 1..19 (10 = none)", true},
        {"--rgb", "R,G,B", "colour balance, each -150..150", true},
        {"--hue-sat", "H,S", "hue -180..180, saturation -100..100", true},
        {"--rotate", "MIRROR,TURN", "mirror 0..3, turn 0 none, 1 = 90, 2 = 270, 3 = 180 degrees", true},
        {"--text", "X,Y,ANGLE,TEXT", "text at (X, Y) turned ANGLE degrees counter-clockwise", true},
        {"--stamp", "time-s|time-ms|frame,X,Y[,DECIMALS]",
         "the frame's time in s or ms (DECIMALS, default 3) or its number at (X, Y), drawn like --text", true},
        {"--logo", "FILE,CORNER,METHOD,SIZE",
         "image blended into corner tl|tr|bl|br by hatch|solid|average|and|or at SIZE percent", true},
    };
    return table;
}

QStringList AdjustmentOptionNames()
{
    QStringList names;
    for (const CliOption& option : AdjustmentOptionTable())
        names << QString::fromLatin1(option.name);
    return names;
}

bool ParseAdjustmentOptions(const QStringList& args, VideoDocument& doc, QString* error)
{
    QString message;
    const QStringList names = AdjustmentOptionNames();
    std::vector<std::unique_ptr<AdjustmentEntry>> parsed;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& option = args[i];
        if (!names.contains(option))
            continue;
        if (i + 1 >= args.size()) {
            message = QStringLiteral("%1 needs a value").arg(option);
            break;
        }
        auto entry = ParseOne(option, args[++i], &message);
        if (!entry)
            break;
        // A document has at most one entry of each adjustment kind; texts,
        // stamps and logos may repeat.
        if (!IsOverlayKind(entry->Kind())) {
            if (FindEntry(doc.Adjustments, entry->Kind())) {
                message = QStringLiteral("%1: the analysis already holds this adjustment").arg(option);
                break;
            }
            bool twice = false;
            for (const auto& other : parsed)
                twice = twice || other->Kind() == entry->Kind();
            if (twice) {
                message = QStringLiteral("%1 may be given only once").arg(option);
                break;
            }
        }
        parsed.push_back(std::move(entry));
    }
    if (!message.isEmpty()) {
        if (error)
            *error = message;
        return false;
    }
    for (auto& entry : parsed)
        doc.AppendEntry(std::move(entry));
    return true;
}
