// What the file-information layer finds in one file during the walk: a new
// comment text (image size, sound format and playing time, tags, video
// length and codec, font names, program type and version), the MP3
// statistics the walk adds up per directory, and a thumbnail.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "fileinfo/media_service.h"

namespace orbisto {

struct Environment;
struct Options;
class FileSource;
class Log;
class MemoryGate;

// What the readers found for one file. The caller starts each file with a
// cleared record; a reader sets the fields it reads.
struct FileInfoResult {
    std::string info_text;     // the finished text (UTF-8) when CollectFileInfo returns 1
    std::string scratch_text;  // a reader's part of the text (tag block, font name, title, ...)

    std::int32_t width = 0, height = 0, depth = 0;                    // images
    std::int32_t channels = 0, sample_rate = 0, bits_per_sample = 0;  // WAV, VOC
    std::string media_type;                                           // "AVI", "WMV" or "OGM"
    std::int32_t frames = 0;
    std::int32_t length_tenths = 0;  // playing time in tenths (MP3: whole seconds)
    std::int32_t video_width = 0, video_height = 0, video_depth = 0;
    std::string codec;

    std::uint32_t mp3_bitrate_kbps = 0;   // > 0 for an MP3 file with a frame header
    std::uint32_t mp3_length_s = 0;       // its playing time
    bool version_found = false;           // a program's fixed version was read (FLAG_VERSION)
    std::vector<std::uint8_t> thumbnail;  // a picture for the ImagePool; empty = none

    void clear() { *this = FileInfoResult{}; }
};

// What lives from one file to the next: the multimedia service (made on
// first use), its extension cache and the tag buffer the MP3 reader reuses.
struct FileInfoSession {
    FileInfoSession();
    ~FileInfoSession();
    FileInfoSession(const FileInfoSession&) = delete;
    FileInfoSession& operator=(const FileInfoSession&) = delete;

    // The service, or null when it is switched off or cannot be set up.
    MediaService* media(bool switched_off);
    // Installs a service (tests); null switches it off for good.
    void set_media(std::unique_ptr<MediaService> service);

    MediaDeviceCache devices;
    std::vector<std::uint8_t> id3_buffer;
    // The budget that picture decodes running at the same time share; null
    // when decodes run one at a time.
    MemoryGate* picture_gate = nullptr;

  private:
    std::unique_ptr<MediaService> media_;
    bool media_tried_ = false;
};

// What the readers would have shown in the status line or logged, kept for
// later when they run away from the walk (on another thread); the walk shows
// them when it takes the result, in the order of its files.
struct FileInfoNotes {
    struct Line {
        bool status;  // a status text (logged too when logging is on), else a log line
        std::string text;
    };
    bool with_log = false;  // log lines are kept (the scan log is on)
    std::vector<Line> lines;
};

// One reader's call: the switches, the file and where the results go.
struct FileInfoJob {
    const Options& options;
    FileInfoSession& session;
    FileSource& file;
    std::string_view path;     // full path: the extension, and what the media service opens
    std::uint64_t size_bytes;  // the length the scanner passes
    FileInfoResult& result;
    const Log* log = nullptr;  // diagnostic lines go here when logging is on
    Environment* env = nullptr;  // the status line; null in tests and fuzz targets
    FileInfoNotes* notes = nullptr;  // set: status texts and log lines are kept here instead

    bool english() const;
    // Writes a diagnostic line to the scan log when logging is on.
    void log_line(std::string_view text) const;
    // Shows a text in the status line (and logs it when logging is on).
    void status(std::string_view text) const;
    // The multimedia service, or null when NoMCI is on or it is missing.
    MediaService* media() const;
};

// Extracts information from the file at `path` of `size_bytes` bytes into
// `result` (cleared by the caller): the reader is chosen by the extension
// and the switches. Returns 1 when info_text holds a new text, else 0; the
// MP3 statistics, the version flag and the thumbnail may be set either way.
int CollectFileInfo(Environment& env, FileInfoSession& session, const std::string& path,
                    std::uint64_t size_bytes, FileInfoResult& result);

// The same over an open source (tests, fuzz targets): no events are pumped.
int CollectFileInfo(const Options& options, FileInfoSession& session, FileSource& file,
                    std::string_view path, std::uint64_t size_bytes, FileInfoResult& result,
                    const Log* log = nullptr);

// Whether the file at `path` is one whose reading is worth doing ahead of
// the walk: a picture whose reader makes a thumbnail (decoding it costs far
// more than everything else the walk does with a file).
bool reads_picture_ahead(const Options& options, std::string_view path);

// CollectFileInfo for a thread other than the walk's: opens the file itself
// and keeps what the readers show or log in `notes` (with_log decides
// whether log lines are kept) instead of touching the frontend or the log.
int CollectFileInfoAhead(const Options& options, FileInfoSession& session, const std::string& path,
                         std::uint64_t size_bytes, FileInfoResult& result, FileInfoNotes& notes);

// Shows and logs what CollectFileInfoAhead kept, as CollectFileInfo would
// have done at once.
void ReplayFileInfoNotes(Environment& env, const FileInfoNotes& notes);

}  // namespace orbisto
