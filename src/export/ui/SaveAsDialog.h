#pragma once
// Save As for a frame range: asks for the file and format, for AVI also the
// compression, then exports with the "Saving..." progress window and
// reports "Save Complete." or the failure.

#include <QString>

class QWidget;
class VideoDocument;

// Texts of the Save As dialog. The filter order is the filter index of
// ExportRequest (1-based).
namespace ExportDialog {
// "Save As (For Frames 10 To 200)"
QString Title(int rangeFirst, int rangeLast);
inline constexpr const char* Filter =
    "Video File|*.AVI|Tagged Image File Format|*.tif|Joint Photographics Experts Group|*.jpg|"
    "Windows Bitmap|*.bmp|Digital Picture Exchange (DPX)|*.dpx|8 Bit Video File|*.AVI|Multi Page Tiff|*.TIFF";
inline constexpr const char* InitialFolder = "G:\\";
inline constexpr const char* InvalidName = "Filename not valid";
inline constexpr const char* Complete = "Save Complete.";
} // namespace ExportDialog

void RunSaveAsDialog(QWidget* parent, VideoDocument& doc, int rangeFirst, int rangeLast, int playSpeed);

struct ExportRequest;
struct ExportResult;

// Before writing: when files the export writes exist, asks once ("Replace N
// existing files?"); when older numbered frames of the same base would
// remain beside the new ones, offers to remove them. False when the user
// keeps the existing files (nothing is written then); sets
// request.replaceExisting otherwise.
bool ConfirmExportTargets(QWidget* parent, const VideoDocument& doc, ExportRequest& request);

// Runs the export with the "Saving..." window over `parent`, registered as
// the running export (closing its document or the program asks first), and
// reports "Save Complete." or the failure.
ExportResult RunExportWithProgress(QWidget* parent, VideoDocument& doc, const ExportRequest& request);

// The filter index (1-based) chosen last in this run, offered first next
// time; 0 before the first export. The settings store writes it as
// "LastSave".
int& LastSaveIndex();
