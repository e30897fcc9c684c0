// Steps that the interactive scan and the scan requests share: measuring the
// medium, the record that carries a scanned path, the texts made from the
// newest file and the MP3 totals, the closing bookkeeping and storing.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "catalog/records.h"
#include "scan/scan_state.h"

namespace orbisto {

struct ScanContext;

// Milliseconds of the steady clock (for the elapsed time of a scan).
std::int64_t scan_ticks_ms();

// PrepareMedium, also handing back the canonical form of the path (the one
// the walk uses). Returns 0 or -1 as PrepareMedium does.
int prepare_medium(ScanContext& ctx, const std::string& path, std::string& canonical);

// Clears what one scan collects: newest file, MP3 totals, limits hit, the
// byte counters of the progress estimate and the file-size sum.
void clear_scan_statistics(ScanContext& ctx);

// Copies what PrepareMedium measured (label, serial, drive type, free space)
// from one header into another, so that it survives a Catalog reset.
void take_medium_fields(MediumHeader& to, const MediumHeader& from);

// The path below its drive root: "" when path is the root itself, otherwise
// the rest without leading or trailing '/' ("/media/cd/GAMES" on
// "/media/cd" gives "GAMES"). A path outside root counts from "/".
std::string path_below_root(std::string_view path, std::string_view root);

// The last component of a path ("/media/cd" gives "cd"; "/" stays "/").
std::string last_component(std::string_view path);

// The medium's name when the user gave none: the volume label, or when the
// volume has no label the last component of the scanned path.
std::string default_medium_name(std::string_view volume_label, std::string_view path);

// Appends DirRecord 1 named `name` below the root and returns the index the
// walk starts at: 1, or 0 when the name is empty or could not be recorded.
std::uint32_t add_path_record(ScanContext& ctx, std::string_view name);

// "Neueste Datei:%s\r\nvom:%02d.%02d.%d  %02d:%02d" for the newest file in
// local time; empty when no file was recorded.
std::string newest_file_text(const ScanState& scan);
// "MP3-Anzahl:%d Laufzeit:%4d:%02d:%02d Bitrate:%3d KBit\r\n"; empty without
// MP3 files.
std::string mp3_totals_line(const Mp3Totals& mp3);

// "Einige Verzeichnisse konnten nicht gelöscht werden!" when the walk left
// work directories behind.
void report_delete_failed(ScanContext& ctx);

// Ejects the scanned drive when it is a CD-ROM drive and Eject is on; a
// failure is reported and changes nothing else.
void eject_after_scan(ScanContext& ctx);

// The closing bookkeeping of every scan: directory totals, end markers and
// the counts and pool sizes in the header.
void finish_scanned_records(ScanContext& ctx);

// Stores the scanned Catalog: as a new medium under the lowest free number
// (n = -1, the MediaList gets a new entry) or over catalogue n (its MediaList
// entry is replaced); the fast-load index follows. Returns the number used,
// or -1 when the save failed (it has said why; the MediaList is unchanged).
int store_scanned_medium(ScanContext& ctx, int n);

}  // namespace orbisto
