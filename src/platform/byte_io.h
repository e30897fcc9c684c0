// The one place that knows byte order and bounds. Parsers read through a
// ByteReader, which fails instead of reading past its span; writers append
// through a ByteWriter. All values are little-endian unless the name says be.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>
#include <vector>

static_assert(std::endian::native == std::endian::little,
              "catalogue records are copied as little-endian blocks");

namespace orbisto {

class ByteReader {
  public:
    ByteReader() = default;
    explicit ByteReader(std::span<const std::uint8_t> data) : data_(data) {}
    ByteReader(const void* data, size_t size)
        : data_(static_cast<const std::uint8_t*>(data), size) {}

    size_t size() const { return data_.size(); }
    size_t pos() const { return pos_; }
    size_t remaining() const { return data_.size() - pos_; }
    bool ok() const { return ok_; }
    bool has(size_t n) const { return ok_ && n <= remaining(); }

    bool seek(size_t pos) {
        if (pos > data_.size()) return fail();
        pos_ = pos;
        return true;
    }
    bool skip(size_t n) {
        if (!has(n)) return fail();
        pos_ += n;
        return true;
    }

    // Copies n bytes; on failure nothing is written and the reader fails.
    bool read(void* out, size_t n) {
        if (!has(n)) return fail();
        if (n) std::memcpy(out, data_.data() + pos_, n);
        pos_ += n;
        return true;
    }
    std::span<const std::uint8_t> bytes(size_t n) {
        if (!has(n)) {
            fail();
            return {};
        }
        auto s = data_.subspan(pos_, n);
        pos_ += n;
        return s;
    }
    std::span<const std::uint8_t> rest() { return bytes(remaining()); }

    std::uint8_t u8() { return get<std::uint8_t>(); }
    std::uint16_t u16le() { return get<std::uint16_t>(); }
    std::uint32_t u32le() { return get<std::uint32_t>(); }
    std::uint64_t u64le() { return get<std::uint64_t>(); }
    float f32le() { return get<float>(); }
    std::uint16_t u16be() { return __builtin_bswap16(get<std::uint16_t>()); }
    std::uint32_t u32be() { return __builtin_bswap32(get<std::uint32_t>()); }

    // Text of a fixed field of n bytes, up to its first NUL.
    std::string fixed_string(size_t n) {
        auto b = bytes(n);
        if (b.empty()) return {};
        const auto* p = reinterpret_cast<const char*>(b.data());
        return std::string(p, strnlen(p, b.size()));
    }

  private:
    template <class T>
    T get() {
        T v{};
        read(&v, sizeof v);
        return v;
    }
    bool fail() {
        ok_ = false;
        return false;
    }

    std::span<const std::uint8_t> data_;
    size_t pos_ = 0;
    bool ok_ = true;
};

class ByteWriter {
  public:
    void put(const void* p, size_t n) {
        const auto* b = static_cast<const std::uint8_t*>(p);
        buf_.insert(buf_.end(), b, b + n);
    }
    void u8(std::uint8_t v) { buf_.push_back(v); }
    void u16le(std::uint16_t v) { put(&v, sizeof v); }
    void u32le(std::uint32_t v) { put(&v, sizeof v); }
    void u64le(std::uint64_t v) { put(&v, sizeof v); }
    void f32le(float v) { put(&v, sizeof v); }
    // A fixed field of n bytes: the text cut to n - 1 bytes, NUL-padded.
    void fixed_string(std::string_view s, size_t n) {
        const size_t len = s.size() < n ? s.size() : (n ? n - 1 : 0);
        put(s.data(), len);
        buf_.insert(buf_.end(), n - len, 0);
    }
    std::vector<std::uint8_t>& buffer() { return buf_; }
    const std::vector<std::uint8_t>& buffer() const { return buf_; }

  private:
    std::vector<std::uint8_t> buf_;
};

}  // namespace orbisto
