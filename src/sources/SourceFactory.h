#pragma once
// Opening a recording: the reader is chosen by the upper-cased file
// extension (".BVF" Brava, ".AVI" AVI, ".SVF" Stravo).

#include <QString>
#include <functional>

class VideoDocument;

// Asked when the named file cannot be found; returns another path to try, or
// an empty string to give up. `kindName` is "BVF", "AVI" or "SVF".
using LocateFileFunction = std::function<QString(const QString& fileName, const QString& kindName)>;

// True when a reader for this file's extension exists.
bool IsSupportedRecording(const QString& fileName);

// Opens the file into the document (which then holds frame 0 or the
// time-zero frame). On failure returns false with a one-line message in
// *error; for an unknown extension the message is
// "<.ext> files are not currently supported".
bool OpenRecordingFile(VideoDocument& document, const QString& fileName, QString* error,
                       const LocateFileFunction& locate = {});
