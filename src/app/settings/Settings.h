#pragma once
// The preferences record, the window places and the default annotation font.
//
// Preferences keep the value names, types and defaults of the Windows
// registry key "Software\QOR\QORPLAYER\1.0\" and live in a QSettings ini file
// in the user's configuration folder (group "1.0"). Window places live in a
// second ini file (section "FLOC", keys "FLT[n]", "FLL[n]", "FLW[n]",
// "FLH[n]" written exactly so), also in the configuration folder because the
// program's own folder may be read-only.
//
// A missing file is a first start: the defaults are used without a word.
// A file that exists but cannot be read gives one message naming it; the
// defaults are used and the damaged file is kept beside it as NAME.bak.

#include <QColor>
#include <QFont>
#include <QList>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <array>

struct TQORPregistry {
    int LastSave = 0;
    int AVIFCC = 0;
    int AVIQ = 0;
    QString Codec;
    int SVFCon = 1;
    int DefZoomMode = 0;
    int FormTop = -1;
    int FormLeft = -1;
    int FormWidth = -1;
    int FormHeight = -1;
};

struct WindowPlace {
    int Left = -1;
    int Top = -1;
    int Width = -1;
    int Height = -1;
};

using WindowPlaceList = std::array<WindowPlace, 10>;

// The annotation font that the annotation tools start from.
struct DefaultFontInfo {
    QString Name = QStringLiteral("MS Sans Serif");
    int Size = 10;                 // points
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    unsigned Colour = 0x00000000;  // 0x00BBGGRR
};

class SettingsStore {
public:
    // Files default to the user's configuration folder; tests pass their own.
    SettingsStore();
    SettingsStore(const QString& preferencesFile, const QString& placesFile);

    static constexpr const char* KeyName = "Software\\QOR\\QORPLAYER\\1.0\\";

    // Reads the preferences. A missing file gives the defaults, which are
    // written at once; a damaged one gives the defaults too, is kept as .bak
    // and the returned message says so. Empty when there is nothing to say.
    // A zoom mode outside 0..3 is ignored (0).
    QString ReadSettings(TQORPregistry& prefs) const;
    // Writes every value; returns an error message or an empty string.
    QString WriteSettings(const TQORPregistry& prefs) const;

    // Every entry -1 when the file is missing; a damaged file also sets
    // *message (the file is kept as .bak).
    WindowPlaceList ReadWindowPlaces(QString* message = nullptr) const;
    void WriteWindowPlaces(const WindowPlaceList& places) const;

    QString preferencesFile() const { return m_preferencesFile; }
    QString placesFile() const { return m_placesFile; }

private:
    QString m_preferencesFile;
    QString m_placesFile;
};

// Reads "system/deffnt.bin" (267 bytes: size, four style bytes, colour,
// short-string name). Returns the defaults when the file is missing; a file
// that cannot be read or is shorter than its format keeps the defaults, is
// kept as .bak and sets *error.
DefaultFontInfo LoadDefaultFont(const QString& path, QString* error = nullptr);
// Where the program looks for the font file: beside the program first, then
// in the configuration folder.
QString DefaultFontPath();

// The message for a store that exists but cannot be read.
QString DamagedFileMessage(const QString& what, const QString& path, const QString& reason, bool keptAsBackup);
// Moves a damaged file aside to path + ".bak" (replacing an older one).
bool KeepAsBackup(const QString& path);

// Smallest window a stored place may give.
inline constexpr QSize MinimumWindowSize{160, 120};

// A stored place made usable on the screens there are now: null when the
// place holds no size (width or height not positive, as -1 for "none");
// otherwise at least `minimum`, at most the screen, and moved wholly onto the
// available area it overlaps most (the first one when it overlaps none).
QRect PlaceOnScreens(const QRect& stored, const QList<QRect>& availableScreens, QSize minimum = MinimumWindowSize);
// The available area (without task bars) of every screen there is now.
QList<QRect> AvailableScreens();
