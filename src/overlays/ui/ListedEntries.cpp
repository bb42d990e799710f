#include "overlays/ui/ListedEntries.h"

#include "document/VideoDocument.h"

#include <QListWidget>

void AddListedEntry(VideoDocument& doc, std::unique_ptr<AdjustmentEntry> entry, const QString& label,
                    QListWidget* list, std::vector<AdjustmentEntry*>& entries)
{
    entries.push_back(doc.AppendEntry(std::move(entry)));
    list->addItem(label);
}

bool RemoveSelectedEntry(VideoDocument& doc, QListWidget* list, std::vector<AdjustmentEntry*>& entries)
{
    const int row = list->currentRow();
    if (row < 0 || row >= int(entries.size()) || !list->currentItem()->isSelected())
        return false;
    AdjustmentEntry* entry = entries[size_t(row)];
    entries.erase(entries.begin() + row);
    delete list->takeItem(row);
    doc.RemoveEntry(entry);
    doc.RequestRender();
    return true;
}
