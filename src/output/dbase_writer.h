// The dBase III table: a 257-byte header with seven character fields, one
// 513-byte record per file (a deletion flag and 512 data bytes), and the
// end-of-file byte 0x1A; the record count in the header is written last.
// Values are Windows-1252, which dBase readers expect; a character it
// lacks becomes '?', and a value longer than its field is cut to it.
#pragma once

#include <cstdint>
#include <string>

#include "output/output_file.h"
#include "output/table_record.h"

namespace orbisto {

inline constexpr std::size_t kDbaseHeaderSize = 257;
inline constexpr std::size_t kDbaseRecordSize = 513;

class DbaseWriter {
  public:
    // `out` should be opened with TextEncoding::Utf8: the writer converts
    // its values itself and writes bytes.
    DbaseWriter(OutputFile& out, const OutputStyle& style) : out_(out), style_(style) {}

    void begin();
    void record(const TableRecord& r);
    // Writes the end byte and the record count.
    void finish();
    std::uint32_t records() const { return records_; }

  private:
    OutputFile& out_;
    const OutputStyle& style_;
    std::uint32_t records_ = 0;
    std::string buffer_;
};

}  // namespace orbisto
