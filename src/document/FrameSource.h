#pragma once
// What a document asks of a recording source. Each reader (Brava, AVI, ...)
// implements it; the document's opener picks the reader by file extension.

#include "common/Frame.h"
#include "document/RecordingInfo.h"

#include <QString>

class FrameSource {
public:
    virtual ~FrameSource() = default;

    // The `SourceKind` value this reader stands for (0 AVI, 1 SVF, 7 BVF).
    virtual int sourceKind() const = 0;

    // Fills the fields of the document's record that this kind of source
    // sets at open (frame numbers, rate, size, description lines, ...).
    virtual void fillInfo(RecordingInfo& info) const = 0;

    // Reads frame `frameNumber` (the source's own numbering) into `frame`,
    // resized to the frame size. Returns false when the frame cannot be
    // read; `frame` is then left as it was.
    virtual bool readFrame(int frameNumber, Frame& frame) = 0;

    // Text of the last failure, for messages.
    virtual QString lastError() const { return QString(); }

    // Empty, or a one-line notice found at open that the user must see
    // (e.g. a file that holds fewer frames than its header promises).
    virtual QString openWarning() const { return QString(); }
};
