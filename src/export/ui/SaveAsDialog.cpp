#include "export/ui/SaveAsDialog.h"

#include "document/VideoDocument.h"
#include "export/ExportRange.h"
#include "export/FileNames.h"
#include "export/ui/RunningExport.h"
#include "export/ui/savingform.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGridLayout>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QLabel>
#include <QMessageBox>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

QString ExportDialog::Title(int rangeFirst, int rangeLast)
{
    return QStringLiteral("Save As (For Frames %1 To %2)").arg(rangeFirst).arg(rangeLast);
}

int& LastSaveIndex()
{
    static int index = 0;
    return index;
}

namespace {

// "Video File|*.AVI|..." as Qt's list of "Video File (*.AVI)" entries.
QStringList QtFilters()
{
    const QStringList parts = QString::fromLatin1(ExportDialog::Filter).split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        filters << QStringLiteral("%1 (%2)").arg(parts[i], parts[i + 1]);
    return filters;
}

// Asks how the AVI frames are stored. False when cancelled.
bool AskAviCompression(QWidget* parent, ExportRequest& request)
{
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("Video Compression"));
    auto* dib = new QRadioButton(QStringLiteral("Full Frames (Uncompressed)"), &dialog);
    auto* mjpeg = new QRadioButton(QStringLiteral("Motion JPEG"), &dialog);
    auto* quality = new QSpinBox(&dialog);
    quality->setRange(1, 100);
    quality->setValue(request.quality);
    dib->setChecked(request.aviCodec != AviCodec::Mjpeg);
    mjpeg->setChecked(request.aviCodec == AviCodec::Mjpeg);
    quality->setEnabled(mjpeg->isChecked());
    QObject::connect(mjpeg, &QRadioButton::toggled, quality, &QSpinBox::setEnabled);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Compression Quality:"), quality);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(QStringLiteral("Compressor:"), &dialog));
    layout->addWidget(dib);
    layout->addWidget(mjpeg);
    layout->addLayout(form);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    request.aviCodec = mjpeg->isChecked() ? AviCodec::Mjpeg : AviCodec::Dib24;
    request.quality = quality->value();
    return true;
}

} // namespace

void RunSaveAsDialog(QWidget* parent, VideoDocument& doc, int rangeFirst, int rangeLast, int playSpeed)
{
    const QStringList filters = QtFilters();
    QFileDialog dialog(parent, ExportDialog::Title(rangeFirst, rangeLast));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(filters);
    const QString initialFolder = QString::fromLatin1(ExportDialog::InitialFolder);
    if (QDir(initialFolder).exists())
        dialog.setDirectory(initialFolder);
    const int last = LastSaveIndex();
    if (last >= 1 && last <= filters.size())
        dialog.selectNameFilter(filters[last - 1]);
    // Our own question about the files really written replaces the dialog's
    // question about the name typed.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    auto* fromZero = new QCheckBox(QStringLiteral("Number image files from 0 (names sort in frame order)"), &dialog);
    fromZero->setAccessibleName(QStringLiteral("Number from 0"));
    // Qt's own folder and type lists have no label buddy, so screen readers would read their current item.
    for (const auto& [combo, name] : {std::pair{"lookInCombo", "Look in"}, std::pair{"fileTypeCombo", "Files of type"}})
        if (auto* box = dialog.findChild<QComboBox*>(QLatin1String(combo)))
            box->setAccessibleName(QLatin1String(name));
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout()))
        grid->addWidget(fromZero, grid->rowCount(), 0, 1, grid->columnCount());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;

    ExportRequest request;
    request.fileName = dialog.selectedFiles().first();
    request.filterIndex = int(filters.indexOf(dialog.selectedNameFilter())) + 1;
    if (request.filterIndex < 1)
        request.filterIndex = 1;
    request.rangeFirst = rangeFirst;
    request.rangeLast = rangeLast;
    request.playSpeed = playSpeed;
    request.numbering = fromZero->isChecked() ? FileNumbering::RangeIndex : FileNumbering::FrameNumber;
    if (!IsValidFileName(request.fileName, false)) {
        QMessageBox::warning(parent, QString(), QString::fromLatin1(ExportDialog::InvalidName));
        return;
    }
    LastSaveIndex() = request.filterIndex;

    if (ExportKindForFilter(request.filterIndex) == ExportKind::Avi && !AskAviCompression(parent, request))
        return;
    if (!ConfirmExportTargets(parent, doc, request))
        return;
    RunExportWithProgress(parent, doc, request);
}

bool ConfirmExportTargets(QWidget* parent, const VideoDocument& doc, ExportRequest& request)
{
    const int first = doc.Info.FirstFrame;
    const int last = doc.Info.LastFrame;
    const QStringList existing = ExistingExportFiles(request, first, last);
    if (!existing.isEmpty()) {
        const QString question = existing.size() == 1
                                     ? QStringLiteral("%1 exists. Replace 1 existing file?").arg(QDir::toNativeSeparators(existing.first()))
                                     : QStringLiteral("Replace %1 existing files?").arg(existing.size());
        if (!AskYesNo(parent, question))
            return false;
    }
    request.replaceExisting = true;
    const QStringList leftovers = LeftoverSequenceFiles(request, first, last);
    if (!leftovers.isEmpty()) {
        const QString question = QStringLiteral("%1 older numbered files of the same name (%2 ...) would remain beside the new ones. Remove them?")
                                     .arg(leftovers.size())
                                     .arg(QDir::toNativeSeparators(leftovers.first()));
        if (AskYesNo(parent, question)) {
            for (const QString& file : leftovers)
                QFile::remove(file);
        }
    }
    return true;
}

ExportResult RunExportWithProgress(QWidget* parent, VideoDocument& doc, const ExportRequest& request)
{
    Tsavingform progress(parent);
    progress.show();
    QApplication::setOverrideCursor(Qt::BusyCursor); // busy, yet "Abort" still takes a click
    ExportResult result;
    {
        RunningExport running(&doc, [&progress] { progress.BitBtn1Click(); });
        result = ExportRange(doc, request, &progress);
    }
    QApplication::restoreOverrideCursor();
    progress.finish();

    switch (result.status) {
    case ExportResult::Completed:
        QMessageBox::information(parent, QString(), QString::fromLatin1(ExportDialog::Complete));
        break;
    case ExportResult::Aborted:
        break;
    case ExportResult::Failed:
        QMessageBox::warning(parent, QString(), result.error);
        break;
    }
    return result;
}
