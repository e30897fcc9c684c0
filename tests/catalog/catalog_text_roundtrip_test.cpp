// No text of a catalogue is shortened by loading and saving it: random
// Windows-1252 files with every text field at its full width load and save
// to the same bytes, and the store's header-only write keeps the texts too.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "catalog/catalog_context.h"
#include "catalog/catalog_file_fixture.h"
#include "catalog/catalog_format.h"
#include "catalog/catalog_store.h"
#include "catalog/stored_header.h"

namespace orbisto {
namespace {

using test::Bytes;

// A version 3 file in Windows-1252 built byte by byte (not by our writer):
// every fixed text at its full width with bytes 0x20-0xFF, a description of
// random length up to the full 32,767 bytes, random names and comments, and
// records that point where a writer points them.
class RandomCatalog {
  public:
    explicit RandomCatalog(unsigned seed) : rng_(seed) {}

    Bytes make(int number) {
        const std::uint32_t dirs = pick(1, 12);
        const std::uint32_t files = pick(0, 20);
        Bytes names(1, 0);
        std::vector<std::uint32_t> name_at;
        for (std::uint32_t i = 0; i < dirs + files; ++i) {
            name_at.push_back(static_cast<std::uint32_t>(names.size()));
            text(names, pick(1, 40));
        }
        const std::string archive("\0Archiveinhalt!! KEIN richtiges Verzeichnis\0", 44);
        Bytes comments(archive.begin(), archive.end());
        std::vector<std::uint32_t> comment_at;
        for (int i = pick(0, 10); i > 0; --i) {
            comment_at.push_back(static_cast<std::uint32_t>(comments.size()));
            text(comments, pick(0, 300));
        }
        Bytes images(8);
        for (auto& b : images) b = static_cast<std::uint8_t>(pick(0, 255));
        if (pick(0, 1)) images.insert(images.end(), {'B', 'M', 7, 0});

        StoredMediumHeader h;
        full_field(h.volume_label);
        full_field(h.medium_name);
        h.free_kb = static_cast<float>(pick(0, 1000000));
        h.drive_type = static_cast<std::uint16_t>(pick(0, 255));
        h.medium_flags = pick(0, 3);
        h.category = pick(0, 20);
        h.volume_serial = pick(0, 0x7FFFFFFF);
        h.dir_count = dirs;
        h.file_count = files;
        h.total_kb = static_cast<float>(pick(0, 100000));
        h.catalog_number = static_cast<std::uint32_t>(number);
        h.names_size = static_cast<std::uint32_t>(names.size());
        h.images_size = static_cast<std::uint32_t>(images.size());
        StoredMediumInfo info;
        for (char* f : {info.manufacturer, info.supplier, info.order_number}) full_field(f, 128);
        full_field(info.price);
        full_field(info.lent_to);
        full_field(info.lent_from);
        full_field(info.lent_until);
        full_field(info.number);
        full_field(info.place);
        Bytes description;
        text(description, pick(0, 3) == 0 ? Catalog::MAX_DESCRIPTION : pick(0, 2000));
        description.pop_back();  // stored without its NUL
        info.description_length = static_cast<std::uint32_t>(description.size());

        Bytes out;
        put(out, &h, sizeof h);
        put(out, &info, sizeof info);
        out.insert(out.end(), description.begin(), description.end());
        for (std::uint32_t i = 0; i < dirs; ++i) {
            DirRecord d;
            d.time.set((std::uint64_t{pick(0, 0x7FFFFFFF)} << 24) | pick(0, 0xFFFFFF));
            if (i > 0) {  // the root is stored plain
                d.name = name_at[i];
                d.parent = pick(0, i - 1);
                d.comment = pick(0, 1) ? COMMENT_ARCHIVE : any_comment(comment_at);
                d.flags = pick(0, 1) ? FLAG_ARCHIVE_DIR : 0;
                d.size_kb = static_cast<float>(pick(0, 5000)) / 4;
            }
            put(out, &d, sizeof d);
        }
        for (std::uint32_t i = 0; i < files; ++i) {
            FileRecord f;
            f.name = name_at[dirs + i];
            f.parent = pick(0, dirs - 1);
            f.comment = any_comment(comment_at);
            f.size_kb = static_cast<float>(pick(0, 5000)) / 8;
            f.time.set(std::uint64_t{pick(0, 0x7FFFFFFF)} << 20);
            f.flags = pick(0, 1) ? FLAG_MARKED : FLAG_CRC;
            f.thumbnail = images.size() > 8 ? 8 : 0;
            put(out, &f, sizeof f);
        }
        out.insert(out.end(), names.begin(), names.end());
        out.insert(out.end(), images.begin(), images.end());
        out.insert(out.end(), comments.begin(), comments.end());
        return out;
    }

  private:
    std::uint32_t pick(std::uint32_t lo, std::uint32_t hi) {
        return std::uniform_int_distribution<std::uint32_t>(lo, hi)(rng_);
    }
    std::uint8_t text_byte() { return static_cast<std::uint8_t>(pick(0x20, 0xFF)); }
    void text(Bytes& pool, std::size_t n) {
        for (std::size_t i = 0; i < n; ++i) pool.push_back(text_byte());
        pool.push_back(0);
    }
    void full_field(char* f, std::size_t n) {
        for (std::size_t i = 0; i + 1 < n; ++i) f[i] = static_cast<char>(text_byte());
        f[n - 1] = 0;
    }
    template <std::size_t N>
    void full_field(char (&f)[N]) {
        full_field(f, N);
    }
    std::uint32_t any_comment(const std::vector<std::uint32_t>& at) {
        if (at.empty() || pick(0, 3) == 0) return 0;
        return at[pick(0, static_cast<std::uint32_t>(at.size() - 1))];
    }
    static void put(Bytes& out, const void* p, std::size_t n) {
        const auto* b = static_cast<const std::uint8_t*>(p);
        out.insert(out.end(), b, b + n);
    }

    std::mt19937 rng_;
};

TEST(CatalogTextRoundTrip, RandomWindows1252CataloguesLoadAndSaveToTheSameBytes) {
    RandomCatalog random(20261206);
    for (int i = 0; i < 300; ++i) {
        const Bytes file = random.make(i);
        Catalog cat;
        WorkLimits limits;
        ASSERT_EQ(read_catalog_bytes(file, i, false, limits, cat), CatalogReadError::None) << i;
        const Bytes again = write_catalog_bytes(cat);
        const auto diff = std::mismatch(file.begin(), file.end(), again.begin(), again.end());
        ASSERT_EQ(diff.first, file.end())
            << "catalogue " << i << ": first difference at byte " << diff.first - file.begin()
            << " of " << file.size() << " (written " << again.size() << ")";
    }
}

std::string repeat(std::string_view s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

// The texts of the faults that were found: each longer in UTF-8 than its field.
Catalog long_umlaut_catalog() {
    Catalog c = test::small_catalog();
    set_fixed_text(c.header.medium_name, repeat("ä", 40));
    set_fixed_text(c.header.volume_label, repeat("ö", 20));
    set_fixed_text(c.info.manufacturer, repeat("é", 127));
    c.set_description(repeat("ö", 30000));
    return c;
}

void expect_long_umlaut_texts(const MediumHeader& h) {
    EXPECT_EQ(fixed_text(h.medium_name), repeat("ä", 40));
    EXPECT_EQ(fixed_text(h.volume_label), repeat("ö", 20));
}

TEST(CatalogTextLimits, FieldsHoldAsManyWindows1252CharactersAsTheFileStores) {
    Catalog c = long_umlaut_catalog();
    expect_long_umlaut_texts(c.header);
    EXPECT_EQ(fixed_text(c.info.manufacturer), repeat("é", 127));
    EXPECT_EQ(c.description(), repeat("ö", 30000));
    // Full width in Windows-1252 characters; texts that need UTF-8 in bytes.
    set_fixed_text(c.header.medium_name, repeat("€", 60));
    EXPECT_EQ(fixed_text(c.header.medium_name), repeat("€", 57));
    set_fixed_text(c.header.medium_name, repeat("Ω", 40));
    EXPECT_EQ(fixed_text(c.header.medium_name), repeat("Ω", 28));

    const Bytes file = write_catalog_bytes(long_umlaut_catalog());
    EXPECT_EQ(test::get_u16(file, 98), TEXT_ENCODING_CP1252);
    Catalog back;
    WorkLimits limits;
    ASSERT_EQ(read_catalog_bytes(file, 0, false, limits, back), CatalogReadError::None);
    test::expect_same_catalog(long_umlaut_catalog(), back);
    EXPECT_EQ(write_catalog_bytes(back), file);

    // A name that needs UTF-8 (an update finds a new file) makes only the
    // pools UTF-8: every fixed text and the description stay whole.
    back.files()[0].name = back.append_name("Ωmega.txt").value;
    const Bytes mixed = write_catalog_bytes(back);
    EXPECT_EQ(test::get_u16(mixed, 98), TEXT_ENCODING_POOLS_UTF8);
    Catalog again;
    ASSERT_EQ(read_catalog_bytes(mixed, 0, false, limits, again), CatalogReadError::None);
    expect_long_umlaut_texts(again.header);
    EXPECT_EQ(fixed_text(again.info.manufacturer), repeat("é", 127));
    EXPECT_EQ(again.description(), repeat("ö", 30000));
    EXPECT_EQ(again.file_name(0), "Ωmega.txt");
    EXPECT_EQ(write_catalog_bytes(again), mixed);

    // Only when a fixed text itself needs UTF-8 is every text stored so: a
    // fixed field then too long is cut at a character boundary.
    set_fixed_text(again.info.place, "東京");
    Catalog utf8;
    ASSERT_EQ(read_catalog_bytes(write_catalog_bytes(again), 0, false, limits, utf8),
              CatalogReadError::None);
    EXPECT_EQ(fixed_text(utf8.info.place), "東京");
    EXPECT_EQ(fixed_text(utf8.header.medium_name), repeat("ä", 28));
    EXPECT_EQ(utf8.description(), repeat("ö", 16383));
}

class CatalogTextStore : public test::CatalogFileStore {};

TEST_F(CatalogTextStore, HeaderWritesAndSavesKeepLongTexts) {
    save_as(long_umlaut_catalog(), 4);
    const Bytes saved = file_bytes(4);

    // A category move rewrites the header alone: only the category changes.
    MediumHeader h;
    ASSERT_EQ(ReadCatalogHeader(ctx, 4, h), 1);
    expect_long_umlaut_texts(h);
    h.category = 9;
    ASSERT_EQ(WriteCatalogHeader(ctx, 4, h), 1);
    Bytes expected = saved;
    test::set_u32(expected, offsetof(StoredMediumHeader, category), 9);
    EXPECT_EQ(file_bytes(4), expected);

    // Loading and saving again changes nothing either.
    ASSERT_TRUE(LoadCatalog(ctx, 4));
    ASSERT_EQ(SaveCatalog(ctx, 4), 4);
    EXPECT_EQ(file_bytes(4), expected);
    expect_long_umlaut_texts(ctx.catalog.header);
}

}  // namespace
}  // namespace orbisto
