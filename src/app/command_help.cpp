#include "app/command_help.h"

namespace orbisto::app {

namespace {

struct Help {
    std::string_view name;
    std::string_view de;
    std::string_view en;
};

// Each text: the synopsis, a line on what the command does, the options, the
// exit statuses. README.md says more.
constexpr Help kHelp[] = {
    {"media",
     "Aufruf: orbisto media [--category N]\n"
     "Listet die katalogisierten Medien, eine Zeile je Medium (durch Tabulatoren getrennt:\n"
     "Nummer, Name, Label, Seriennummer, Verzeichnisse, Dateien, KB, Kategorie, verliehen).\n"
     "  --category N   nur die Medien, die unter Kategorie N stehen\n"
     "Ende: 0 gut, 1 Medienliste nicht lesbar, 2 Aufruf falsch.\n",
     "Usage: orbisto media [--category N]\n"
     "Lists the catalogued media, one line per medium (tab-separated: number, name, label,\n"
     "serial, directories, files, KB, category, lent).\n"
     "  --category N   only the media shown under category N\n"
     "Exit status: 0 done, 1 the media list could not be read, 2 usage error.\n"},
    {"ls",
     "Aufruf: orbisto ls MEDIUM [PFAD] [-R] [--json]\n"
     "Listet ein Verzeichnis eines Mediums (MEDIUM: Nummer oder Name) mit den Spalten von\n"
     "orbisto find: erst die Unterverzeichnisse, dann die Dateien. PFAD: der gespeicherte\n"
     "Pfad oder der Pfad unter dem eingelesenen Ordner; ohne PFAD die Wurzel.\n"
     "  -R, --recursive      auch alles darunter\n"
     "  --json               ein JSON-Objekt je Zeile\n"
     "Ende: 0 gelistet, 1 kein solches Medium oder Verzeichnis, 2 Aufruf falsch.\n",
     "Usage: orbisto ls MEDIUM [PATH] [-R] [--json]\n"
     "Lists a directory of a medium (MEDIUM: number or name) with the columns of\n"
     "orbisto find: the subdirectories first, then the files. PATH: the stored path or\n"
     "the path below the folder that was scanned; without PATH the root.\n"
     "  -R, --recursive      everything below it as well\n"
     "  --json               one JSON object per line\n"
     "Exit status: 0 listed, 1 no such medium or directory, 2 usage error.\n"},
    {"info-medium",
     "Aufruf: orbisto info-medium MEDIUM [--json]\n"
     "Zeigt Kopf, Informationen, Beschreibung und Zahlen eines Mediums (Nummer oder Name).\n"
     "  --json               ein JSON-Objekt\n"
     "Ende: 0 gezeigt, 1 kein solches Medium, 2 Aufruf falsch.\n",
     "Usage: orbisto info-medium MEDIUM [--json]\n"
     "Shows the header, information block, description and statistics of a medium\n"
     "(number or name).\n"
     "  --json               one JSON object\n"
     "Exit status: 0 shown, 1 no such medium, 2 usage error.\n"},
    {"categories",
     "Aufruf: orbisto categories\n"
     "Listet die Kategorien: Index, Index der Oberkategorie, Name.\n"
     "Ende: 0 gut, 2 Aufruf falsch.\n",
     "Usage: orbisto categories\n"
     "Lists the categories: index, index of the parent, name.\n"
     "Exit status: 0 done, 2 usage error.\n"},
    {"find",
     "Aufruf: orbisto find [Optionen] TEXT\n"
     "Durchsucht alle Kataloge wie der Suchdialog; eine Zeile je Treffer.\n"
     "  --mode M             normal, extended, similarity, thumbnails, regular,\n"
     "                       favourites, duplicates\n"
     "  --case               Gro\xC3\x9F-/Kleinschreibung beachten\n"
     "  --scope LISTE        comments,dirs,files,info\n"
     "  --comment-only       Namen z\xC3\xA4hlen nur mit Kommentar\n"
     "  --category N         nur Medien der Kategorie N (--no-subcategories: ohne\n"
     "                       Unterkategorien)\n"
     "  --from/--to JJJJ-MM-TT, --min-kb/--max-kb X   Datum und Gr\xC3\xB6\xC3\x9F"
     "e\n"
     "  --errors N, --threshold N, --auto   Fehler, \xC3\x84hnlichkeit, automatisch erweitern\n"
     "  --rate               Feld 9: Fehlerzahl oder \xC3\x84hnlichkeit\n"
     "  --json               ein JSON-Objekt je Zeile\n"
     "  --medium MEDIUM      nur dieses Medium (Nummer oder Name)\n"
     "  --all-matches        jeden Treffer, nicht nur eine Zeile je Objekt\n"
     "  --dir PFAD           Katalogverzeichnis (auch nach dem Befehl)\n"
     "Ende: 0 Treffer, 1 keine Treffer, 2 Aufruf oder Suchmuster falsch.\n",
     "Usage: orbisto find [options] TEXT\n"
     "Searches all catalogues as the search dialog does; one line per hit.\n"
     "  --mode M             normal, extended, similarity, thumbnails, regular,\n"
     "                       favourites, duplicates\n"
     "  --case               compare case\n"
     "  --scope LIST         comments,dirs,files,info\n"
     "  --comment-only       names count only with a comment\n"
     "  --category N         only media of category N (--no-subcategories: without\n"
     "                       its subcategories)\n"
     "  --from/--to YYYY-MM-DD, --min-kb/--max-kb X   date and size\n"
     "  --errors N, --threshold N, --auto   errors, similarity, widen automatically\n"
     "  --rate               field 9: error count or similarity rate\n"
     "  --json               one JSON object per line\n"
     "  --medium MEDIUM      only this medium (number or name)\n"
     "  --all-matches        every match, not only one line per object\n"
     "  --dir PATH           catalogue directory (also after the command)\n"
     "Exit status: 0 hits, 1 no hits, 2 usage error or a pattern that does not compile.\n"},
    {"import-list",
     "Aufruf: orbisto import-list DATEI --format files-bbs|index\n"
     "Speichert eine Dateiliste (FILES.BBS oder INDEX) als neues Medium.\n"
     "Ende: 0 gespeichert, 1 nicht lesbar oder nicht gespeichert, 2 Aufruf falsch.\n",
     "Usage: orbisto import-list FILE --format files-bbs|index\n"
     "Stores a file list (FILES.BBS or INDEX) as a new medium.\n"
     "Exit status: 0 stored, 1 unreadable or not stored, 2 usage error.\n"},
    {"export",
     "Aufruf: orbisto export --output DATEI [Optionen]\n"
     "Schreibt eine Dateiliste, einen Baum, eine CSV- oder dBase-Tabelle oder eine\n"
     "Medienliste; die Einstellungsdatei wird weder gelesen noch geschrieben.\n"
     "  --format list|tree|csv|dbf|media\n"
     "  --scope all|lent|category N|medium N\n"
     "  --filter TEXT, --filter-mode normal|regular|thumbnails|favourites\n"
     "  --columns LISTE, --header, --append, --form-feed, --one-line, --dirs-only,\n"
     "  --root-only, --max-level N, --csv, --comment-only, --ignore-case,\n"
     "  --no-subcategories, --windows-1252\n"
     "  --force              eine vorhandene Datei ersetzen\n"
     "Ende: 0 geschrieben, 1 nicht (ganz) geschrieben, 2 Aufruf falsch.\n",
     "Usage: orbisto export --output FILE [options]\n"
     "Writes a file list, a tree, a CSV or dBase table or a media list; the settings\n"
     "file is neither read nor written.\n"
     "  --format list|tree|csv|dbf|media\n"
     "  --scope all|lent|category N|medium N\n"
     "  --filter TEXT, --filter-mode normal|regular|thumbnails|favourites\n"
     "  --columns LIST, --header, --append, --form-feed, --one-line, --dirs-only,\n"
     "  --root-only, --max-level N, --csv, --comment-only, --ignore-case,\n"
     "  --no-subcategories, --windows-1252\n"
     "  --force              replace an existing file\n"
     "Exit status: 0 written, 1 not (or not all) written, 2 usage error.\n"},
    {"info",
     "Aufruf: orbisto info [--json] DATEI...\n"
     "Zeigt, was ein Einlesen als Information jeder DATEI speichert.\n"
     "  --json               ein JSON-Objekt je Datei, mit den gelesenen Feldern\n"
     "Ende: 0 alle beschrieben, 1 eine nicht, 2 Aufruf falsch.\n",
     "Usage: orbisto info [--json] FILE...\n"
     "Shows what a scan stores as the information of each FILE.\n"
     "  --json               one JSON object per file, with the fields read\n"
     "Exit status: 0 all described, 1 one was not, 2 usage error.\n"},
    {"thumbnail",
     "Aufruf: orbisto thumbnail KATALOG PFAD --output DATEI [--force]\n"
     "Schreibt das gespeicherte Vorschaubild der Datei PFAD aus Katalog KATALOG (JPEG).\n"
     "  --force              eine vorhandene DATEI ersetzen\n"
     "Ende: 0 geschrieben, 1 nicht vorhanden oder nicht schreibbar, 2 Aufruf falsch.\n",
     "Usage: orbisto thumbnail CATALOGUE PATH --output FILE [--force]\n"
     "Writes the stored thumbnail of the file PATH in catalogue CATALOGUE (a JPEG).\n"
     "  --force              replace an existing FILE\n"
     "Exit status: 0 written, 1 missing or not writable, 2 usage error.\n"},
};

}  // namespace

std::string command_help(std::string_view name, bool english) {
    for (const Help& h : kHelp) {
        if (h.name == name) return std::string(english ? h.en : h.de);
    }
    return {};
}

}  // namespace orbisto::app
