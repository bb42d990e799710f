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

TEST(Settings, FirstStartIsSilentAndWritesTheDefaults)
{
    Files f;
    SettingsStore store(f.prefs(), f.places());
    TQORPregistry prefs;
    prefs.DefZoomMode = 3;
    EXPECT_TRUE(store.ReadSettings(prefs).isEmpty());
    EXPECT_EQ(prefs.SVFCon, 1);
    EXPECT_EQ(prefs.DefZoomMode, 0);
    EXPECT_EQ(prefs.FormTop, -1);
    {
        QSettings raw(f.prefs(), QSettings::IniFormat);
        raw.beginGroup(QStringLiteral("1.0"));
        EXPECT_EQ(raw.childKeys().size(), 10);
        EXPECT_EQ(raw.value(QStringLiteral("SVFCon")).toInt(), 1);
    }

    // At exit every value is written; the next start reads them silently.
    prefs.FormTop = 10;
    prefs.FormLeft = 20;
    prefs.FormWidth = 800;
    prefs.FormHeight = 600;
    prefs.DefZoomMode = 2;
    EXPECT_TRUE(store.WriteSettings(prefs).isEmpty());

    TQORPregistry again;
    EXPECT_TRUE(store.ReadSettings(again).isEmpty());
    EXPECT_EQ(again.FormTop, 10);
    EXPECT_EQ(again.FormLeft, 20);
    EXPECT_EQ(again.FormWidth, 800);
    EXPECT_EQ(again.FormHeight, 600);
    EXPECT_EQ(again.DefZoomMode, 2);
    EXPECT_EQ(again.LastSave, 0); // never read back
}

TEST(Settings, DamagedStoresAreNamedKeptAsBackupAndReplacedByDefaults)
{
    Files f;
    static const char kJunk[] = "\x01\x02" "BVSC\0\0\xff\xfe garbage";
    const QByteArray junk(kJunk, sizeof kJunk - 1); // NULs inside, so not up to the first one
    for (const QString& path : {f.prefs(), f.places()}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(junk);
    }
    SettingsStore store(f.prefs(), f.places());
    TQORPregistry prefs;
    prefs.FormTop = 5;
    const QString message = store.ReadSettings(prefs);
    EXPECT_TRUE(message.contains(f.prefs())) << message.toStdString();
    EXPECT_TRUE(message.contains(f.prefs() + QStringLiteral(".bak"))) << message.toStdString();
    EXPECT_EQ(prefs.SVFCon, 1);
    EXPECT_EQ(prefs.FormTop, -1);
    QFile backup(f.prefs() + QStringLiteral(".bak"));
    ASSERT_TRUE(backup.open(QIODevice::ReadOnly));
    EXPECT_EQ(backup.readAll(), junk);
    // The defaults now stand in the store: the next start is silent.
    EXPECT_TRUE(store.ReadSettings(prefs).isEmpty());

    QString placesMessage;
    const WindowPlaceList places = store.ReadWindowPlaces(&placesMessage);
    EXPECT_TRUE(placesMessage.contains(f.places())) << placesMessage.toStdString();
    EXPECT_EQ(places[0].Width, -1);
    EXPECT_TRUE(QFile::exists(f.places() + QStringLiteral(".bak")));
    EXPECT_FALSE(QFile::exists(f.places()));
    placesMessage.clear();
    store.ReadWindowPlaces(&placesMessage);
    EXPECT_TRUE(placesMessage.isEmpty());
}

TEST(Settings, ZoomModeOutsideTheKernelsIsIgnored)
{
    for (int stored : {-1, 4, 99}) {
        Files f;
        {
            QSettings raw(f.prefs(), QSettings::IniFormat);
            raw.setValue(QStringLiteral("1.0/DefZoomMode"), stored);
        }
        TQORPregistry prefs;
        EXPECT_TRUE(SettingsStore(f.prefs(), f.places()).ReadSettings(prefs).isEmpty());
        EXPECT_EQ(prefs.DefZoomMode, 0) << stored;
    }
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

TEST(Settings, WindowPlacesRoundTripUnderTheirDocumentedKeys)
{
    Files f;
    SettingsStore store(f.prefs(), f.places());
    QString message;
    WindowPlaceList places = store.ReadWindowPlaces(&message);
    EXPECT_TRUE(message.isEmpty());
    for (const WindowPlace& p : places)
        EXPECT_EQ(p.Width, -1);
    places[3] = {1, 2, 3, 4};
    store.WriteWindowPlaces(places);

    QFile file(f.places());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.startsWith("[FLOC]\n")) << text.constData();
    EXPECT_TRUE(text.contains("\nFLT[3]=2\n")) << text.constData();
    EXPECT_TRUE(text.contains("\nFLL[3]=1\n"));
    EXPECT_TRUE(text.contains("\nFLW[0]=-1\n"));
    EXPECT_FALSE(text.contains("%5B"));
    EXPECT_EQ(store.ReadWindowPlaces()[3].Height, 4);
    EXPECT_EQ(store.ReadWindowPlaces()[3].Top, 2);
    EXPECT_EQ(store.ReadWindowPlaces()[0].Width, -1);
}

TEST(Settings, WindowPlacesWrittenWithEscapedKeysStillReadBack)
{
    Files f;
    {
        QSettings raw(f.places(), QSettings::IniFormat);
        raw.setValue(QStringLiteral("FLOC/FLT[2]"), 40);
        raw.setValue(QStringLiteral("FLOC/FLW[2]"), 300);
    }
    const WindowPlaceList places = SettingsStore(f.prefs(), f.places()).ReadWindowPlaces();
    EXPECT_EQ(places[2].Top, 40);
    EXPECT_EQ(places[2].Width, 300);
    EXPECT_EQ(places[2].Left, -1);
}

TEST(Settings, StoredPlacesAreClampedToTheScreens)
{
    const QList<QRect> screens{QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024)};
    struct Case {
        QRect stored;
        QRect expected;
    };
    const Case cases[] = {
        {QRect(100, 50, 800, 600), QRect(100, 50, 800, 600)},        // fits: unchanged
        {QRect(2000, 100, 600, 400), QRect(2000, 100, 600, 400)},    // on the second screen
        {QRect(-500, -300, 800, 600), QRect(0, 0, 800, 600)},        // off the top left
        {QRect(5000, 4000, 800, 600), QRect(1120, 480, 800, 600)},   // nowhere: first screen
        {QRect(100, 100, 5000, 3000), QRect(0, 0, 1920, 1080)},      // larger than the screen
        {QRect(100, 100, 10, 1), QRect(100, 100, 160, 120)},         // too small
        {QRect(3100, 1000, 400, 300), QRect(2800, 724, 400, 300)},   // mostly on the second
        {QRect(100, 100, -1, 600), QRect()},                          // width "none"
        {QRect(100, 100, 600, 0), QRect()},                           // no height
    };
    for (const Case& c : cases)
        EXPECT_EQ(PlaceOnScreens(c.stored, screens), c.expected) << c.stored.x() << "," << c.stored.y();
    EXPECT_EQ(PlaceOnScreens(QRect(0, 0, 100, 100), {}), QRect());
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
    EXPECT_TRUE(error.contains(path)) << error.toStdString();
    EXPECT_TRUE(QFile::exists(path + QStringLiteral(".bak")));
    EXPECT_FALSE(QFile::exists(path));
    // Now missing: the built-in font, without a word.
    error.clear();
    EXPECT_EQ(LoadDefaultFont(path, &error).Name, QStringLiteral("MS Sans Serif"));
    EXPECT_TRUE(error.isEmpty());
}
