#pragma once
// The document's frame source for Stravo ".svf" recordings: the opener
// drives a TFxSvffFc in the order the document relies on (method from the
// program-wide preference, fallback to method B1, white balance, knee) and
// each frame read is SetFrameNumber + Convert, taking the frame from the
// converter's Converted event.

#include "document/FrameSource.h"
#include "sources/svf/SvfConverter.h"

#include <memory>

// The program-wide conversion method (`SVFCon`): read by every SVF opener,
// written by the SVF settings frame. The main window loads and stores it
// with the preferences.
int SvfConversionPreference();
void SetSvfConversionPreference(int method);

class SvfSource : public FrameSource {
public:
    static constexpr int Kind = 1;

    SvfSource(std::unique_ptr<TFxSvffFc> converter, const QString& path);

    int sourceKind() const override { return Kind; }
    void fillInfo(RecordingInfo& info) const override;
    // Frames StartFrameNumber..EndFrameNumber are converted; any other number
    // gives a black frame of the image size.
    bool readFrame(int frameNumber, Frame& frame) override;
    QString lastError() const override { return m_error; }

    // Opens the file again on the same converter (its settings stay), with
    // the method of the preference or, failing that, B1: what the settings
    // frame does after choosing a conversion method. The caller refills the
    // document's record (fillInfo) and renders again.
    bool Reopen(QString* error);

    TFxSvffFc& converter() { return *m_converter; }
    const TFxSvffFc& converter() const { return *m_converter; }

private:
    std::unique_ptr<TFxSvffFc> m_converter;
    QString m_path;
    QString m_error;
    Frame* m_target = nullptr; // where the Converted event puts the frame
    bool m_frameReady = false;
};

// Opens a Stravo recording with the preferred conversion method, or with
// method B1 when that fails; nullptr with the converter's reason otherwise.
std::unique_ptr<SvfSource> OpenSvfSource(const QString& path, QString* error);
