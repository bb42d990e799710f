#pragma once
// Save As for a frame range: asks for the file and format, for AVI also the
// compression, then exports with the "Saving..." progress window and
// reports "Save Complete." or the failure.

class QWidget;
class VideoDocument;

void RunSaveAsDialog(QWidget* parent, VideoDocument& doc, int rangeFirst, int rangeLast, int playSpeed);

// The filter index (1-based) chosen last in this run, offered first next
// time; 0 before the first export. The settings store writes it as
// "LastSave".
int& LastSaveIndex();
