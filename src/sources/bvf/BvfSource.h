#pragma once
// The document's frame source for Brava ".bvf" recordings: a FrameSource
// over TBVSCFILECAM. Open with OpenBvfSource(); the reader stays reachable
// through reader() for the camera settings frame (white balance, colour,
// gamma, enhancement, white-reference pick).

#include "document/FrameSource.h"
#include "sources/bvf/BvfReader.h"

#include <memory>

class BvfSource : public FrameSource {
public:
    static constexpr int Kind = 7;

    explicit BvfSource(std::unique_ptr<TBVSCFILECAM> reader, const QString& path);

    int sourceKind() const override { return Kind; }
    void fillInfo(RecordingInfo& info) const override;
    // Frames StartFrame..EndFrame are decoded; any other number gives a black
    // frame of the frame size (the document may ask for frame 0, which need
    // not be recorded). Returns false only for a missing or damaged record,
    // including the frames a cut-short file's header promises but lacks.
    bool readFrame(int frameNumber, Frame& frame) override;
    QString lastError() const override { return m_error; }
    QString openWarning() const override { return m_reader->openWarning(); }

    TBVSCFILECAM& reader() { return *m_reader; }
    const TBVSCFILECAM& reader() const { return *m_reader; }

private:
    std::unique_ptr<TBVSCFILECAM> m_reader;
    QString m_path;
    QString m_error;
};

// Opens a Brava recording. Returns nullptr, with a one-line reason in
// *error, when the file is missing, not a Brava recording, or damaged.
std::unique_ptr<BvfSource> OpenBvfSource(const QString& path, QString* error);
