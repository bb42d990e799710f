#include "app/settings/Settings.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {
struct Files {
    QTemporaryDir dir;
    QString prefs() const { return dir.filePath(QStringLiteral("prefs.conf")); }
    QString places() const { return dir.filePath(QStringLiteral("places.ini")); }
};
} // namespace

TEST(Settings, FirstStartReportsTheMissingKeyOnceAndKeepsDefaults)
{
    Files f;
    SettingsStore store(f.prefs(), f.places());
    TQORPregistry prefs;
    prefs.DefZoomMode = 3;
    EXPECT_EQ(store.ReadSettings(prefs), QStringLiteral("Cannot read keySoftware\\QOR\\QORPLAYER\\1.0\\"));
    EXPECT_EQ(prefs.SVFCon, 1);
    EXPECT_EQ(prefs.DefZoomMode, 0);
    EXPECT_EQ(prefs.FormTop, -1);

    // At exit every value is written; the next start reads them silently.
    prefs.FormTop = 10;
    prefs.FormLeft = 20;
    prefs.FormWidth = 800;
    prefs.FormHeight = 600;
    prefs.DefZoomMode = 2;
    EXPECT_TRUE(store.WriteSettings(prefs).isEmpty());
    QSettings raw(f.prefs(), QSettings::IniFormat);
    raw.beginGroup(QStringLiteral("1.0"));
    EXPECT_EQ(raw.childKeys().size(), 10);

    TQORPregistry again;
    EXPECT_TRUE(store.ReadSettings(again).isEmpty());
    EXPECT_EQ(again.FormTop, 10);
    EXPECT_EQ(again.FormLeft, 20);
    EXPECT_EQ(again.FormWidth, 800);
    EXPECT_EQ(again.FormHeight, 600);
    EXPECT_EQ(again.DefZoomMode, 2);
    EXPECT_EQ(again.LastSave, 0); // never read back
}

TEST(Settings, SingleMissingValuesTakeTheirFallbacks)
{
    Files f;
    {
        QSettings raw(f.prefs(), QSettings::IniFormat);
        raw.setValue(QStringLiteral("1.0/DefZoomMode"), 2);
    }
    SettingsStore store(f.prefs(), f.places());
    TQORPregistry prefs;
    EXPECT_TRUE(store.ReadSettings(prefs).isEmpty());
    EXPECT_EQ(prefs.DefZoomMode, 2);
    EXPECT_EQ(prefs.SVFCon, 2);
    EXPECT_EQ(prefs.FormTop, -1);
    EXPECT_EQ(prefs.FormHeight, -1);
}

TEST(Settings, WindowPlacesRoundTripUnderTheirKeys)
{
    Files f;
    SettingsStore store(f.prefs(), f.places());
    WindowPlaceList places = store.ReadWindowPlaces();
    for (const WindowPlace& p : places)
        EXPECT_EQ(p.Width, -1);
    places[3] = {1, 2, 3, 4};
    store.WriteWindowPlaces(places);

    QSettings raw(f.places(), QSettings::IniFormat);
    EXPECT_EQ(raw.value(QStringLiteral("FLOC/FLT[3]")).toInt(), 2);
    EXPECT_EQ(raw.value(QStringLiteral("FLOC/FLL[3]")).toInt(), 1);
    EXPECT_EQ(store.ReadWindowPlaces()[3].Height, 4);
    EXPECT_EQ(store.ReadWindowPlaces()[0].Width, -1);
}

TEST(Settings, DefaultFontFileAndItsFailures)
{
    Files f;
    const QString path = f.dir.filePath(QStringLiteral("deffnt.bin"));
    EXPECT_EQ(LoadDefaultFont(path).Name, QStringLiteral("MS Sans Serif"));

    QByteArray b(267, '\0');
    qToLittleEndian<int32_t>(12, b.data());
    b[4] = 1;
    qToLittleEndian<uint32_t>(255, b.data() + 8);
    b[12] = 5;
    std::memcpy(b.data() + 13, "Arial", 5);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(b);
    file.close();
    const DefaultFontInfo font = LoadDefaultFont(path);
    EXPECT_EQ(font.Name, QStringLiteral("Arial"));
    EXPECT_EQ(font.Size, 12);
    EXPECT_TRUE(font.Bold);
    EXPECT_FALSE(font.Italic);
    EXPECT_EQ(font.Colour, 255u);

    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(b.left(100));
    file.close();
    QString error;
    EXPECT_EQ(LoadDefaultFont(path, &error).Name, QStringLiteral("MS Sans Serif"));
    EXPECT_FALSE(error.isEmpty());
}
