#pragma once
// The preferences record, the window places and the default annotation font.
//
// Preferences keep the value names, types and defaults of the original
// registry key "Software\QOR\QORPLAYER\1.0\" and live in a QSettings ini file
// in the user's configuration folder (group "1.0"). Window places live in a
// second ini file (section "FLOC", keys "FLT[n]", "FLL[n]", "FLW[n]",
// "FLH[n]"), also in the configuration folder because the program's own
// folder may be read-only.

#include <QColor>
#include <QFont>
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

    // Reads the preferences. Returns the message to show once, or an empty
    // string (a missing store gives "Cannot read key" + the key name).
    QString ReadSettings(TQORPregistry& prefs) const;
    // Writes every value; returns an error message or an empty string.
    QString WriteSettings(const TQORPregistry& prefs) const;

    WindowPlaceList ReadWindowPlaces() const;
    void WriteWindowPlaces(const WindowPlaceList& places) const;

    QString preferencesFile() const { return m_preferencesFile; }
    QString placesFile() const { return m_placesFile; }

private:
    QString m_preferencesFile;
    QString m_placesFile;
};

// Reads "system/deffnt.bin" (267 bytes: size, four style bytes, colour,
// short-string name). Returns the defaults when the file is missing; a file
// shorter than its format keeps the defaults and sets *error.
DefaultFontInfo LoadDefaultFont(const QString& path, QString* error = nullptr);
// Where the program looks for the font file: beside the program first, then
// in the configuration folder.
QString DefaultFontPath();
