#pragma once
// Writers for the still-image formats of the range exporter. Each takes a
// 24-bit frame (blue, green, red, rows top to bottom) and returns false with
// a one-line message in *error when the file cannot be written; a file left
// half-written by a failure is removed.

#include <QString>
#include <memory>

// Writes `size` bytes as the whole content of `fileName` (replacing it).
// Sequences of thousands of frames are written this way, so there is no
// flush to disk per file; a failed write removes the partial file.
bool WriteWholeFile(const QString& fileName, const char* data, qsizetype size, QString* error);

class Frame;

// Windows bitmap, 24 bits per pixel, rows stored bottom-up.
bool WriteBmp(const QString& fileName, const Frame& frame, QString* error);

// Baseline JPEG, 4:2:0 subsampling, quality 1..100.
bool WriteJpeg(const QString& fileName, const Frame& frame, int quality, QString* error);

// One uncompressed RGB TIFF image.
bool WriteTiff(const QString& fileName, const Frame& frame, QString* error);

// One TIFF file that grows by one page per frame. Each finished page is on
// disk, so a file closed after an abort or failure is readable up to the
// last page written.
class MultiPageTiffWriter {
public:
    MultiPageTiffWriter();
    ~MultiPageTiffWriter();
    MultiPageTiffWriter(const MultiPageTiffWriter&) = delete;
    MultiPageTiffWriter& operator=(const MultiPageTiffWriter&) = delete;

    // Starts a new file (an existing one is replaced, not appended to).
    // `bigTiff` writes 64-bit offsets, for files beyond 4 GB; classic TIFF
    // otherwise, which every reader opens.
    bool open(const QString& fileName, QString* error, bool bigTiff = false);
    bool appendPage(const Frame& frame, QString* error);
    void close();
    int pageCount() const { return m_pages; }

private:
    struct Handle;
    std::unique_ptr<Handle> m_handle;
    QString m_fileName;
    int m_pages = 0;
};
