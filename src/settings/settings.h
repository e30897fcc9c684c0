// Every setting of the settings file, with its default. Fields are named after
// their keys where C++ allows it (blanks, dots and hyphens become '_', umlauts
// are spelt out, numbered key families become arrays). Integers are int.
// Reading and writing live in settings_io.h.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

namespace orbisto {

// Buffer sizes of the string settings, in bytes including the terminating
// NUL of the original buffers: a value keeps at most size - 1 bytes.
inline constexpr size_t kPathBufferSize = 260;     // paths, Selbst texts, Datei
inline constexpr size_t kPackerBufferSize = 256;   // packer command templates
inline constexpr size_t kLongBufferSize = 1024;    // freeDB URL and e-mail, own commands
inline constexpr size_t kHistoryBufferSize = 128;  // Begriff0 .. Begriff9
inline constexpr size_t kFaceNameBufferSize = 32;  // Font FaceName
inline constexpr size_t kHistoryEntries = 10;
inline constexpr size_t kMaxKillFiles = 200;
inline constexpr size_t kMaxKillFileName = 259;  // characters
inline constexpr size_t kMaxSettingsFiles = 10;

// The values of CDentpacken: the dialog controls of the archive modes.
inline constexpr int kExpandNothing = 2054;
inline constexpr int kExpandFileIdOnly = 2055;
inline constexpr int kExpandAll = 2056;

// The freeDB server asked when nothing else is configured (the successor of
// the public freeDB service, which answers the same CDDB protocol).
inline constexpr const char* kDefaultFreeDbUrl = "http://gnudb.gnudb.org/~cddb/cddb.cgi";

// Section "Optionen": the option group.
struct Options {
    int AutoKat = 1;
    int ShowProtect = 1;
    int AviLengthDirect = 0;
    int NoMCI = 0;
    int show_info = 0;  // "show info"
    int PackerTesten = 1;
    int schoen = 0;
    int SubKat = 0;
    int FormatNumber = 1;
    int TimeOut = 600;
    int NichtLoeschen = 0;  // "NichtLöschen"
    int ToolTips = 0;
    int Eject = 0;
    int language = 0;  // 1 = English interface
    int beschreibung = 0;
    int Pfad = 0;
    int Ordner = 0;
    int Laufwerk = 0;
    int Suchen = 0;
    int DoppelKlick = 0;
    int Registry = 0;
    int NurFILES_BBS = 0;   // "NurFILES.BBS"
    int OhneFILES_BBS = 0;  // "OhneFILES.BBS"
    int MaxSize = 1024;     // bytes; stored in KB
    int MaxHTML = 1024;     // bytes; stored in KB, defaults to MaxSize
    int FILE_ID_DIZ = 0;    // "FILE_ID.DIZ"
    int ETX = 0;
    int LSM = 0;
    int INDEX = 0;
    std::array<int, 5> Selbst{};               // "Selbst1" .. "Selbst5"
    std::array<std::string, 5> Selbst_Text{};  // "Selbst1-Text" .. "Selbst5-Text"
    int Umlaut = 0;
    int CDentpacken = kExpandNothing;
    int EXE = 1;
    int RPM = 1;
    int ZIP = 1;
    int ZOO = 1;
    int LHA = 1;
    int ARJ = 1;
    int ACE = 1;
    int RAR = 1;
    int UC2 = 1;
    int COMPRESS = 1;
    int i5Comp = 1;
    int iscab = 1;
    int EXTRACT = 1;
    int UNTGZ = 1;
    int GZ = 1;
    int EXPANDER = 1;
    int mehrzeilig = 1;
    int Update = 0;
    int gepacktSpeichern = 0;
    int Dateiinformationen = 0;
    int Bildinformationen = 1;
    int Thumbnails = 1;
    int ThumbUnd = 1;
    int ThumbSchnell = 1;
    int ThumbQualitaet = 75;
    int ThumbBreite = 256;
    int ThumbHoehe = 256;
    int MinBreite = 256;
    int MinHoehe = 256;
    int MaxMem = 0;
    int Fontinformationen = 1;
    int Modinformationen = 1;
    int Soundinformationen = 1;
    int Multimediainformationen = 1;
    int Versionsinformationen = 1;
    int FastLoad = 0;
    int Reload = 1;
    std::string CopyPfad;
    // The CatalogDirectory as stored; after reading it holds the stored path,
    // or the CatalogDirectory in use when none was stored.
    std::string DataPfad;
    int AlteOption = 0;
    int Minimize = 0;
    int Restore = 1;  // bit 0 only
    int Idle = 0;
    int AutoCD = 0;
    int Disk = 0;
    int AutoScan = 0;
    int CDonly = 0;
    int CRC32 = 0;
    int LogFile = 0;
    int Echtzeit = 1;

    bool operator==(const Options&) const = default;
};

// Section "freeDB".
struct FreeDbSettings {
    int CDDB_Unix = 0;  // "CDDB-Unix"
    int freeDB = 0;
    int CD_Text = 0;          // "CD-Text"
    std::string freeDB_Path;  // "freeDB-Path": the local database directory
    int LocalfreeDB = 0;
    int RemotefreeDB = 0;
    std::string freeDB_URL = kDefaultFreeDbUrl;  // "freeDB-URL"
    std::string freeDB_EMail = "anonymous";      // "freeDB-EMail"

    bool operator==(const FreeDbSettings&) const = default;
};

// A packer command template; "%s" stands for the archive path.
struct PackerTemplate {
    std::string command;
    // The settings file held a template longer than 2 characters for this
    // key, which also marks the packer as available.
    bool stored = false;

    bool operator==(const PackerTemplate&) const = default;
};

// Section "Packer".
struct PackerSettings {
    PackerTemplate RPM{"7z x -y -pzvmk \"%s\""};
    PackerTemplate Zip{"unzip -qq -o -P zvmk %s"};
    PackerTemplate Zoo{"zoo xOq %s"};
    PackerTemplate LHA{"lha xfq %s"};
    PackerTemplate ARJ{"arj x -y -+ -gzvmk %s"};
    PackerTemplate ACE{"unace x -y -pzvmk %s"};
    PackerTemplate RAR{"unrar x -y -p- %s"};
    PackerTemplate UC2{"uc ESF %s"};
    PackerTemplate Extract{"cabextract -q -d %s %s"};
    PackerTemplate UnTGZ{"tar -xf %s"};
    PackerTemplate UnGZ{"7z x -y -pzvmk %s"};
    std::string OwnCmd;
    std::string OwnExt;
    std::string InfoCmd;
    std::string InfoExt;
    std::string DirCmd;

    bool operator==(const PackerSettings&) const = default;
};

// The start and display state, section "Optionen".
struct StartState {
    int Preview = 0;
    int nicht_fragen = 0;      // "nicht fragen"
    int Letztes_Laufwerk = 0;  // "Letztes Laufwerk"
    int LetzteCD = 0;
    int LetzteKategorie = 0;
    int ShowMedienliste = 0;
    int Split = 20;
    int Split3 = 20;
    int TreeFull = 100;
    int TreePrev = 80;
    int sorting = 0;
    // Written when the main window closes, not read at start.
    int ShowCRC = 0;
    int Darstellung = 0;

    bool operator==(const StartState&) const = default;
};

// Column widths of one list view in pixels: the normal layout ("Spalte1" ..)
// and the layout with more room for the description ("bSpalte1" ..).
template <size_t N>
struct ColumnWidths {
    std::array<int, N> Spalte;
    std::array<int, N> bSpalte;

    bool operator==(const ColumnWidths&) const = default;
};

struct ColumnSettings {
    ColumnWidths<5> Anzeige{{110, 50, 70, 100, 600}, {110, 50, 0, 0, 2000}};
    ColumnWidths<8> Ergebnis{{110, 50, 70, 100, 120, 120, 600, 200},
                             {110, 50, 0, 0, 0, 0, 400, 400}};
    ColumnWidths<2> Start{{110, 50}, {110, 50}};
    ColumnWidths<8> Liste{{200, 100, 100, 100, 100, 100, 100, 100},
                          {200, 100, 100, 100, 100, 100, 100, 100}};

    bool operator==(const ColumnSettings&) const = default;
};

// Section "Font": the list font. With Height -1 the lists keep the system
// font and the other values are not read.
struct FontSettings {
    int Height = -1;
    int With = -1;
    int Escapement = -1;
    int Orientation = -1;
    int Weight = -1;
    int Italic = -1;
    int Underline = -1;
    int StrikeOut = -1;
    int CharSet = -1;
    int OutPrecision = -1;
    int ClipPrecision = -1;
    int Quality = -1;
    int PitchAndFamily = -1;
    std::string FaceName;

    bool operator==(const FontSettings&) const = default;
};

// Section "Ausgabe": the output settings.
struct OutputSettings {
    int Was = 310;
    int Wie = 311;
    int Womit = 303;
    int anhaengen = 0;
    int FF = 0;
    int Header = 0;
    int Root = 0;
    int Dir = 0;
    int CSV_Liste = 0;  // "CSV-Liste"
    int einzeilig = 0;
    int LinkerRand = 0;
    std::string Datei = "FILES.LST";
    int Ort = 0;
    int CD = 1;
    int Name = 1;
    int Erweiterung = 1;
    int Laenge = 1;
    int Datum = 1;
    int Pfad = 1;
    int Kommentar = 1;
    int Hersteller = 1;
    int Lieferant = 1;
    int Nummer = 1;
    int Preis = 1;
    int Info = 1;
    int Letzte_Aenderung = 1;  // "Letzte Änderung"
    int Kategorie = 1;
    int frei = 0;
    int Unterkategorie = 1;
    int Filter = 0;
    int Filtermodus = 342;
    int NurKommentar = 0;
    int GrossKlein = 0;
    int MaxLevel = 255;
    std::array<std::string, kHistoryEntries> Begriff{};  // "Begriff0" .. "Begriff9"

    bool operator==(const OutputSettings&) const = default;
};

// Section "Suche": the search settings. The date fields default to the date
// of the day the settings are read.
struct SearchSettings {
    int Suchbereich = 7;
    int SuchJahr1 = 0;
    int SuchMonat1 = 0;
    int SuchTag1 = 0;
    int SuchJahr2 = 0;
    int SuchMonat2 = 0;
    int SuchTag2 = 0;
    int Automatik = 0;
    int Info = 1;
    int GrossKlein = 1;  // 1 = ignore case
    int SuchModus = 507;
    int FuzzyToleranz = 100;
    int FuzzyTreffer = 100;
    int MaxFehler = 0;
    int Flag = 0x401F;
    int Kategorie = 0;                                   // 16-bit
    int Unterkategorien = 1;                             // 16-bit
    std::array<std::string, kHistoryEntries> Begriff{};  // "Begriff0" .. "Begriff9"

    bool operator==(const SearchSettings&) const = default;
};

// A window placement as stored, relative to the monitor's top-left corner.
struct WindowPlacement {
    int Flags = 2;
    int ShowCmd = 5;
    int XMin = 0;
    int YMin = 0;
    int XMax = 0;
    int YMax = 0;
    int Links = 100;
    int Oben = 100;
    int Rechts = 500;
    int Unten = 400;

    bool operator==(const WindowPlacement&) const = default;
};

struct Settings {
    Options options;
    FreeDbSettings freeDB;
    PackerSettings packer;
    StartState state;
    ColumnSettings columns;
    FontSettings font;
    OutputSettings output;
    SearchSettings search;
    WindowPlacement placement;  // section "Orbisto": the main window
    // File names that switch archive expansion off for their directory.
    std::vector<std::string> KillFiles;
    // Other settings files in the program directory, full paths, sorted.
    std::vector<std::string> settings_files;

    bool operator==(const Settings&) const = default;
};

}  // namespace orbisto
