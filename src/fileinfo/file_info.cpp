#include "fileinfo/file_info.h"

#include <cstdarg>
#include <cstdio>
#include <initializer_list>

#include "fileinfo/extractors.h"
#include "fileinfo/file_source.h"
#include "platform/codepage.h"
#include "settings/environment.h"
#include "settings/log.h"
#include "settings/settings.h"

namespace orbisto {

namespace {

// Which reader a row of the dispatch table runs, and so which text it makes.
enum class Reader {
    Png,
    Pcd,
    Cursor,
    Image,
    Fon,
    Ttf,
    Afm,
    Mod,
    S3m,
    Xm,
    Voc,
    Wav,
    CdTrack,
    Midi,
    Aif,
    Mp3,
    Ogg,
    Video,
    Mpeg,
    Mpeg2,
    QuickTime,
    Fli,
    ProgramType,
    Version,
};

struct Row {
    std::initializer_list<const char*> extensions;  // upper case, with the dot
    Reader reader;
};

struct Group {
    bool Options::*enabled;
    std::initializer_list<Row> rows;
};

// Walked from top to bottom; within a group the first row whose text
// begins the file's extension decides, and a failing reader ends the walk.
const Group kGroups[] = {
    {&Options::image_information,
     {{{".PNG"}, Reader::Png},
      {{".PCD"}, Reader::Pcd},
      {{".ANI"}, Reader::Cursor},
      {{".BMP",  ".VGA",  ".BGA", ".RLE", ".DIB", ".RL4", ".RL8",  ".CVP", ".IMG", ".GIF", ".IAX",
        ".JPG",  ".JPEG", ".JPE", ".KPS", ".IFF", ".LBM", ".PCX",  ".PCC", ".PGM", ".PPM", ".PSE",
        ".PSEG", ".SPR",  ".TGA", ".VST", ".AFI", ".TIF", ".TIFF", ".VID", ".XBM"},
       Reader::Image}}},
    {&Options::font_information,
     {{{".FON"}, Reader::Fon}, {{".TTF"}, Reader::Ttf}, {{".AFM"}, Reader::Afm}}},
    {&Options::module_information,
     {{{".MOD"}, Reader::Mod},
      {{".S3M"}, Reader::S3m},
      {{".XM"}, Reader::Xm},
      {{".VOC"}, Reader::Voc}}},
    {&Options::sound_information,
     {{{".WAV"}, Reader::Wav},
      {{".CDA"}, Reader::CdTrack},
      {{".MID", ".RMI"}, Reader::Midi},
      {{".AIF", ".SND", ".AU"}, Reader::Aif},
      {{".MP3"}, Reader::Mp3},
      {{".OGG"}, Reader::Ogg}}},
    {&Options::multimedia_information,
     {{{".AVI", ".OGM", ".WMV"}, Reader::Video},
      {{".MPG", ".MPEG", ".M2V", ".MP2", ".DAT"}, Reader::Mpeg},
      {{".M2P", ".VOB"}, Reader::Mpeg2},
      {{".MOV"}, Reader::QuickTime},
      {{".FLI", ".FLC"}, Reader::Fli}}},
    {&Options::version_information,
     {{{".EXE", ".DLL"}, Reader::ProgramType},
      {{".DRV", ".CPL", ".OCX", ".VBX", ".VXD", ".SYS", ".MPD", ".PDR", ".FLT", ".CNV", ".386"},
       Reader::Version}}},
};

// The budget of characters of resource values in a version text.
constexpr int kVersionBudget = 8000;

}  // namespace

std::string info_format(const char* fmt, ...) {
    char buf[512];
    va_list ap;
    va_start(ap, fmt);
    const int n = std::vsnprintf(buf, sizeof buf, fmt, ap);
    va_end(ap);
    if (n < 0) return {};
    if (static_cast<std::size_t>(n) < sizeof buf)
        return std::string(buf, static_cast<std::size_t>(n));
    std::string out(static_cast<std::size_t>(n) + 1, '\0');
    va_start(ap, fmt);
    std::vsnprintf(out.data(), out.size(), fmt, ap);
    va_end(ap);
    out.resize(static_cast<std::size_t>(n));
    return out;
}

namespace {

// A playing time in tenths of a second as hours, minutes, seconds, tenths.
struct Clock {
    int h, m, s, t;
};
Clock split_tenths(std::int32_t tenths) {
    const int t = tenths;
    const int m = (t % 36000) / 600;
    return {t / 36000, m, (t % 36000 - m * 600) / 10, (t % 36000 - m * 600) % 10};
}

// The file's extension: from the last dot of its name on, dot included;
// empty when the name has none.
std::string_view extension_of(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string_view() : name.substr(dot);
}

bool begins_with(std::string_view upper_ext, std::string_view text) {
    return upper_ext.substr(0, text.size()) == text;
}

// The reader of the first row that takes the extension, in a group that is
// switched on; none when no row does.
const Reader* find_reader(const Options& options, std::string_view upper_ext) {
    if (upper_ext.empty()) return nullptr;
    for (const Group& g : kGroups) {
        if (!(options.*g.enabled)) continue;
        for (const Row& row : g.rows) {
            for (const char* text : row.extensions) {
                if (begins_with(upper_ext, text)) return &row.reader;
            }
        }
    }
    return nullptr;
}

// Runs the reader of a row; true when it succeeded and info_text was made.
bool run_row(Reader reader, FileInfoJob& job, std::string_view upper_ext) {
    FileInfoResult& r = job.result;
    const bool en = job.english();
    const auto timed = [&](const char* de_fmt, const char* en_fmt) {
        const Clock c = split_tenths(r.length_tenths);
        r.info_text = info_format(en ? en_fmt : de_fmt, c.h, c.m, c.s, c.t);
    };
    switch (reader) {
        case Reader::Png:
            if (!ReadPngInfo(job)) return false;
            r.info_text = info_format(en ? "PNG-image %d x %d x %d" : "PNG-Bild %d x %d x %d",
                                      r.width, r.height, r.depth);
            return true;
        case Reader::Pcd:
            if (!ReadPcdInfo(job)) return false;
            r.info_text = info_format(en ? "PCD-image %d x %d x %d" : "PCD-Bild %d x %d x %d",
                                      r.width, r.height, r.depth);
            return true;
        case Reader::Cursor:
            if (!ExtractCursorTitle(job)) return false;
            r.info_text = (en ? "cursor " : "Cursor ") + r.scratch_text;
            return true;
        case Reader::Image:
            if (!ReadImageInfo(job)) return false;
            r.info_text = r.scratch_text + info_format(" %d x %d x %d", r.width, r.height, r.depth);
            return true;
        case Reader::Fon:
            if (!ExtractFonName(job)) return false;
            r.info_text = (en ? "FON-font " : "FON-Font ") + r.scratch_text;
            return true;
        case Reader::Ttf:
            if (!ExtractTtfName(job)) return false;
            r.info_text = (en ? "TTF-font " : "TTF-Font ") + r.scratch_text;
            return true;
        case Reader::Afm:
            if (!ExtractAfmName(job)) return false;
            r.info_text = (en ? "AFM-font " : "AFM-Font ") + r.scratch_text;
            return true;
        case Reader::Mod:
        case Reader::S3m:
        case Reader::Xm: {
            if (!ExtractModuleTitle(job, reader == Reader::Xm ? 50 : 20)) return false;
            const char* kind = reader == Reader::Mod ? "MOD" : reader == Reader::S3m ? "S3M" : "XM";
            r.info_text = std::string(kind) + (en ? "-sound " : "-Sound ") + r.scratch_text;
            return true;
        }
        case Reader::Voc:
            if (!ExtractVoc(job)) return false;
            r.info_text = info_format(en ? "VOC-sound %d Hz" : "VOC-Sound %d Hz", r.sample_rate);
            return true;
        case Reader::Wav:
            if (!ExtractWav(job)) return false;
            if (r.channels == 1) {
                r.info_text =
                    info_format(en ? "WAV-sound mono %d hz %d bit" : "WAV-Sound Mono %d Hz %d Bit",
                                r.sample_rate, r.bits_per_sample);
            } else if (r.channels == 2) {
                r.info_text = info_format(
                    en ? "WAV-sound stereo %d hz %d bit" : "WAV-Sound Stereo %d Hz %d Bit",
                    r.sample_rate, r.bits_per_sample);
            } else {
                return false;
            }
            return true;
        case Reader::CdTrack:
            if (!ExtractCdTrack(job)) return false;
            timed("Audio-Track %02d:%02d:%02d,%01d", "audio-track %02d:%02d:%02d,%01d");
            return true;
        case Reader::Midi:
            if (!ExtractMidi(job)) return false;
            timed("Midi-Sound %02d:%02d:%02d,%01d ", "midi-sound %02d:%02d:%02d,%01d ");
            r.info_text += r.scratch_text;
            return true;
        case Reader::Aif:
            if (!MciLength(job)) return false;
            timed("AIF-Sound %02d:%02d:%02d,%01d", "AIF-sound %02d:%02d:%02d,%01d");
            return true;
        case Reader::Mp3:
            if (!ExtractMp3(job)) return false;
            r.info_text = "MP3-Sound\r\n" + r.scratch_text;
            return true;
        case Reader::Ogg:
            if (!ExtractOgg(job)) return false;
            r.info_text = "OGG-Sound\r\n" + r.scratch_text;
            return true;
        case Reader::Video: {
            if (!ExtractVideo(job)) return false;
            const Clock c = split_tenths(r.length_tenths);
            if (begins_with(upper_ext, ".WMV")) {
                r.info_text = info_format(en ? "%s-movie %02d:%02d:%02d" : "%s-Film %02d:%02d:%02d",
                                          r.media_type.c_str(), c.h, c.m, c.s);
            } else {
                r.info_text = info_format(en ? "%s-movie %02d:%02d:%02d  %d frames %d x %d codec:%s"
                                             : "%s-Film %02d:%02d:%02d  %d Frames %d x %d codec:%s",
                                          r.media_type.c_str(), c.h, c.m, c.s, r.frames,
                                          r.video_width, r.video_height, r.codec.c_str());
            }
            return true;
        }
        case Reader::Mpeg:
            if (!ExtractMpeg(job)) return false;
            timed("MPEG-Film %02d:%02d:%02d,%01d:", "MPEG-movie %02d:%02d:%02d,%01d");
            return true;
        case Reader::Mpeg2:
            if (!ExtractMpeg2(job)) return false;
            if (r.scratch_text.empty()) {
                timed("MPEG2-Film %02d:%02d:%02d,%01d", "MPEG2-movie %02d:%02d:%02d,%01d");
            } else {
                timed("MPEG2-Film %02d:%02d:%02d,%01d Frames:",
                      "MPEG2-movie %02d:%02d:%02d,%01d frames:");
                r.info_text += r.scratch_text;
            }
            return true;
        case Reader::QuickTime:
            if (!ExtractQuickTime(job)) return false;
            timed("QuickTime-Film %02d:%02d:%02d,%01d", "quickTime-movie %02d:%02d:%02d,%01d");
            return true;
        case Reader::Fli:
            if (!ExtractFli(job)) return false;
            r.info_text = info_format(en ? "FLI-animation %d frames %d x %d %d bit"
                                         : "FLI-Animation %d Frames %d x %d %d Bit",
                                      r.frames, r.video_width, r.video_height, r.video_depth);
            return true;
        case Reader::ProgramType:
            return ExtractProgramType(job) != 0;
        case Reader::Version:
            return ExtractVersionText(job, r.info_text, kVersionBudget) != 0;
    }
    return false;
}

}  // namespace

bool FileInfoJob::english() const {
    return options.language == Language::English;
}

void FileInfoJob::log_line(std::string_view text) const {
    if (notes) {
        if (notes->with_log) notes->lines.push_back({false, std::string(text)});
    } else if (log) {
        log->line(text);
    }
}

void FileInfoJob::status(std::string_view text) const {
    if (notes) {
        notes->lines.push_back({true, std::string(text)});
    } else if (env) {
        env->status(text);
    }
}

MediaService* FileInfoJob::media() const {
    return session.media(options.no_mci);
}

FileInfoSession::FileInfoSession() = default;
FileInfoSession::~FileInfoSession() = default;

MediaService* FileInfoSession::media(bool switched_off) {
    if (switched_off) return nullptr;
    if (!media_tried_) {
        media_tried_ = true;
        media_ = make_media_service();
    }
    return media_.get();
}

void FileInfoSession::set_media(std::unique_ptr<MediaService> service) {
    media_ = std::move(service);
    media_tried_ = true;
}

namespace {

int run_reader(const Options& options, FileInfoSession& session, FileSource& file,
               std::string_view path, std::uint64_t size_bytes, FileInfoResult& result,
               const Log* log, Environment* env, Reader reader, std::string_view upper_ext,
               FileInfoNotes* notes = nullptr) {
    FileInfoJob job{options, session, file, path, size_bytes, result, log, env, notes};
    if (!run_row(reader, job, upper_ext)) {
        result.info_text.clear();
        return 0;
    }
    // The readers give the bytes their formats define (tags in Latin-1,
    // names in Windows-1252); valid UTF-8 stays as it is.
    result.info_text = text_to_utf8(result.info_text);
    return 1;
}

}  // namespace

int CollectFileInfo(const Options& options, FileInfoSession& session, FileSource& file,
                    std::string_view path, std::uint64_t size_bytes, FileInfoResult& result,
                    const Log* log) {
    if (!options.file_information) return 0;
    result.scratch_text.clear();
    const std::string upper_ext = upper_german(extension_of(path));
    const Reader* reader = find_reader(options, upper_ext);
    if (!reader) return 0;
    return run_reader(options, session, file, path, size_bytes, result, log, nullptr, *reader,
                      upper_ext);
}

namespace {

// The dispatch over a file opened here, only once a reader wants it (most
// files of a medium have none).
int collect_from_path(const Options& o, FileInfoSession& session, const std::string& path,
                      std::uint64_t size_bytes, FileInfoResult& result, const Log* log,
                      Environment* env, FileInfoNotes* notes) {
    if (!o.file_information) return 0;
    result.scratch_text.clear();
    const std::string upper_ext = upper_german(extension_of(path));
    const Reader* reader = find_reader(o, upper_ext);
    if (!reader) return 0;
    const std::unique_ptr<PosixFileSource> file = PosixFileSource::open(path);
    if (!file) return 0;
    return run_reader(o, session, *file, path, size_bytes, result, log, env, *reader, upper_ext,
                      notes);
}

}  // namespace

int CollectFileInfo(Environment& env, FileInfoSession& session, const std::string& path,
                    std::uint64_t size_bytes, FileInfoResult& result) {
    env.frontend.pump();
    const Options& o = env.settings.options;
    return collect_from_path(o, session, path, size_bytes, result, o.log_file ? &env.log : nullptr,
                             &env, nullptr);
}

bool reads_picture_ahead(const Options& options, std::string_view path) {
    if (!options.file_information || !options.thumbnails) return false;
    const Reader* reader = find_reader(options, upper_german(extension_of(path)));
    return reader && (*reader == Reader::Png || *reader == Reader::Pcd || *reader == Reader::Image);
}

int CollectFileInfoAhead(const Options& options, FileInfoSession& session, const std::string& path,
                         std::uint64_t size_bytes, FileInfoResult& result, FileInfoNotes& notes) {
    return collect_from_path(options, session, path, size_bytes, result, nullptr, nullptr, &notes);
}

void ReplayFileInfoNotes(Environment& env, const FileInfoNotes& notes) {
    for (const FileInfoNotes::Line& line : notes.lines) {
        if (line.status) {
            env.status(line.text);
        } else {
            env.log.line(line.text);
        }
    }
}

}  // namespace orbisto
