// The file an output is written to, and the text rules every file writer
// shares. The file is written as the rows come (a buffered stream, never
// the whole output in memory); texts arrive as UTF-8 and leave in the
// file's encoding.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace orbisto {

enum class TextEncoding { Utf8, Windows1252 };

// A catalogue text made safe for a line: every byte below 32 becomes a
// blank and of a run of blanks at most two remain.
std::string clean_text(std::string_view text);
// The same, appended to `out` (the cleaning starts afresh: blanks already
// at the end of `out` do not count).
void append_clean(std::string& out, std::string_view text);

// The first `max_chars` characters of a UTF-8 text, never cut inside a
// character (bytes that are not UTF-8 count one each).
std::string_view first_chars(std::string_view text, std::size_t max_chars);

// printf's "%Ns" and "%-Ns" with the width counted in characters: blanks
// in front (or behind, when `left` is set) up to `width` characters.
std::string padded(std::string_view text, std::size_t width, bool left = false);

// UTF-8 as Windows-1252; a character Windows-1252 lacks (or a byte that is
// not UTF-8) becomes '?'.
std::string windows1252_of(std::string_view utf8);

// Fills a fixed field of `size` bytes with the text cleaned and in
// Windows-1252 (as windows1252_of), cut to the field; the rest of the field
// is left as it was. Returns the bytes put in.
std::size_t put_windows1252_field(char* field, std::size_t size, std::string_view utf8);

class OutputFile {
  public:
    OutputFile() = default;
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Opens (creates or truncates, or appends to) the file. False when it
    // cannot be opened; errno tells why.
    bool open(const std::string& path, bool append, TextEncoding encoding);
    bool is_open() const { return file_ != nullptr; }

    // Writes UTF-8 text in the file's encoding, or bytes as they are. After
    // the first failure nothing more is written and ok() is false.
    void text(std::string_view utf8);
    void bytes(std::string_view raw);
    // Writes bytes at an offset from the start and goes back to the end
    // (the record count of a table written last).
    void patch(std::uint64_t offset, std::string_view raw);

    bool ok() const { return ok_; }
    // Bytes written through this object so far.
    std::uint64_t written() const { return written_; }
    // Flushes and closes; false when anything failed on the way.
    bool close();

  private:
    std::FILE* file_ = nullptr;
    TextEncoding encoding_ = TextEncoding::Utf8;
    bool ok_ = true;
    std::uint64_t written_ = 0;
    std::string convert_;
};

}  // namespace orbisto
