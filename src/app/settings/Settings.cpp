#include "app/settings/Settings.h"

#include "common/LittleEndian.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSaveFile>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QUrl>
#include <algorithm>

namespace {

QString configFolder()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (folder.isEmpty())
        folder = QDir::homePath() + QStringLiteral("/.config");
    return folder + QStringLiteral("/QOR");
}

const QString Group = QStringLiteral("1.0");
const QString PlacesSection = QStringLiteral("FLOC");

// Reads one integer value; missing or unparsable values give the fallback.
int readInt(const QSettings& s, const QString& name, int fallback)
{
    // Value names are matched without regard to case.
    for (const QString& key : s.childKeys()) {
        if (key.compare(name, Qt::CaseInsensitive) == 0) {
            bool ok = false;
            const int value = s.value(key).toInt(&ok);
            return ok ? value : fallback;
        }
    }
    return fallback;
}

// Reads a whole text store. False with *reason when the file cannot be
// opened or is plainly not text (a NUL byte or broken UTF-8).
bool readTextFile(const QString& path, QByteArray* bytes, QString* reason)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *reason = file.errorString();
        return false;
    }
    *bytes = file.readAll();
    if (bytes->contains('\0')) {
        *reason = QStringLiteral("it is not a text file");
        return false;
    }
    QStringDecoder decoder(QStringDecoder::Utf8);
    (void)decoder.decode(*bytes);
    if (decoder.hasError()) {
        *reason = QStringLiteral("it is not a text file");
        return false;
    }
    return true;
}

// The places keys: "FLT[" + n + "]" and so on, in the order they are written.
const char* const PlacePrefixes[4] = {"FLT[", "FLL[", "FLW[", "FLH["};

int& placeField(WindowPlace& p, int k)
{
    switch (k) {
    case 0: return p.Top;
    case 1: return p.Left;
    case 2: return p.Width;
    default: return p.Height;
    }
}

// Parses the places file. False when a line is neither blank, a comment, a
// section header nor key=value.
bool parsePlaces(const QByteArray& bytes, WindowPlaceList& places)
{
    QString section;
    for (const QByteArray& raw : bytes.split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            section = line.mid(1, line.size() - 2).trimmed();
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0)
            return false;
        if (section.compare(PlacesSection, Qt::CaseInsensitive) != 0)
            continue;
        // Files written through QSettings hold the brackets percent-escaped.
        const QString key = QUrl::fromPercentEncoding(line.left(eq).trimmed().toUtf8());
        bool ok = false;
        const int value = line.mid(eq + 1).trimmed().toInt(&ok);
        for (int k = 0; k < 4; ++k) {
            const QString prefix = QLatin1String(PlacePrefixes[k]);
            if (!key.startsWith(prefix, Qt::CaseInsensitive) || !key.endsWith(QLatin1Char(']')))
                continue;
            bool numberOk = false;
            const int n = key.mid(prefix.size(), key.size() - prefix.size() - 1).toInt(&numberOk);
            if (numberOk && n >= 0 && n < int(places.size()))
                placeField(places[size_t(n)], k) = ok ? value : -1;
        }
    }
    return true;
}

} // namespace

QString DamagedFileMessage(const QString& what, const QString& path, const QString& reason, bool keptAsBackup)
{
    QString text = QStringLiteral("The %1 file %2 cannot be read (%3). The defaults are used").arg(what, QDir::toNativeSeparators(path), reason);
    if (keptAsBackup)
        text += QStringLiteral("; the damaged file is kept as %1.").arg(QDir::toNativeSeparators(path + QStringLiteral(".bak")));
    else
        text += QLatin1Char('.');
    return text;
}

bool KeepAsBackup(const QString& path)
{
    const QString backup = path + QStringLiteral(".bak");
    if (QFileInfo::exists(backup) && !QFile::remove(backup))
        return false;
    return QFile::rename(path, backup);
}

SettingsStore::SettingsStore()
    : SettingsStore(configFolder() + QStringLiteral("/QORPLAYER.conf"),
                    configFolder() + QStringLiteral("/qorplayer.ini"))
{
}

SettingsStore::SettingsStore(const QString& preferencesFile, const QString& placesFile)
    : m_preferencesFile(preferencesFile), m_placesFile(placesFile)
{
}

QString SettingsStore::ReadSettings(TQORPregistry& prefs) const
{
    prefs.SVFCon = 1;
    prefs.DefZoomMode = 0;
    auto useDefaults = [&prefs] { prefs.FormTop = prefs.FormLeft = prefs.FormWidth = prefs.FormHeight = -1; };
    if (!QFileInfo::exists(m_preferencesFile)) {
        useDefaults();
        // First start: the defaults, written for next time, and no message.
        WriteSettings(prefs);
        return QString();
    }
    QByteArray bytes;
    QString reason;
    bool readable = readTextFile(m_preferencesFile, &bytes, &reason);
    QSettings s(m_preferencesFile, QSettings::IniFormat);
    if (readable && s.status() != QSettings::NoError) {
        reason = QStringLiteral("it cannot be parsed");
        readable = false;
    }
    if (!readable) {
        useDefaults();
        const bool kept = KeepAsBackup(m_preferencesFile);
        WriteSettings(prefs);
        return DamagedFileMessage(QStringLiteral("settings"), m_preferencesFile, reason, kept);
    }
    if (!s.childGroups().contains(Group)) {
        // A store without our group holds no preferences yet.
        WriteSettings(prefs);
        return QString();
    }
    s.beginGroup(Group);
    prefs.DefZoomMode = readInt(s, QStringLiteral("DefZoomMode"), 0);
    if (prefs.DefZoomMode < 0 || prefs.DefZoomMode > 3)
        prefs.DefZoomMode = 0; // no such kernel
    prefs.SVFCon = readInt(s, QStringLiteral("SVFCon"), 2);
    prefs.FormTop = readInt(s, QStringLiteral("Formtop"), -1);
    prefs.FormLeft = readInt(s, QStringLiteral("Formleft"), -1);
    prefs.FormWidth = readInt(s, QStringLiteral("Formwidth"), -1);
    prefs.FormHeight = readInt(s, QStringLiteral("Formheight"), -1);
    s.endGroup();
    return QString();
}

QString SettingsStore::WriteSettings(const TQORPregistry& prefs) const
{
    QDir().mkpath(QFileInfo(m_preferencesFile).absolutePath());
    QSettings s(m_preferencesFile, QSettings::IniFormat);
    s.beginGroup(Group);
    s.setValue(QStringLiteral("DefZoomMode"), prefs.DefZoomMode);
    s.setValue(QStringLiteral("Codec"), prefs.Codec);
    s.setValue(QStringLiteral("AVIQ"), prefs.AVIQ);
    s.setValue(QStringLiteral("AVIFCC"), prefs.AVIFCC);
    s.setValue(QStringLiteral("LastSave"), prefs.LastSave);
    s.setValue(QStringLiteral("SVFCon"), prefs.SVFCon);
    s.setValue(QStringLiteral("Formtop"), prefs.FormTop);
    s.setValue(QStringLiteral("FormLeft"), prefs.FormLeft);
    s.setValue(QStringLiteral("FormWidth"), prefs.FormWidth);
    s.setValue(QStringLiteral("FormHeight"), prefs.FormHeight);
    s.endGroup();
    s.sync();
    if (s.status() != QSettings::NoError)
        return QStringLiteral("Unable to write to registry.\r") +
               QStringLiteral("Cannot write %1").arg(m_preferencesFile);
    return QString();
}

WindowPlaceList SettingsStore::ReadWindowPlaces(QString* message) const
{
    WindowPlaceList places;
    if (!QFileInfo::exists(m_placesFile))
        return places;
    QByteArray bytes;
    QString reason;
    bool ok = readTextFile(m_placesFile, &bytes, &reason);
    if (ok && !parsePlaces(bytes, places)) {
        reason = QStringLiteral("it cannot be parsed");
        ok = false;
    }
    if (!ok) {
        places = WindowPlaceList{};
        const bool kept = KeepAsBackup(m_placesFile);
        if (message)
            *message = DamagedFileMessage(QStringLiteral("window places"), m_placesFile, reason, kept);
    }
    return places;
}

void SettingsStore::WriteWindowPlaces(const WindowPlaceList& places) const
{
    // Written by hand: QSettings would escape the brackets of "FLT[0]".
    QDir().mkpath(QFileInfo(m_placesFile).absolutePath());
    QByteArray text = "[" + PlacesSection.toLatin1() + "]\n";
    for (int n = 0; n < int(places.size()); ++n) {
        WindowPlace p = places[size_t(n)];
        for (int k = 0; k < 4; ++k)
            text += QByteArray(PlacePrefixes[k]) + QByteArray::number(n) + "]=" + QByteArray::number(placeField(p, k)) + '\n';
    }
    QSaveFile file(m_placesFile);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(text);
        file.commit();
    }
}

DefaultFontInfo LoadDefaultFont(const QString& path, QString* error)
{
    DefaultFontInfo font;
    QFile file(path);
    if (!file.exists())
        return font; // the built-in font
    auto damaged = [&](const QString& reason) {
        file.close();
        const bool kept = KeepAsBackup(path);
        if (error)
            *error = DamagedFileMessage(QStringLiteral("default font"), path, reason, kept);
        return DefaultFontInfo{};
    };
    if (!file.open(QIODevice::ReadOnly))
        return damaged(file.errorString());
    const QByteArray b = file.read(267);
    if (b.size() < 267)
        return damaged(QStringLiteral("%1 of 267 bytes").arg(b.size()));
    const char* d = b.constData();
    font.Size = ReadLE<int32_t>(d);
    font.Bold = d[4] != 0;
    font.Italic = d[5] != 0;
    font.Underline = d[6] != 0;
    font.StrikeOut = d[7] != 0;
    font.Colour = ReadLE<uint32_t>(d + 8);
    const int length = uint8_t(d[12]);
    // The name field holds at most 254 characters after its length byte.
    font.Name = QString::fromLatin1(d + 13, std::min(length, 254));
    return font;
}

QString DefaultFontPath()
{
    const QString besideProgram = QCoreApplication::applicationDirPath() + QStringLiteral("/system/deffnt.bin");
    if (QFileInfo::exists(besideProgram))
        return besideProgram;
    return configFolder() + QStringLiteral("/system/deffnt.bin");
}

QRect PlaceOnScreens(const QRect& stored, const QList<QRect>& availableScreens, QSize minimum)
{
    if (stored.width() <= 0 || stored.height() <= 0 || availableScreens.isEmpty())
        return QRect();
    // The screen the place overlaps most; the first when it overlaps none.
    QRect screen = availableScreens.first();
    qint64 best = 0;
    for (const QRect& s : availableScreens) {
        const QRect common = s.intersected(stored);
        const qint64 area = common.isEmpty() ? 0 : qint64(common.width()) * common.height();
        if (area > best) {
            best = area;
            screen = s;
        }
    }
    const int width = std::clamp(stored.width(), std::min(minimum.width(), screen.width()), screen.width());
    const int height = std::clamp(stored.height(), std::min(minimum.height(), screen.height()), screen.height());
    const int left = std::clamp(stored.left(), screen.left(), screen.left() + screen.width() - width);
    const int top = std::clamp(stored.top(), screen.top(), screen.top() + screen.height() - height);
    return QRect(left, top, width, height);
}

QList<QRect> AvailableScreens()
{
    QList<QRect> areas;
    for (const QScreen* screen : QGuiApplication::screens())
        areas << screen->availableGeometry();
    return areas;
}
