// Spreadsheet exports, read back with openpyxl: cell places, texts, numbers.

#include "PythonTools.h"
#include "graphs/GraphSpreadsheet.h"
#include "graphs/TrackingSpreadsheet.h"
#include "graphs/XlsxSheetFile.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <map>

namespace {

// Prints, for each workbook named, its sheet names and every non-empty cell
// of its first sheet with the kind of value it holds.
const char* kDumpScript = R"PY(
import json
books = []
for path in sys.argv[1:]:
    wb = openpyxl.load_workbook(path)
    cells = []
    for row in wb.worksheets[0].iter_rows():
        for c in row:
            if c.value is not None:
                kind = "text" if isinstance(c.value, str) else "number"
                cells.append([c.row, c.column, kind, c.value])
    books.append({"sheets": wb.sheetnames, "cells": cells})
json.dump(books, sys.stdout)
)PY";

struct Cell {
    bool isText = false;
    QString text;
    double number = 0;
};

struct Workbook {
    QStringList sheets;
    std::map<std::pair<int, int>, Cell> cells;

    bool has(int row, int column) const { return cells.count({row, column}) != 0; }
    QString text(int row, int column) const
    {
        auto it = cells.find({row, column});
        return it != cells.end() && it->second.isText ? it->second.text : QStringLiteral("<not a text>");
    }
    double number(int row, int column) const
    {
        auto it = cells.find({row, column});
        return it != cells.end() && !it->second.isText ? it->second.number : std::nan("");
    }
};

Workbook parseWorkbook(const QJsonObject& root)
{
    Workbook book;
    for (const QJsonValue& s : root.value(QStringLiteral("sheets")).toArray())
        book.sheets << s.toString();
    for (const QJsonValue& v : root.value(QStringLiteral("cells")).toArray()) {
        const QJsonArray a = v.toArray();
        Cell cell;
        cell.isText = a[2].toString() == QLatin1String("text");
        if (cell.isText)
            cell.text = a[3].toString();
        else
            cell.number = a[3].toDouble();
        book.cells[{a[0].toInt(), a[1].toInt()}] = cell;
    }
    return book;
}

QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden);
}

// 2000 samples per second: every second sample.
TABChannel fastChannel()
{
    TABChannel fast({0.0f, 0.0005f, 0.001f, 0.0015f, 0.002f, 0.0025f, 0.003f}, {1.234567891f, 2, 3, 4, 5, 6, 7});
    fast.Title = QStringLiteral("Head X");
    fast.XUnits = QStringLiteral("s");
    fast.YUnits = QStringLiteral("mm/sec\u00B2");
    fast.SampleInterval = 1.0L / 2000;
    return fast;
}

// 400 samples per second: the step rounds to 0, so every sample.
TABChannel slowChannel()
{
    TABChannel slow({0.0f, 0.0025f, 0.005f, 0.0075f}, {-1.0f, 12345678.9f, -0.5f, kTrackingMissingSample});
    slow.Title = QStringLiteral("Chest");
    slow.XUnits = QStringLiteral("s");
    slow.YUnits = QStringLiteral("g");
    slow.SampleInterval = 1.0L / 400;
    slow.Inverted = 1; // not applied in the sheet
    return slow;
}

TrackingSheet trackingSheet()
{
    TrackingSheet sheet;
    sheet.pointName = QStringLiteral("P1");
    sheet.frameRate = 2000;
    sheet.frameWidth = 640;
    sheet.frameHeight = 480;
    sheet.pixelsPerUnit = 2.5f;
    sheet.unitLabel = QStringLiteral("\u00B5m");
    sheet.originX = 10.5f;
    sheet.originY = 0;
    sheet.lengthDecimals = 4;   // calibrated lengths and their rates
    TrackingSheetRow tracked;
    tracked.time = 0.0005f;
    tracked.pixelX = 100;
    tracked.pixelY = 80;
    tracked.positionX = 12.345678f;
    tracked.positionY = -0.004f;
    tracked.displacementX = 0;
    tracked.displacementY = 1234567.8f;
    tracked.velocityX = 99999999.0f;
    tracked.accelerationY = -3.14159f;
    tracked.rpm = 60.004f;
    TrackingSheetRow untracked;
    untracked.time = 0.001f;
    sheet.rows = {tracked, untracked, TrackingSheetRow{}};
    return sheet;
}

// Both layouts are written once and read back in one Python run (starting
// Python with openpyxl is the slow part).
class SpreadsheetLayout : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        folder_ = new QTemporaryDir;
        graphPath_ = folder_->filePath(QStringLiteral("graph.xlsx"));
        trackingPath_ = folder_->filePath(QStringLiteral("point.xlsx"));
        const TABChannel fast = fastChannel(), slow = slowChannel();
        if (!WriteGraphSpreadsheet(graphPath_, QStringLiteral("Sled test 7"), {&fast, &slow}, &writeError_)
            || !WriteTrackingSpreadsheet(trackingPath_, trackingSheet(), &writeError_))
            return;
        const PythonRun run = RunPythonScript({QStringLiteral("openpyxl")}, QString::fromLatin1(kDumpScript),
                                              {graphPath_, trackingPath_});
        outcome_ = run.outcome;
        readError_ = run.error;
        const QJsonArray books = QJsonDocument::fromJson(run.output).array();
        if (books.size() == 2) {
            graph_ = parseWorkbook(books[0].toObject());
            tracking_ = parseWorkbook(books[1].toObject());
        }
    }
    static void TearDownTestSuite() { delete folder_; }

    void SetUp() override
    {
        ASSERT_TRUE(writeError_.isEmpty()) << writeError_.toStdString();
        if (outcome_ == PythonRun::Missing)
            GTEST_SKIP() << "python3 with openpyxl is not available";
        ASSERT_EQ(outcome_, PythonRun::Ok) << readError_.toStdString();
    }

    static inline QTemporaryDir* folder_ = nullptr;
    static inline QString graphPath_, trackingPath_, writeError_, readError_;
    static inline PythonRun::Outcome outcome_ = PythonRun::Missing;
    static inline Workbook graph_, tracking_;
};

} // namespace

TEST(XlsxSheetFile, NumbersAreTheTextsASpreadsheetReadsAsNumbers)
{
    double v = 0;
    EXPECT_TRUE(XlsxSheetFile::ReadsAsNumber(QStringLiteral("-0.01250"), &v));
    EXPECT_EQ(v, -0.0125);
    EXPECT_TRUE(XlsxSheetFile::ReadsAsNumber(QStringLiteral("1.234568E+07"), &v));
    EXPECT_EQ(v, 12345680.0);
    EXPECT_TRUE(XlsxSheetFile::ReadsAsNumber(QStringLiteral("42"), &v));
    EXPECT_TRUE(XlsxSheetFile::ReadsAsNumber(QStringLiteral(".5"), &v));
    for (const char* text : {"Vanish", "", "-", ".", "1.2.3", "1E", "X/Y", "nan", "inf", "12 mm", "0x10"})
        EXPECT_FALSE(XlsxSheetFile::ReadsAsNumber(QString::fromLatin1(text), &v)) << text;
}

TEST_F(SpreadsheetLayout, GraphLayout)
{
    EXPECT_EQ(GraphSheetStep(fastChannel()), 2);
    EXPECT_EQ(GraphSheetStep(slowChannel()), 1);
    EXPECT_EQ(filesIn(folder_->path()), (QStringList{QStringLiteral("graph.xlsx"), QStringLiteral("point.xlsx")}));

    const Workbook& book = graph_;
    EXPECT_EQ(book.sheets, QStringList{QStringLiteral("Qor Player Data")});
    EXPECT_EQ(book.text(1, 1), QStringLiteral("Qor Player Export"));
    EXPECT_EQ(book.text(2, 1), QStringLiteral("Title"));
    EXPECT_EQ(book.text(2, 2), QStringLiteral("Sled test 7"));
    EXPECT_EQ(book.text(8, 1), QStringLiteral("Head X"));
    EXPECT_EQ(book.text(8, 3), QStringLiteral("Chest"));
    EXPECT_EQ(book.text(9, 1), QStringLiteral("s"));
    EXPECT_EQ(book.text(9, 2), QStringLiteral("mm/sec\u00B2"));
    EXPECT_EQ(book.text(9, 3), QStringLiteral("s"));
    EXPECT_EQ(book.text(9, 4), QStringLiteral("g"));

    // Fast channel: samples 0, 2, 4, 6 in rows 10 to 13, values as their
    // texts with every digit of their single and at least five decimals.
    const double fastX[] = {0.0, 0.001, 0.002, 0.003};
    const double fastY[] = {1.2345679, 3, 5, 7};
    for (int r = 0; r < 4; ++r) {
        EXPECT_DOUBLE_EQ(book.number(10 + r, 1), fastX[r]) << r;
        EXPECT_DOUBLE_EQ(book.number(10 + r, 2), fastY[r]) << r;
    }
    EXPECT_FALSE(book.has(14, 1));
    // Slow channel: every sample, Y as stored; tracking's missing value is
    // written as the missing marker.
    const double slowY[] = {-1.0, 12345679.0, -0.5, -1.0};
    for (int r = 0; r < 4; ++r) {
        EXPECT_DOUBLE_EQ(book.number(10 + r, 3), 0.0025 * r) << r;
        EXPECT_DOUBLE_EQ(book.number(10 + r, 4), slowY[r]) << r;
    }
    EXPECT_FALSE(book.has(14, 3));
    EXPECT_EQ(book.cells.size(), 9u + 8u + 8u);
}

TEST_F(SpreadsheetLayout, TrackingLayout)
{
    const Workbook& book = tracking_;
    EXPECT_EQ(book.sheets, QStringList{QStringLiteral("Qor Player Data")});

    const std::pair<std::pair<int, int>, const char16_t*> texts[] = {
        {{1, 1}, u"Qor Player Tracking Data"}, {{2, 1}, u"Point Name"}, {{2, 2}, u"P1"},
        {{3, 1}, u"FPS"}, {{4, 1}, u"Width"}, {{5, 1}, u"Height"}, {{6, 1}, u"Calibration"},
        {{7, 1}, u"Calibration Units"}, {{7, 2}, u"\u00B5m"}, {{8, 1}, u"Origin"}, {{8, 2}, u"X"},
        {{8, 3}, u"Y"}, {{10, 1}, u"Point Data"}, {{11, 1}, u"Frame No"}, {{11, 2}, u"Time [s]"},
        {{11, 3}, u"Coordinate"}, {{11, 5}, u"Position"}, {{11, 7}, u"Displacement"},
        {{11, 9}, u"Velocity"}, {{11, 11}, u"Acceleration"}, {{11, 13}, u"RPM"},
        {{12, 3}, u"X"}, {{12, 4}, u"Y"}, {{12, 11}, u"X"}, {{12, 12}, u"Y"},
    };
    for (const auto& [place, text] : texts)
        EXPECT_EQ(book.text(place.first, place.second), QString::fromUtf16(text)) << place.first << "," << place.second;
    EXPECT_EQ(book.number(3, 2), 2000);
    EXPECT_EQ(book.number(4, 2), 640);
    EXPECT_EQ(book.number(5, 2), 480);
    EXPECT_EQ(book.number(6, 2), 2.5);
    EXPECT_EQ(book.number(9, 2), 10.5);
    EXPECT_EQ(book.number(9, 3), 0);
    EXPECT_FALSE(book.has(9, 1));

    // Record 0: values rounded to 7 significant digits, pixels with 2
    // decimals and calibrated values with 4; a number too long for 7 digits
    // arrives in exponent form.
    EXPECT_EQ(book.number(13, 1), 0);
    EXPECT_DOUBLE_EQ(book.number(13, 2), double(0.0005f));
    const double row0[] = {100, 80, 12.3457, -0.004, 0, 1234568.0, 1.0e8};
    for (int c = 0; c < 7; ++c)
        EXPECT_DOUBLE_EQ(book.number(13, 3 + c), row0[c]) << c;
    EXPECT_EQ(book.text(13, 10), QStringLiteral("Vanish"));
    EXPECT_EQ(book.text(13, 11), QStringLiteral("Vanish"));
    EXPECT_DOUBLE_EQ(book.number(13, 12), -3.1416);
    EXPECT_DOUBLE_EQ(book.number(13, 13), 60.0);   // RPM: 2 decimals
    // Record 1: only its time; record 2: not even that.
    EXPECT_EQ(book.number(14, 1), 1);
    EXPECT_DOUBLE_EQ(book.number(14, 2), double(0.001f));
    EXPECT_EQ(book.text(15, 2), QStringLiteral("Vanish"));
    for (int c = 3; c <= 13; ++c) {
        EXPECT_EQ(book.text(14, c), QStringLiteral("Vanish")) << c;
        EXPECT_EQ(book.text(15, c), QStringLiteral("Vanish")) << c;
    }
    EXPECT_FALSE(book.has(16, 1));
}

TEST(Spreadsheet, FailuresLeaveNoFileBehind)
{
    QTemporaryDir dir_;
    ASSERT_TRUE(dir_.isValid());
    TABChannel channel({0, 1}, {2, 3});
    channel.SampleInterval = 0.001L;
    QString error;

    // A folder that does not exist.
    const QString missing = dir_.filePath(QStringLiteral("no such folder/graph.xlsx"));
    EXPECT_FALSE(WriteGraphSpreadsheet(missing, QStringLiteral("t"), {&channel}, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("does not exist"))) << error.toStdString();
    EXPECT_FALSE(QFile::exists(missing));
    TrackingSheet sheet;
    EXPECT_FALSE(WriteTrackingSpreadsheet(missing, sheet, &error));
    EXPECT_FALSE(QFile::exists(missing));

    // A failure half-way (more channels than a sheet has columns) keeps the
    // file that was there and leaves no temporary file.
    const QString path = dir_.filePath(QStringLiteral("graph.xlsx"));
    {
        QFile existing(path);
        ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
        existing.write("previous export");
    }
    std::vector<const TABChannel*> many(8193, &channel);
    EXPECT_FALSE(WriteGraphSpreadsheet(path, QStringLiteral("t"), many, &error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("Cannot write"))) << error.toStdString();
    QFile kept(path);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("previous export"));
    EXPECT_EQ(filesIn(dir_.path()), QStringList{QStringLiteral("graph.xlsx")});

    // A channel longer than a sheet is refused before anything is written.
    TABChannel huge(std::vector<float>(XlsxSheetFile::kMaxRows, 0.0f), std::vector<float>(XlsxSheetFile::kMaxRows, 0.0f));
    huge.SampleInterval = 0.001L;
    EXPECT_FALSE(WriteGraphSpreadsheet(path, QStringLiteral("t"), {&huge}, &error));
    EXPECT_EQ(filesIn(dir_.path()), QStringList{QStringLiteral("graph.xlsx")});
}
