#pragma once
// TBVSCFILECAM: reader of Brava ".bvf" recordings. It parses the chunked
// header once, then reads any frame record by number (straight to its
// offset, never through the records before it) and runs the camera's
// processing chain (BvfDecode.h) into a 24-bit frame.
//
// Open with TBVSCFILECAM::open(); it returns nullptr and an error text for
// files it cannot use. The decode settings (white balance, colour
// saturation, gamma, enhancement, rotation) start from the file's settings
// chunk and can be changed with the setters; a change shows in the next
// readFrame()/redecode().

#include "common/Frame.h"
#include "sources/bvf/BvfDecode.h"

#include <QIODevice>
#include <QPoint>
#include <QSize>
#include <QString>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

class TBVSCFILECAM {
public:
    // White-balance modes (the settings frame lists them in this order).
    enum WbModes { WbOff = 0, WbTungsten = 1, WbDaylight = 2, WbFluorescent = 3, WbAuto = 4,
                   WbUserDefined = 5 };

    // Opens a recording file and decodes its first frame record.
    static std::unique_ptr<TBVSCFILECAM> open(const QString& path, QString* error);
    // Same from an open, seekable device (the reader takes it over).
    static std::unique_ptr<TBVSCFILECAM> openDevice(std::unique_ptr<QIODevice> device,
                                                    QString* error);
    // Same from bytes in memory (tests, fuzzing).
    static std::unique_ptr<TBVSCFILECAM> openBytes(const QByteArray& bytes, QString* error);

    ~TBVSCFILECAM();
    TBVSCFILECAM(const TBVSCFILECAM&) = delete;
    TBVSCFILECAM& operator=(const TBVSCFILECAM&) = delete;

    // Reads frame `frameNumber` (StartFrame..EndFrame) and decodes it into
    // output(). Returns false, with lastError() and output() unchanged, when
    // the number is outside the range or the record is missing or damaged
    // (a frame the header promises but the file lacks is "missing").
    bool readFrame(int32_t frameNumber);
    // Decodes the frame last read again, with the current settings.
    void redecode();
    // The decoded frame (after rotation) of the last successful read.
    const Frame& output() const { return m_output; }
    QString lastError() const { return m_error; }

    // What the header says.
    int32_t startFrame() const { return m_startFrame; }
    // The last frame the file really holds: in a recording cut short, fewer
    // than the header promises (promisedEndFrame()).
    int32_t endFrame() const { return m_endFrame; }
    int32_t promisedEndFrame() const { return m_promisedEndFrame; }
    // Empty, or a one-line notice that the file holds fewer frames than its
    // header promises.
    QString openWarning() const { return m_openWarning; }
    int32_t frameCount() const { return int32_t(int64_t(m_endFrame) - m_startFrame + 1); }
    int32_t cameraFrameRate() const { return m_frameRate; }
    int32_t windowLeft() const { return m_windowLeft; }
    int32_t windowTop() const { return m_windowTop; }
    int32_t windowRight() const { return m_windowRight; }
    int32_t windowBottom() const { return m_windowBottom; }
    int windowWidth() const { return m_width; }
    int windowHeight() const { return m_height; }
    QSize sensorSize() const { return m_sensor; }
    bool isColour() const { return m_isColour; }
    int32_t bayerPattern() const { return m_bayerPattern; }
    int settingsVersion() const { return m_settingsVersion; }
    int64_t framesStart() const { return m_framesStart; }
    int64_t frameStride() const { return m_frameStride; }
    int32_t currentFrameNumber() const { return m_currentFrame; }
    // Whole frame records the file holds (may be fewer than frameCount()
    // in a recording cut short).
    int64_t recordsInFile() const;

    // Dark frame.
    bool hasDarkFrame() const { return m_darkUsable; }
    int darkMin() const { return m_darkMin; }
    bool subtractDark() const { return m_subtractDark; }
    void setSubtractDark(bool on) { m_subtractDark = on; }

    // Decode settings. Values outside their range are clamped.
    int wbMode() const { return m_wbMode; }
    void setWbMode(int mode);
    std::array<int, 3> userWhiteReference() const { return m_userWb; }
    void setUserWhiteReference(int red, int green, int blue);
    bool wbTablesValid() const { return m_wbTablesValid; }
    // The next colour decode rebuilds the white-balance tables (in mode AUTO
    // from that frame's site means).
    void invalidateWhiteBalance() { m_wbTablesValid = false; }
    int chroma() const { return m_chroma; }           // percent, 0..200
    void setChroma(int percent);
    int gammaMode() const { return m_gammaMode; }     // 0 off, 1 low, 2 high
    void setGammaMode(int mode);
    int enhanceLevel() const { return m_enhanceLevel; } // 0 off .. 4 extra high
    void setEnhanceLevel(int level);
    int rotation() const { return m_rotation; }        // degrees; 90, 180, 270 act
    void setRotation(int degrees) { m_rotation = degrees; }

    // Takes the white reference at `point` of output() from the current
    // frame's linear values (demosaiced, before white balance, colour
    // saturation, gamma and edge enhancement; turned like the output) and
    // switches to mode "User Defined". Returns false and changes nothing when
    // the point lies outside the frame, or when the reference is too dark to
    // balance against (its brightest channel below kDarkestWhiteReference);
    // then `refusal`, when given, gets a message for the user.
    static constexpr int kDarkestWhiteReference = 8;
    bool pickWhiteReference(const QPoint& point, QString* refusal = nullptr);

    // Site means of the last decoded frame (1, 1, 1 for monochrome).
    bvf::SiteMeans siteMeans() const { return m_means; }
    const std::array<bvf::ByteTable, 3>& whiteBalanceTables() const { return m_wbTables; }

private:
    TBVSCFILECAM() = default;
    bool readHeader(QString* error);
    bool readExactly(int64_t offset, char* into, int64_t count);
    void applySettings(const char* block);
    void decodeFrame();
    const uint8_t* preparedMosaic();
    void turn(Frame& frame, Frame& scratch) const;

    std::unique_ptr<QIODevice> m_device;
    int64_t m_fileSize = 0;
    QString m_error;

    int32_t m_startFrame = 0;
    int32_t m_endFrame = 0;
    int32_t m_promisedEndFrame = 0;
    QString m_openWarning;
    int32_t m_frameRate = 0;
    int32_t m_windowLeft = 0;
    int32_t m_windowTop = 0;
    int32_t m_windowRight = 0;
    int32_t m_windowBottom = 0;
    int m_width = 0;
    int m_height = 0;
    QSize m_sensor{512, 512};
    bool m_isColour = false;
    int32_t m_bayerPattern = 0;
    int m_settingsVersion = 0;

    std::vector<uint8_t> m_dark; // sensor-sized, no padding
    QSize m_darkSize;
    bool m_darkUsable = false;
    int m_darkMin = 0;
    bool m_subtractDark = false;

    int m_wbMode = WbAuto;
    std::array<int, 3> m_userWb{255, 255, 255};
    bool m_wbTablesValid = false;
    std::array<bvf::ByteTable, 3> m_wbTables{};
    int m_chroma = 100;
    int m_gammaMode = 0;
    int m_enhanceLevel = 2;
    int m_rotation = 0;

    int64_t m_framesStart = 0;
    int64_t m_frameStride = 0;
    int32_t m_recordPayload = 0; // payload size stated by the first record
    int32_t m_currentFrame = 0;

    std::vector<uint8_t> m_raw;    // prefix + window image of the last record read
    std::vector<uint8_t> m_mosaic; // window image after dark-frame subtraction
    bvf::Plane m_green;
    bvf::GreenScratch m_greenScratch;
    bvf::DemosaicScratch m_demosaicScratch;
    bvf::EnhanceScratch m_enhanceScratch;
    bvf::SiteMeans m_means;
    Frame m_output;
    Frame m_turned;
};
