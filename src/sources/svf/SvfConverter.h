#pragma once
// TFxSvffFc: the converter of Stravo ".svf" recordings. It opens a file,
// keeps the processing settings, reads one frame at a time (straight to its
// 64-bit offset; only that frame is in memory) and converts it into a
// 24-bit frame, which it hands over through the `Converted` callback during
// Convert(), on the calling thread. The operations keep the names the
// document and the settings frame use; file format and processing are in
// docs/SVF-FORMAT.md.
//
// Operations that can fail return false and leave a one-line reason in
// LastError(); nothing is changed then.

#include "common/Frame.h"
#include "sources/svf/SvfDemosaic.h"
#include "sources/svf/SvfFormat.h"
#include "sources/svf/SvfProcessing.h"

#include <QIODevice>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>

class TFxSvffFc {
public:
    // Conversion methods (values of ConversionMethod).
    enum Method : int16_t {
        MethodA = 1,  // simple (bilinear)
        MethodB1 = 2, // high quality (edge-directed)
        MethodC = 3,  // PCI card
        MethodD1 = 4, // GPU high quality
        MethodB2 = 5, // B1 with the wide-gamut matrix
        MethodB3 = 6, // best quality (gradient-corrected)
        MethodD2 = 7, // GPU wide gamut
        MethodD3 = 8, // GPU best quality
    };
    // White balance modes.
    enum WhiteBalanceMode : int16_t { WbNone = -1, WbCustom = 0, Wb3100 = 1, Wb5000 = 2, Wb9000 = 3,
                                      WbRegistered = 4, WbAuto = 5 };

    TFxSvffFc();
    ~TFxSvffFc();
    TFxSvffFc(const TFxSvffFc&) = delete;
    TFxSvffFc& operator=(const TFxSvffFc&) = delete;

    // The event: the converted frame (24-bit, ImageSize). The handler may
    // take the pixels (swap them with a frame of its own).
    std::function<void(Frame& bitmap)> Converted;

    bool OpenFile(const QString& name);
    // Same from an open, seekable device (tests, fuzzing).
    bool OpenDevice(std::unique_ptr<QIODevice> device);
    void CloseFile();
    bool IsOpen() const { return m_device != nullptr; }
    QString LastError() const { return m_error; }

    QString ModelName() const { return m_header.modelName; }
    int32_t StartFrameNumber() const { return m_header.startFrame; }
    int32_t EndFrameNumber() const { return m_header.endFrame; }
    int32_t RecordRate() const { return m_header.recordRate; }
    // Width in the upper 16 bits, height in the lower 16 bits.
    int32_t ImageSize() const { return int32_t((uint32_t(m_header.width) << 16) | uint32_t(m_header.height)); }
    int32_t FrameTotal() const { return m_header.frameTotal; }
    int32_t Shutter() const { return m_header.shutter; }
    // The frame the converter stands on (the first one after opening).
    int32_t CurrentFrameNumber() const { return m_current; }

    // Reads frame n for the next Convert. False outside the recording or
    // when the file cannot be read.
    bool SetFrameNumber(int32_t n);

    int16_t Gain() const { return int16_t(m_settings.gain); }
    void SetGain(int16_t v) { m_settings.gain = v; }
    int16_t Gamma() const { return int16_t(m_settings.gamma); }
    void SetGamma(int16_t v) { m_settings.gamma = v; }
    int16_t Enhance() const { return int16_t(m_settings.enhance); }
    void SetEnhance(int16_t v) { m_settings.enhance = v; }
    int16_t WhiteBalance() const { return m_whiteBalance; }
    void SetWhiteBalance(int16_t v) { m_whiteBalance = v; }
    int16_t Saturation() const { return int16_t(m_settings.saturation); }
    void SetSaturation(int16_t v) { m_settings.saturation = v; }
    int16_t Knee() const { return int16_t(m_settings.knee); }
    void SetKnee(int16_t v) { m_settings.knee = v; }
    int32_t LowPass() const { return m_settings.lowPass; }
    void SetLowPass(int32_t v) { m_settings.lowPass = v; }
    int16_t Hue() const { return int16_t(m_settings.hue); }
    void SetHue(int16_t v) { m_settings.hue = v; }
    int32_t RgbCorrection() const { return m_settings.rgbCorrection; }
    void SetRgbCorrection(int32_t v) { m_settings.rgbCorrection = v; }
    int16_t LuminanceLut() const { return int16_t(m_settings.luminanceLut); }
    void SetLuminanceLut(int16_t v) { m_settings.luminanceLut = v; }
    int16_t ConversionMethod() const { return m_method; }
    // 1..8; other values are refused. Takes effect at the next OpenFile
    // (the methods without hardware here refuse to open).
    bool SetConversionMethod(int16_t method);

    // Converts the frame set last and raises Converted exactly once.
    // False (no event) when no file is open.
    bool Convert();

    // Takes the custom white reference from the current frame around image
    // point (x, y). False, changing nothing, outside the image or where the
    // reference is too dark to balance against.
    bool SetWhitePoint(int32_t x, int32_t y);
    // The automatic white balance's area: the percentage of the frame it
    // used (-1 before the first calculation) and its mean green level.
    void GetWhiteArea(int16_t* first, int16_t* second) const;
    // Grey world over the current frame's unclipped, not-too-dark 2 x 2 blocks.
    void CalculateAutoWhite();
    // Gains of the white balance in force: red, blue, green.
    double WhiteValue1() const { return whiteGains()[0]; }
    double WhiteValue2() const { return whiteGains()[2]; }
    double WhiteValue3() const { return whiteGains()[1]; }

    // Read-outs kept by the document: black level, bits per sample, Bayer
    // pattern, knee point (percent of white).
    int16_t BlackLevel() const { return int16_t(m_header.blackLevel); }
    int16_t BitsPerSample() const { return svf::kBitsPerSample; }
    int16_t BayerPattern() const { return int16_t(m_header.bayerPattern); }
    int16_t KneePoint() const { return 80; }

    // The custom luminance curve and its editor. EditCustomLut runs the
    // editor (set by the user interface) and returns when the user is done;
    // the editor may change the curve while it runs.
    svf::CustomCurve CustomLut() const { return m_curve; }
    void SetCustomLut(const svf::CustomCurve& curve);
    std::function<void(TFxSvffFc& converter)> CustomLutEditor;
    int32_t EditCustomLut();

    // Working state, for tests and the benchmark.
    const svf::Mosaic& mosaic() const { return m_mosaic; }
    const svf::Header& header() const { return m_header; }

private:
    bool readCurrent(int32_t n);
    std::array<double, 3> whiteGains() const;
    svf::DemosaicMethod demosaicMethod() const;

    std::unique_ptr<QIODevice> m_device;
    int64_t m_fileSize = 0;
    svf::Header m_header;
    QString m_error;
    int32_t m_current = 0;

    svf::ProcessSettings m_settings;
    int16_t m_whiteBalance = WbRegistered;
    int16_t m_method = MethodB1;
    std::array<double, 3> m_customGains{1, 1, 1};
    std::array<double, 3> m_autoGains{1, 1, 1};
    int16_t m_whiteArea[2] = {-1, 0};
    svf::CustomCurve m_curve;

    std::vector<uint8_t> m_packed;
    std::array<uint16_t, svf::kMaxSample + 1> m_blackTable{};
    svf::Mosaic m_mosaic;
    svf::Plane16 m_green;
    std::vector<uint16_t> m_rows;
    svf::ToneTable m_tone;
    svf::ProcessSettings m_toneFor;
    svf::CustomCurve m_toneCurveFor{};
    bool m_toneValid = false;
    Frame m_bitmap;
    Frame m_scratch;
};
