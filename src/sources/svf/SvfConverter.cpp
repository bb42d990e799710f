#include "sources/svf/SvfConverter.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

using namespace svf;

namespace {

// Gains stay within this factor of green: a wilder reference is a mistake.
constexpr double kMaxWhiteGain = 8.0;
// A white reference darker than this (12-bit mean of its brightest colour)
// has no colour to balance against.
constexpr double kDarkestWhiteReference = 32.0;

std::array<double, 3> GainsFromWhite(double red, double green, double blue)
{
    auto gain = [green](double v) { return v > 0 ? std::clamp(green / v, 1 / kMaxWhiteGain, kMaxWhiteGain) : 1.0; };
    return {gain(red), 1.0, gain(blue)};
}

bool SameTone(const ProcessSettings& a, const ProcessSettings& b)
{
    return a.gamma == b.gamma && a.knee == b.knee && a.luminanceLut == b.luminanceLut;
}

} // namespace

TFxSvffFc::TFxSvffFc()
    : m_curve(DefaultCustomCurve())
{
}

TFxSvffFc::~TFxSvffFc() = default;

bool TFxSvffFc::OpenFile(const QString& name)
{
    auto file = std::make_unique<QFile>(name);
    // Unbuffered: frames are read whole, straight into their buffer.
    if (!file->open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        m_error = QStringLiteral("Cannot open \"%1\": %2").arg(name, file->errorString());
        return false;
    }
    if (!OpenDevice(std::move(file))) {
        m_error = QStringLiteral("\"%1\": %2").arg(QFileInfo(name).fileName(), m_error);
        return false;
    }
    return true;
}

bool TFxSvffFc::OpenDevice(std::unique_ptr<QIODevice> device)
{
    if (m_method == MethodC) {
        m_error = QStringLiteral("Method C needs the PCI conversion card, which was not found.");
        return false;
    }
    if (m_method == MethodD1 || m_method == MethodD2 || m_method == MethodD3) {
        m_error = QStringLiteral("Method D needs a GPU conversion device, which was not found.");
        return false;
    }
    if (!device || !device->isOpen() || device->isSequential()) {
        m_error = QStringLiteral("The recording cannot be read.");
        return false;
    }
    char bytes[kHeaderSize];
    const int64_t size = device->size();
    if (size < kHeaderSize || !device->seek(0) || device->read(bytes, kHeaderSize) != kHeaderSize) {
        m_error = QStringLiteral("The file is too short to be a Stravo recording.");
        return false;
    }
    Header header;
    if (!ParseHeader(bytes, size, &header, &m_error))
        return false;

    CloseFile();
    m_device = std::move(device);
    m_fileSize = size;
    m_header = header;
    m_whiteArea[0] = -1;
    m_whiteArea[1] = 0;
    m_autoGains = {1, 1, 1};
    // Black level off, the rest stretched back to the full 12 bits.
    const int black = header.blackLevel;
    for (int v = 0; v <= kMaxSample; ++v)
        m_blackTable[size_t(v)] = uint16_t(v <= black ? 0 : ((v - black) * kMaxSample + (kMaxSample - black) / 2) / (kMaxSample - black));
    m_packed.resize(size_t(PackedFrameBytes(header.width, header.height)));
    m_mosaic.pattern = header.bayerPattern;
    m_mosaic.plane.resize(header.width, header.height, Mosaic::kBorder);
    if (!readCurrent(header.startFrame)) {
        const QString why = m_error;
        CloseFile();
        m_error = why;
        return false;
    }
    m_error.clear();
    return true;
}

void TFxSvffFc::CloseFile()
{
    m_device.reset();
    m_fileSize = 0;
}

bool TFxSvffFc::readCurrent(int32_t n)
{
    const int64_t at = m_header.framesOffset + (int64_t(n) - m_header.startFrame) * m_header.frameStride;
    const int64_t count = int64_t(m_packed.size());
    if (!m_device->seek(at) || m_device->read(reinterpret_cast<char*>(m_packed.data()), count) != count) {
        m_error = QStringLiteral("Frame %1 cannot be read: %2").arg(n).arg(m_device->errorString());
        return false;
    }
    const int w = m_header.width;
    Plane16& plane = m_mosaic.plane;
    for (int y = 0; y < m_header.height; ++y) {
        uint16_t* row = plane.row(y);
        UnpackSamples(m_packed.data() + size_t(y) * size_t(w) * 3 / 2, w, row);
        if (m_header.blackLevel != 0)
            for (int x = 0; x < w; ++x)
                row[x] = m_blackTable[row[x] & kMaxSample];
    }
    plane.mirrorBorder();
    m_current = n;
    return true;
}

bool TFxSvffFc::SetFrameNumber(int32_t n)
{
    if (!IsOpen()) {
        m_error = QStringLiteral("No recording is open.");
        return false;
    }
    if (n < m_header.startFrame || n > m_header.endFrame) {
        m_error = QStringLiteral("Frame %1 is outside the recording (frames %2 to %3).")
                      .arg(n).arg(m_header.startFrame).arg(m_header.endFrame);
        return false;
    }
    if (n == m_current)
        return true;
    if (!readCurrent(n)) {
        // The mosaic may hold part of the failed frame: read the current one again.
        const QString why = m_error;
        readCurrent(m_current);
        m_error = why;
        return false;
    }
    return true;
}

bool TFxSvffFc::SetConversionMethod(int16_t method)
{
    if (method < MethodA || method > MethodD3) {
        m_error = QStringLiteral("Conversion method %1 does not exist (1 to 8).").arg(method);
        return false;
    }
    m_method = method;
    return true;
}

DemosaicMethod TFxSvffFc::demosaicMethod() const
{
    switch (m_method) {
    case MethodA: return DemosaicMethod::Bilinear;
    case MethodB3: return DemosaicMethod::GradientCorrected;
    default: return DemosaicMethod::EdgeDirected;
    }
}

std::array<double, 3> TFxSvffFc::whiteGains() const
{
    switch (m_whiteBalance) {
    case WbCustom: return m_customGains;
    case Wb3100: return TemperatureGains(3100);
    case Wb5000: return TemperatureGains(5000);
    case Wb9000: return TemperatureGains(9000);
    case WbRegistered:
        return GainsFromWhite(m_header.registeredWhite[0], m_header.registeredWhite[1], m_header.registeredWhite[2]);
    case WbAuto: return m_autoGains;
    default: return {1, 1, 1};
    }
}

bool TFxSvffFc::Convert()
{
    if (!IsOpen()) {
        m_error = QStringLiteral("No recording is open.");
        return false;
    }
    const int w = m_header.width;
    const int h = m_header.height;
    if (!m_toneValid || !SameTone(m_toneFor, m_settings) || (m_settings.luminanceLut == 2 && m_toneCurveFor != m_curve)) {
        BuildToneTable(m_settings, m_curve, m_tone);
        m_toneFor = m_settings;
        m_toneCurveFor = m_curve;
        m_toneValid = true;
    }
    const ColourMatrix matrix = BuildColourMatrix(m_settings, whiteGains(), m_method == MethodB2);
    const DemosaicMethod method = demosaicMethod();
    if (method != DemosaicMethod::Bilinear)
        InterpolateGreen(m_mosaic, method, m_green);

    m_bitmap.resize(w, h);
    m_rows.resize(size_t(w) * 3);
    uint16_t* red = m_rows.data();
    uint16_t* green = red + w;
    uint16_t* blue = green + w;
    for (int y = 0; y < h; ++y) {
        DemosaicRow(m_mosaic, m_green, method, y, red, green, blue);
        ColourRow(red, green, blue, w, matrix, m_tone.data(), m_bitmap.row(y));
    }
    if (m_settings.lowPass == 1)
        svf::LowPass(m_bitmap, m_scratch);
    if (m_settings.enhance > 0)
        svf::Enhance(m_bitmap, m_settings.enhance, m_scratch);

    if (Converted)
        Converted(m_bitmap);
    return true;
}

bool TFxSvffFc::SetWhitePoint(int32_t x, int32_t y)
{
    if (!IsOpen() || x < 0 || y < 0 || x >= m_header.width || y >= m_header.height) {
        m_error = QStringLiteral("The white point lies outside the picture.");
        return false;
    }
    // Site means over a 9 x 9 window around the point, inside the picture.
    constexpr int kReach = 4;
    double sum[3] = {0, 0, 0};
    int count[3] = {0, 0, 0};
    for (int v = std::max(0, y - kReach); v <= std::min(m_header.height - 1, y + kReach); ++v)
        for (int u = std::max(0, x - kReach); u <= std::min(m_header.width - 1, x + kReach); ++u) {
            const int site = SiteAt(m_header.bayerPattern, u, v);
            sum[site] += m_mosaic.plane.at(u, v);
            ++count[site];
        }
    double mean[3];
    for (int c = 0; c < 3; ++c)
        mean[c] = count[c] ? sum[c] / count[c] : 0.0;
    if (std::max({mean[0], mean[1], mean[2]}) < kDarkestWhiteReference) {
        m_error = QStringLiteral("White reference too dark: pick a light grey or white area");
        return false;
    }
    m_customGains = GainsFromWhite(mean[0], mean[1], mean[2]);
    return true;
}

void TFxSvffFc::GetWhiteArea(int16_t* first, int16_t* second) const
{
    if (first)
        *first = m_whiteArea[0];
    if (second)
        *second = m_whiteArea[1];
}

void TFxSvffFc::CalculateAutoWhite()
{
    if (!IsOpen())
        return;
    // Blocks near clipping or in the dark say nothing about the light.
    constexpr int kClipped = 3900;
    constexpr int kDark = 64;
    double sum[3] = {0, 0, 0};
    int64_t used = 0, blocks = 0;
    const Plane16& p = m_mosaic.plane;
    for (int y = 0; y + 1 < p.height; y += 2) {
        const uint16_t* r0 = p.row(y);
        const uint16_t* r1 = p.row(y + 1);
        for (int x = 0; x + 1 < p.width; x += 2) {
            int v[3] = {0, 0, 0};
            v[SiteAt(m_header.bayerPattern, x, y)] += r0[x];
            v[SiteAt(m_header.bayerPattern, x + 1, y)] += r0[x + 1];
            v[SiteAt(m_header.bayerPattern, x, y + 1)] += r1[x];
            v[SiteAt(m_header.bayerPattern, x + 1, y + 1)] += r1[x + 1];
            v[SiteGreen] /= 2;
            ++blocks;
            if (std::max({v[0], v[1], v[2]}) >= kClipped || v[SiteGreen] < kDark)
                continue;
            for (int c = 0; c < 3; ++c)
                sum[c] += v[c];
            ++used;
        }
    }
    if (used == 0) {
        m_autoGains = {1, 1, 1};
        m_whiteArea[0] = 0;
        m_whiteArea[1] = 0;
        return;
    }
    m_autoGains = GainsFromWhite(sum[0], sum[1], sum[2]);
    m_whiteArea[0] = int16_t(used * 100 / blocks);
    m_whiteArea[1] = int16_t(std::lround(sum[1] / double(used)));
}

void TFxSvffFc::SetCustomLut(const CustomCurve& curve)
{
    for (int i = 0; i < 5; ++i)
        m_curve[size_t(i)] = std::clamp(curve[size_t(i)], 0, 255);
}

int32_t TFxSvffFc::EditCustomLut()
{
    if (CustomLutEditor)
        CustomLutEditor(*this);
    return 0;
}
