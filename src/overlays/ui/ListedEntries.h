#pragma once
// The annotation and logo frames list some of the document's entries in a
// list box, row k showing entries[k]. The two are kept in step here.

#include <QString>
#include <memory>
#include <vector>

class AdjustmentEntry;
class QListWidget;
class VideoDocument;

// Appends the entry to the document and lists it under `label`.
void AddListedEntry(VideoDocument& doc, std::unique_ptr<AdjustmentEntry> entry, const QString& label,
                    QListWidget* list, std::vector<AdjustmentEntry*>& entries);

// Removes the entry of the list's selected row from the list and the
// document and asks for the frame to be drawn again; false (nothing
// changes) when no row is selected.
bool RemoveSelectedEntry(VideoDocument& doc, QListWidget* list, std::vector<AdjustmentEntry*>& entries);
