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
    {"rename",
     "Aufruf: orbisto rename MEDIUM NAME\n"
     "Gibt dem Medium (Nummer oder Name) einen neuen Namen (h\xC3\xB6"
     "chstens 57 Zeichen).\n"
     "Tr\xC3\xA4gt schon ein anderes Medium den Namen, wird die Frage danach mit Ja\n"
     "beantwortet und auf der Fehlerausgabe gezeigt.\n"
     "Ende: 0 umbenannt, 1 abgelehnt oder nicht gespeichert, 2 Aufruf falsch.\n",
     "Usage: orbisto rename MEDIUM NAME\n"
     "Gives the medium (number or name) a new name (57 characters at most).\n"
     "When another medium has that name already, the question about it is answered\n"
     "Yes and shown on standard error.\n"
     "Exit status: 0 renamed, 1 refused or not stored, 2 usage error.\n"},
    {"rm",
     "Aufruf: orbisto rm [--yes] MEDIUM...\n"
     "L\xC3\xB6scht die Katalogdateien der Medien (Nummer oder Name). Auf einem Terminal\n"
     "wird gefragt; ohne Terminal wird nur mit --yes gel\xC3\xB6scht.\n"
     "  --yes                ohne Frage l\xC3\xB6schen\n"
     "Ende: 0 gel\xC3\xB6scht, 1 nicht (alle) gel\xC3\xB6scht, 2 Aufruf falsch.\n",
     "Usage: orbisto rm [--yes] MEDIUM...\n"
     "Deletes the catalogue files of the media (number or name). On a terminal it\n"
     "asks; without a terminal it deletes only with --yes.\n"
     "  --yes                delete without asking\n"
     "Exit status: 0 deleted, 1 not (all) deleted, 2 usage error.\n"},
    {"category",
     "Aufruf: orbisto category add NAME [--parent N]\n"
     "       orbisto category rm N [--yes]\n"
     "       orbisto category mv N OBERKATEGORIE\n"
     "       orbisto category rename N NAME\n"
     "\xC3\x84ndert die Kategorien; N ist die Nummer, die 'orbisto categories' zeigt,\n"
     "0 als Oberkategorie die oberste Ebene. add gibt die neue Nummer aus. rm\n"
     "l\xC3\xB6scht auch die Unterkategorien; ihre Medien kommen in keine Kategorie:\n"
     "dann wird auf einem Terminal gefragt, sonst braucht es --yes.\n"
     "Ende: 0 erledigt, 1 abgelehnt oder nicht gespeichert, 2 Aufruf falsch.\n",
     "Usage: orbisto category add NAME [--parent N]\n"
     "       orbisto category rm N [--yes]\n"
     "       orbisto category mv N PARENT\n"
     "       orbisto category rename N NAME\n"
     "Changes the categories; N is the number 'orbisto categories' shows, 0 as a\n"
     "parent the top level. add prints the new number. rm deletes the\n"
     "subcategories too and their media go to no category: then it asks on a\n"
     "terminal, else it needs --yes.\n"
     "Exit status: 0 done, 1 refused or not stored, 2 usage error.\n"},
    {"assign",
     "Aufruf: orbisto assign MEDIUM KATEGORIE\n"
     "Legt das Medium in die Kategorie mit dieser Nummer (0: keine Kategorie).\n"
     "Ende: 0 erledigt, 1 abgelehnt oder nicht gespeichert, 2 Aufruf falsch.\n",
     "Usage: orbisto assign MEDIUM CATEGORY\n"
     "Puts the medium into the category of that number (0: no category).\n"
     "Exit status: 0 done, 1 refused or not stored, 2 usage error.\n"},
    {"lend",
     "Aufruf: orbisto lend MEDIUM --to NAME [--from DATUM] [--until DATUM]\n"
     "Vermerkt das Medium als verliehen, an wen, seit wann und bis wann (Texte\n"
     "wie im Medium-Info-Blatt).\n"
     "Ende: 0 vermerkt, 1 schon verliehen, zu lang oder nicht gespeichert,\n"
     "2 Aufruf falsch.\n",
     "Usage: orbisto lend MEDIUM --to NAME [--from DATE] [--until DATE]\n"
     "Marks the medium as lent, to whom, from when and until when (texts as on the\n"
     "medium sheet).\n"
     "Exit status: 0 marked, 1 lent already, too long or not stored, 2 usage error.\n"},
    {"return",
     "Aufruf: orbisto return MEDIUM\n"
     "Vermerkt das Medium als zur\xC3\xBC"
     "ckgegeben und leert die Verleih-Angaben.\n"
     "Ende: 0 vermerkt, 1 nicht verliehen oder nicht gespeichert, 2 Aufruf falsch.\n",
     "Usage: orbisto return MEDIUM\n"
     "Marks the medium as returned and empties its lending texts.\n"
     "Exit status: 0 marked, 1 not lent or not stored, 2 usage error.\n"},
    {"pack",
     "Aufruf: orbisto pack\n"
     "Speichert jeden Katalog gepackt (ZIP).\n"
     "Ende: 0 erledigt, 1 abgebrochen oder ein Katalog nicht gespeichert, 2 Aufruf falsch.\n",
     "Usage: orbisto pack\n"
     "Stores every catalogue compressed (ZIP).\n"
     "Exit status: 0 done, 1 stopped or a catalogue not stored, 2 usage error.\n"},
    {"unpack",
     "Aufruf: orbisto unpack\n"
     "Speichert jeden Katalog ungepackt.\n"
     "Ende: 0 erledigt, 1 abgebrochen oder ein Katalog nicht gespeichert, 2 Aufruf falsch.\n",
     "Usage: orbisto unpack\n"
     "Stores every catalogue uncompressed.\n"
     "Exit status: 0 done, 1 stopped or a catalogue not stored, 2 usage error.\n"},
    {"reindex",
     "Aufruf: orbisto reindex\n"
     "Erzeugt den FastLoad-Index neu aus den Katalogdateien.\n"
     "Ende: 0 geschrieben, 1 nicht geschrieben, 2 Aufruf falsch.\n",
     "Usage: orbisto reindex\n"
     "Rebuilds the fast-load index from the catalogue files.\n"
     "Exit status: 0 written, 1 not written, 2 usage error.\n"},
    {"verify",
     "Aufruf: orbisto verify MEDIUM [PFAD]\n"
     "Vergleicht das Medium auf der Platte (PFAD, sonst der eingelesene Ordner,\n"
     "wenn der Katalog ihn kennt) mit seinem Katalog; eine Zeile je Unterschied:\n"
     "missing, new, size, date, content (gespeicherte CRC), unreadable, dann der\n"
     "Pfad (Ordner mit '/'). Gr\xC3\xB6\xC3\x9F"
     "en gelten als gleich innerhalb der Genauigkeit des\n"
     "Katalogs (unter 8 MiB aufs Byte), Zeiten innerhalb von 2 Sekunden.\n"
     "Fortschritt auf der Fehlerausgabe, wenn sie ein Terminal ist.\n"
     "Ende: 0 gleich, 1 verschieden, 2 Aufruf falsch oder nichts verglichen.\n",
     "Usage: orbisto verify MEDIUM [PATH]\n"
     "Compares the medium on disk (PATH, else the scanned folder when the\n"
     "catalogue knows it) with its catalogue; one line per difference: missing,\n"
     "new, size, date, content (stored CRC), unreadable, then the path (folders\n"
     "end with '/'). Sizes count as equal within what the catalogue can hold (to\n"
     "the byte below 8 MiB), dates within 2 seconds.\n"
     "Progress on standard error when it is a terminal.\n"
     "Exit status: 0 equal, 1 different, 2 usage error or nothing compared.\n"},
    {"check",
     "Aufruf: orbisto check [MEDIUM...]\n"
     "Liest jede Katalogdatei (oder die genannten) ganz und nennt die besch\xC3\xA4"
     "digten\n"
     "mit dem Grund: 'DATEI: GRUND'.\n"
     "Ende: 0 alle heil, 1 besch\xC3\xA4"
     "digt oder nicht gefunden, 2 Aufruf falsch.\n",
     "Usage: orbisto check [MEDIUM...]\n"
     "Reads every catalogue file (or the named ones) whole and names the damaged\n"
     "ones with the reason: 'FILE: REASON'.\n"
     "Exit status: 0 all sound, 1 damaged or not found, 2 usage error.\n"},
};

}  // namespace

std::string command_help(std::string_view name, bool english) {
    for (const Help& h : kHelp) {
        if (h.name == name) return std::string(english ? h.en : h.de);
    }
    return {};
}

}  // namespace orbisto::app
