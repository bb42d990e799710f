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

// The filter index (1-based) chosen last in this run, offered first next
// time; 0 before the first export. The settings store writes it as
// "LastSave".
int& LastSaveIndex();
