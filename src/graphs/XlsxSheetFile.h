#pragma once
// A one-sheet .xlsx workbook written the way the spreadsheet exports need it:
// cells are given as the texts a spreadsheet program would be sent, and a
// text that such a program would read as a number is stored as a number.
//
// The workbook is built in a temporary file in the destination folder and
// renamed over the destination only by commit(), so a failure leaves no
// partial file behind. Rows must be written in increasing order (the sheet is
// streamed to keep memory flat for long channels).

#include <QString>
#include <memory>

struct lxw_workbook;
struct lxw_worksheet;

class XlsxSheetFile {
public:
    // Largest row number a sheet can hold.
    static constexpr int kMaxRows = 1048576;

    XlsxSheetFile(const QString& path, const QString& sheetName);
    ~XlsxSheetFile();
    XlsxSheetFile(const XlsxSheetFile&) = delete;
    XlsxSheetFile& operator=(const XlsxSheetFile&) = delete;

    // Row and column count from 1. An empty text leaves the cell empty.
    void text(int row, int column, const QString& text);
    void number(int row, int column, double value);

    // Finishes the workbook and moves it onto the destination. Returns false
    // with a message when anything along the way failed.
    bool commit(QString* error);

    // True when `text` is a plain decimal number ("12", "-0.50", "1.5E+07"),
    // the form in which the exports send numbers.
    static bool ReadsAsNumber(const QString& text, double* value);

private:
    void fail(const QString& reason);

    QString path_;
    QString tempPath_;
    lxw_workbook* workbook_ = nullptr;
    lxw_worksheet* sheet_ = nullptr;
    QString error_;
};
