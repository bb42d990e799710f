#include "graphs/XlsxSheetFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <xlsxwriter.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>

XlsxSheetFile::XlsxSheetFile(const QString& path, const QString& sheetName)
    : path_(path)
{
    const QFileInfo target(path);
    const QDir folder = target.absoluteDir();
    if (!folder.exists()) {
        fail(QStringLiteral("the folder \"%1\" does not exist").arg(QDir::toNativeSeparators(folder.path())));
        return;
    }
    // Reserve a unique name beside the destination; the writer reopens it.
    QTemporaryFile reserve(folder.filePath(QStringLiteral(".%1.XXXXXX.tmp").arg(target.fileName())));
    reserve.setAutoRemove(false);
    if (!reserve.open()) {
        fail(reserve.errorString());
        return;
    }
    tempPath_ = reserve.fileName();
    reserve.close();

    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    const QByteArray nativeTemp = QFile::encodeName(tempPath_);
    workbook_ = workbook_new_opt(nativeTemp.constData(), &options);
    if (!workbook_) {
        fail(QStringLiteral("cannot start the workbook"));
        return;
    }
    sheet_ = workbook_add_worksheet(workbook_, sheetName.toUtf8().constData());
    if (!sheet_)
        fail(QStringLiteral("cannot add the sheet \"%1\"").arg(sheetName));
}

XlsxSheetFile::~XlsxSheetFile()
{
    if (workbook_) {
        // Abandoned without commit: release the writer without writing anything.
        lxw_workbook_free(workbook_);
        workbook_ = nullptr;
    }
    if (!tempPath_.isEmpty())
        QFile::remove(tempPath_);
}

void XlsxSheetFile::fail(const QString& reason)
{
    if (error_.isEmpty())
        error_ = reason;
}

bool XlsxSheetFile::ReadsAsNumber(const QString& text, double* value)
{
    // sign? digits [. digits] [E sign? digits], or sign? . digits [...]
    const int n = int(text.size());
    int i = 0;
    if (i < n && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+')))
        ++i;
    int digits = 0;
    while (i < n && text[i].isDigit() && text[i].unicode() < 128) {
        ++i;
        ++digits;
    }
    if (i < n && text[i] == QLatin1Char('.')) {
        ++i;
        while (i < n && text[i].isDigit() && text[i].unicode() < 128) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return false;
    if (i < n && (text[i] == QLatin1Char('E') || text[i] == QLatin1Char('e'))) {
        ++i;
        if (i < n && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+')))
            ++i;
        int exponentDigits = 0;
        while (i < n && text[i].isDigit() && text[i].unicode() < 128) {
            ++i;
            ++exponentDigits;
        }
        if (exponentDigits == 0)
            return false;
    }
    if (i != n)
        return false;
    const double v = std::strtod(text.toLatin1().constData(), nullptr);
    if (!std::isfinite(v))
        return false;
    if (value)
        *value = v;
    return true;
}

void XlsxSheetFile::text(int row, int column, const QString& text)
{
    if (!sheet_ || text.isEmpty())
        return;
    double v = 0;
    if (ReadsAsNumber(text, &v)) {
        number(row, column, v);
        return;
    }
    if (row < 1 || row > kMaxRows) {
        fail(QStringLiteral("row %1 is beyond the %2 rows of a sheet").arg(row).arg(kMaxRows));
        return;
    }
    const lxw_error result = worksheet_write_string(sheet_, lxw_row_t(row - 1), lxw_col_t(column - 1),
                                                    text.toUtf8().constData(), nullptr);
    if (result != LXW_NO_ERROR)
        fail(QString::fromUtf8(lxw_strerror(result)));
}

void XlsxSheetFile::number(int row, int column, double value)
{
    if (!sheet_)
        return;
    if (row < 1 || row > kMaxRows) {
        fail(QStringLiteral("row %1 is beyond the %2 rows of a sheet").arg(row).arg(kMaxRows));
        return;
    }
    const lxw_error result = worksheet_write_number(sheet_, lxw_row_t(row - 1), lxw_col_t(column - 1), value, nullptr);
    if (result != LXW_NO_ERROR)
        fail(QString::fromUtf8(lxw_strerror(result)));
}

bool XlsxSheetFile::commit(QString* error)
{
    if (workbook_) {
        const lxw_error result = workbook_close(workbook_);
        workbook_ = nullptr;
        if (result != LXW_NO_ERROR)
            fail(QString::fromUtf8(lxw_strerror(result)));
    }
    if (error_.isEmpty()) {
        // The reserved file was created private to its owner; give the
        // workbook the permissions of the file it replaces, or ordinary ones.
        const QFileDevice::Permissions permissions = QFile::exists(path_)
            ? QFile::permissions(path_)
            : QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser | QFileDevice::WriteUser
                | QFileDevice::ReadGroup | QFileDevice::ReadOther;
        QFile::setPermissions(tempPath_, permissions);
        std::error_code failure;
        std::filesystem::rename(std::filesystem::path(tempPath_.toStdU16String()),
                                std::filesystem::path(path_.toStdU16String()), failure);
        if (failure)
            fail(QString::fromLocal8Bit(failure.message().c_str()));
        else
            tempPath_.clear();
    }
    if (!error_.isEmpty()) {
        if (!tempPath_.isEmpty()) {
            QFile::remove(tempPath_);
            tempPath_.clear();
        }
        if (error)
            *error = QStringLiteral("Cannot write \"%1\": %2").arg(QDir::toNativeSeparators(path_), error_);
        return false;
    }
    return true;
}
