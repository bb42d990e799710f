#include "sources/bvf/BvfSource.h"

#include <QFileInfo>
#include <cstdlib>

BvfSource::BvfSource(std::unique_ptr<TBVSCFILECAM> reader, const QString& path)
    : m_reader(std::move(reader)), m_path(path)
{
}

void BvfSource::fillInfo(RecordingInfo& info) const
{
    const TBVSCFILECAM& r = *m_reader;
    info.FileName = m_path;
    info.SourceKind = Kind;
    info.FrameCount = int32_t(std::llabs(int64_t(r.endFrame()) - r.startFrame()) + 1);
    info.ImageWidth = r.output().width();
    info.ImageHeight = r.output().height();
    info.FrameNumberBase = 0;
    info.InfoText[0] = QStringLiteral("Qor Brava");
    info.InfoText[1] = QStringLiteral("SC");
    info.FrameRate = r.cameraFrameRate();
    info.TimeZeroFrame = 0;
    info.FrameInterval = 1.0f / float(r.cameraFrameRate());
    info.CurrentFrame = r.startFrame();
    info.FirstFrame = r.startFrame();
    info.RangeCopyFirst = r.startFrame();
    info.RangeFirst = r.startFrame();
    info.LastFrame = r.endFrame();
    info.RangeCopyLast = r.endFrame();
    info.RangeLast = r.endFrame();
}

bool BvfSource::readFrame(int frameNumber, Frame& frame)
{
    TBVSCFILECAM& r = *m_reader;
    if (frameNumber < r.startFrame() || frameNumber > r.promisedEndFrame()) {
        frame.resize(r.output().width(), r.output().height());
        frame.clear();
        m_error.clear();
        return true;
    }
    if (!r.readFrame(frameNumber)) {
        m_error = r.lastError();
        return false;
    }
    frame = r.output();
    m_error.clear();
    return true;
}

std::unique_ptr<BvfSource> OpenBvfSource(const QString& path, QString* error)
{
    if (!QFileInfo::exists(path)) {
        if (error)
            *error = QStringLiteral("Cannot find the Brava recording \"%1\".").arg(path);
        return nullptr;
    }
    auto reader = TBVSCFILECAM::open(path, error);
    if (!reader)
        return nullptr;
    return std::make_unique<BvfSource>(std::move(reader), path);
}
