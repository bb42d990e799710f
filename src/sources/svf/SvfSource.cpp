#include "sources/svf/SvfSource.h"

#include <QFileInfo>
#include <atomic>

namespace {
std::atomic<int> g_conversionPreference{TFxSvffFc::MethodB1};
} // namespace

int SvfConversionPreference()
{
    return g_conversionPreference.load();
}

void SetSvfConversionPreference(int method)
{
    g_conversionPreference.store(method);
}

SvfSource::SvfSource(std::unique_ptr<TFxSvffFc> converter, const QString& path)
    : m_converter(std::move(converter)), m_path(path)
{
    m_converter->Converted = [this](Frame& bitmap) {
        if (!m_target)
            return;
        // Take the pixels; the converter gets the old buffer to fill next time.
        std::swap(*m_target, bitmap);
        m_frameReady = true;
    };
}

void SvfSource::fillInfo(RecordingInfo& info) const
{
    const TFxSvffFc& c = *m_converter;
    info.FileName = m_path;
    info.SourceKind = Kind;
    info.FrameCount = c.FrameTotal();
    info.ImageWidth = uint32_t(c.ImageSize()) >> 16;
    info.ImageHeight = c.ImageSize() & 0xFFFF;
    info.FrameNumberBase = 0;
    info.SvfSettingsA[0] = c.Gain();
    info.SvfSettingsA[1] = c.Gamma();
    info.SvfSettingsA[2] = c.Enhance();
    info.SvfSettingsA[5] = c.ConversionMethod();
    info.SvfSettingsA[3] = c.WhiteBalance();
    info.SvfSettingsA[4] = c.Saturation();
    info.SvfSettingsE = int16_t(c.RgbCorrection());
    c.GetWhiteArea(&info.SvfSettingsB[0], &info.SvfSettingsB[1]);
    info.SvfColour[0] = c.WhiteValue1();
    info.SvfColour[2] = c.WhiteValue2();
    info.SvfColour[1] = c.WhiteValue3();
    info.SvfSettingsC[0] = c.Hue();
    info.SvfSettingsC[2] = c.KneePoint();
    info.SvfSettingsC[1] = c.BayerPattern();
    info.SvfSettingsC[4] = c.BlackLevel();
    info.SvfSettingsC[5] = c.BitsPerSample();
    info.InfoText[4] = QStringLiteral("1/") + QString::number(c.Shutter());
    info.SvfSettingsD[0] = c.LowPass();
    info.SvfSettingsA[6] = c.Knee();
    info.FrameRate = c.RecordRate();
    info.InfoText[0] = QStringLiteral("Qor Stravo");
    info.InfoText[1] = c.ModelName().left(255);
    info.TimeZeroFrame = 0;
    info.FrameInterval = 1.0f / float(c.RecordRate());
    info.CurrentFrame = 0;
    info.RangeFirst = info.FirstFrame = info.RangeCopyFirst = c.StartFrameNumber();
    info.RangeLast = info.LastFrame = info.RangeCopyLast = c.EndFrameNumber();
}

bool SvfSource::readFrame(int frameNumber, Frame& frame)
{
    TFxSvffFc& c = *m_converter;
    if (frameNumber < c.StartFrameNumber() || frameNumber > c.EndFrameNumber()) {
        frame.resize(int(uint32_t(c.ImageSize()) >> 16), c.ImageSize() & 0xFFFF);
        frame.clear();
        m_error.clear();
        return true;
    }
    if (!c.SetFrameNumber(frameNumber)) {
        m_error = c.LastError();
        return false;
    }
    // The converter raises its event during Convert, on this thread; a
    // converter that raised none leaves the frame as it was.
    m_frameReady = false;
    m_target = &frame;
    const bool converted = c.Convert();
    m_target = nullptr;
    if (!converted || !m_frameReady) {
        m_error = converted ? QStringLiteral("Frame %1 was not delivered by the converter.").arg(frameNumber)
                            : c.LastError();
        return false;
    }
    m_error.clear();
    return true;
}

namespace {

// The opener's steps on a converter: the preferred method, or B1 when the
// file will not open with it (no such hardware here, or a method it cannot
// do); then the automatic white balance if it is due, and the knee on when
// the converter has none set.
bool OpenWithPreferredMethod(TFxSvffFc& converter, const QString& path, QString* error)
{
    if (!converter.SetConversionMethod(int16_t(SvfConversionPreference())) || !converter.OpenFile(path)) {
        converter.SetConversionMethod(TFxSvffFc::MethodB1);
        if (!converter.OpenFile(path)) {
            if (error)
                *error = converter.LastError();
            return false;
        }
    }
    int16_t area = 0;
    converter.GetWhiteArea(&area, nullptr);
    if (converter.WhiteBalance() == TFxSvffFc::WbAuto && area == -1)
        converter.CalculateAutoWhite();
    if (converter.Knee() == -1)
        converter.SetKnee(1);
    return true;
}

} // namespace

bool SvfSource::Reopen(QString* error)
{
    m_converter->CloseFile();
    return OpenWithPreferredMethod(*m_converter, m_path, error);
}

std::unique_ptr<SvfSource> OpenSvfSource(const QString& path, QString* error)
{
    if (!QFileInfo::exists(path)) {
        if (error)
            *error = QStringLiteral("Cannot find the Stravo recording \"%1\".").arg(path);
        return nullptr;
    }
    auto converter = std::make_unique<TFxSvffFc>();
    if (!OpenWithPreferredMethod(*converter, path, error))
        return nullptr;
    return std::make_unique<SvfSource>(std::move(converter), path);
}
