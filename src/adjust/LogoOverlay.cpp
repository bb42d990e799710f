#include "adjust/LogoOverlay.h"

#include "adjust/AdjustmentEntry.h"
#include "adjust/FilterLibrary.h"
#include "common/Rounding.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <algorithm>
#include <list>
#include <mutex>
#include <vector>

namespace {

// A logo is never meaningfully larger than a frame; this only keeps a typo
// in the size (say 100000 %) from allocating gigabytes.
constexpr int64_t kMaxLogoSide = 16384;
constexpr int64_t kMaxLogoPixels = int64_t(1) << 26;
constexpr size_t kCacheCapacity = 8;

struct CachedLogo {
    QString path;
    int percent = 0;
    qint64 fileSize = -1;
    QDateTime modified;
    QByteArray fingerprint;
    std::shared_ptr<const Frame> logo;
};

std::mutex cacheMutex;
std::list<CachedLogo> cache; // most recently used first

// A hash of the file's first and last blocks: a replacement of the same size
// written within the file system's time resolution still differs here. Two
// small reads per render cost far less than decoding the logo again.
QByteArray FileFingerprint(const QString& path)
{
    constexpr qint64 kBlock = 4096;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    QCryptographicHash hash(QCryptographicHash::Sha1);
    hash.addData(file.read(kBlock));
    const qint64 size = file.size();
    if (size > kBlock && file.seek(std::max(kBlock, size - kBlock)))
        hash.addData(file.read(kBlock));
    return hash.result();
}

std::shared_ptr<const Frame> LoadAndScale(const QString& path, int percent)
{
    QImageReader reader(path);
    const QImage image = reader.read();
    if (image.isNull())
        return nullptr;
    const QSize size = ScaledLogoSize(image.size(), percent);
    if (size.isEmpty())
        return nullptr;
    const Frame original = Frame::fromImage(image);
    if (size == image.size())
        return std::make_shared<const Frame>(original);
    return std::make_shared<const Frame>(ScaleNearest(original, size.width(), size.height()));
}

} // namespace

QSize ScaledLogoSize(QSize original, int percent)
{
    if (percent <= 0 || original.isEmpty())
        return QSize();
    const int64_t w = Round(original.width() * double(percent) / 100.0);
    const int64_t h = Round(original.height() * double(percent) / 100.0);
    if (w <= 0 || h <= 0 || w > kMaxLogoSide || h > kMaxLogoSide || w * h > kMaxLogoPixels)
        return QSize();
    return QSize(int(w), int(h));
}

Frame ScaleNearest(const Frame& source, int width, int height)
{
    Frame scaled;
    if (source.isEmpty() || width <= 0 || height <= 0)
        return scaled;
    scaled.resize(width, height);
    // Source column of every target column, sampled at pixel centres:
    // floor((2x + 1) × sw / (2 w)).
    std::vector<int> column(static_cast<size_t>(width));
    for (int x = 0; x < width; ++x)
        column[size_t(x)] = int((int64_t(2 * x + 1) * source.width()) / (int64_t(2) * width));
    for (int y = 0; y < height; ++y) {
        const int sy = int((int64_t(2 * y + 1) * source.height()) / (int64_t(2) * height));
        const uint8_t* src = source.row(sy);
        uint8_t* dst = scaled.row(y);
        for (int x = 0; x < width; ++x, dst += 3) {
            const uint8_t* s = src + 3 * column[size_t(x)];
            dst[0] = s[0];
            dst[1] = s[1];
            dst[2] = s[2];
        }
    }
    return scaled;
}

bool LogoCornerPosition(QSize frame, QSize logo, int corner, QPoint* position)
{
    const int right = frame.width() - logo.width();
    const int bottom = frame.height() - logo.height();
    switch (corner) {
    case 0: *position = QPoint(0, 0); return true;
    case 1: *position = QPoint(right, 0); return true;
    case 2: *position = QPoint(0, bottom); return true;
    case 3: *position = QPoint(right, bottom); return true;
    default: return false;
    }
}

std::shared_ptr<const Frame> LoadScaledLogo(const QString& fileName, int percent)
{
    if (fileName.isEmpty())
        return nullptr;
    const QFileInfo info(fileName);
    if (!info.isFile())
        return nullptr;
    const QString path = info.absoluteFilePath();
    const qint64 fileSize = info.size();
    const QDateTime modified = info.lastModified();
    const QByteArray fingerprint = FileFingerprint(path);

    std::lock_guard<std::mutex> lock(cacheMutex);
    for (auto it = cache.begin(); it != cache.end(); ++it) {
        if (it->path != path || it->percent != percent)
            continue;
        if (it->fileSize == fileSize && it->modified == modified && it->fingerprint == fingerprint) {
            cache.splice(cache.begin(), cache, it);
            return cache.front().logo;
        }
        cache.erase(it); // the file changed: read it again
        break;
    }
    std::shared_ptr<const Frame> logo = LoadAndScale(path, percent);
    if (!logo)
        return nullptr;
    cache.push_front(CachedLogo{path, percent, fileSize, modified, fingerprint, logo});
    if (cache.size() > kCacheCapacity)
        cache.pop_back();
    return logo;
}

void ClearLogoCache()
{
    std::lock_guard<std::mutex> lock(cacheMutex);
    cache.clear();
}

void DrawLogoEntry(Frame& frame, const LogoEntry& entry)
{
    if (entry.LogoDisabled || frame.isEmpty())
        return;
    const std::shared_ptr<const Frame> logo = LoadScaledLogo(entry.LogoFile, entry.LogoSize);
    if (!logo)
        return;
    QPoint position;
    if (!LogoCornerPosition(QSize(frame.width(), frame.height()), QSize(logo->width(), logo->height()),
                            entry.LogoCorner, &position))
        return;
    NVIM_OverlayEarImage(frame, *logo, position.x(), position.y(), entry.LogoMethod);
}
