// The readers the dispatcher chooses from, one file per format. Each reads
// the few bytes it needs through job.file, fills fields of job.result and
// returns 1 on success, 0 when the file is short, malformed or not of its
// format (it never shows a message).
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "fileinfo/file_info.h"

namespace orbisto {

// Images (png_info.cpp, pcd_info.cpp, image_info.cpp): width, height, depth;
// the general reader puts its format name and a blank into scratch_text.
// printf into a string of any length (the readers' texts and log lines).
std::string info_format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

int ReadPngInfo(FileInfoJob& job);
int ReadPcdInfo(FileInfoJob& job);
int ReadImageInfo(FileInfoJob& job);

// Sound.
int ExtractMp3(FileInfoJob& job);  // mp3_info.cpp; uses job.size_bytes
int ExtractOgg(FileInfoJob& job);  // ogg_info.cpp
int ExtractWav(FileInfoJob& job);  // wav_info.cpp
int ExtractVoc(FileInfoJob& job);  // voc_info.cpp
// The first `count` bytes up to a zero byte (module_info.cpp).
int ExtractModuleTitle(FileInfoJob& job, std::size_t count);
int ExtractMidi(FileInfoJob& job);     // midi_info.cpp
int ExtractCdTrack(FileInfoJob& job);  // cd_track_info.cpp

// The playing time from the multimedia service into length_tenths
// (media_length.cpp); 0 when the service is off, does not handle the
// extension, or cannot time the file.
int MciLength(FileInfoJob& job);
// Whether the multimedia service handles the file's extension.
bool LookupMciDevice(FileInfoJob& job);
// What the multimedia service says of the file: none when it is off, cannot
// open or time the file, or (with device_required) does not handle its
// extension. The readers that time files this way share it.
std::optional<MediaFacts> media_facts(FileInfoJob& job, bool device_required);

// Video and animation.
int ExtractVideo(FileInfoJob& job);        // video_info.cpp: AVI, OGM, WMV
int ExtractMpeg(FileInfoJob& job);         // mpeg_info.cpp
int ExtractMpeg2(FileInfoJob& job);        // mpeg_info.cpp
int ExtractQuickTime(FileInfoJob& job);    // quicktime_info.cpp
int ExtractFli(FileInfoJob& job);          // fli_info.cpp
int ExtractCursorTitle(FileInfoJob& job);  // ani_info.cpp

// Fonts.
int ExtractFonName(FileInfoJob& job);  // fon_info.cpp
int ExtractTtfName(FileInfoJob& job);  // ttf_info.cpp
int ExtractAfmName(FileInfoJob& job);  // afm_info.cpp

// Programs (pe_version.cpp, program_type.cpp): the version resource text
// into out (at most budget characters of values); sets version_found.
int ExtractVersionText(FileInfoJob& job, std::string& out, int budget);
// The program type; writes info_text itself.
int ExtractProgramType(FileInfoJob& job);

}  // namespace orbisto
