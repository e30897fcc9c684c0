// The MediaList: a copy of the MediumHeader of every catalogue file, the
// basis of the media views, identification and all operations over all media.
//
// It is built once from the catalogue files (or from the fast-load index) and
// afterwards edited in place by every operation that adds, changes or removes
// a medium. The fast-load index "fastload.cds" holds the entries back to back
// so that a start with many media opens one file instead of all of them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "catalog/records.h"

namespace orbisto {

struct CatalogContext;

struct MediaList {
    // One entry per catalogue file; each entry's catalog_number is the number
    // of the file it came from. Texts are UTF-8, as everywhere in memory.
    std::vector<MediumHeader> entries;

    std::size_t count() const { return entries.size(); }
    // The position of the entry with this catalogue number.
    std::optional<std::size_t> position_of(std::uint32_t number) const;
    // Replaces the entry with the header's catalogue number, or appends the
    // header when there is none (after a save or a new scan).
    void store(const MediumHeader& header);
};

// The name of the fast-load index in the CatalogDirectory.
inline constexpr const char* kFastLoadName = "fastload.cds";

// Builds ctx.media. With fast_load on a valid index is taken as it stands (a
// length that is a multiple of 136 bytes, every entry version 3); else every
// "<n>.cd" file of the CatalogDirectory whose base name is the plain decimal
// spelling of n (0 .. 65535, no sign, no leading zeros: "007.cd" is not
// catalogue 7, whose file would be "7.cd") is read, in the order of the
// numbers. Version 2 files are converted and rewritten as version 3, newer
// versions are refused with a message, unreadable or short files are left out
// silently. The current Catalog is emptied first. Returns false only when
// memory ran out (the message has been shown, the list is empty).
bool BuildMediaList(CatalogContext& ctx);

// The path of the fast-load index (an existing file of another spelling is
// used as it is).
std::string fastload_path(const std::string& catalog_dir);

// What the fast-load index is to hold now: one entry for every version 3
// catalogue file of the CatalogDirectory, with the header the file holds
// (a compressed file of a medium in ctx.media keeps that entry, so it need
// not be unpacked). Media of ctx.media come first in its order, media that
// other runs stored meanwhile follow in the order of their numbers; media
// whose file has gone are left out. Nothing is shown to the user.
std::vector<MediumHeader> index_entries_from_files(const CatalogContext& ctx);

// Rewrites the fast-load index when fast_load is on (call it after every change
// of the MediaList); true when it was written or nothing was to be done. The
// index is written under a lock on the CatalogDirectory from what the
// catalogue files say (index_entries_from_files), so runs that share the
// directory never drop each other's media. Failures are shown with the
// index path as caption.
bool WriteFastLoadIndex(CatalogContext& ctx);

// After fast_load has been switched on: asks whether to regenerate the index;
// on Yes offers to save a changed Catalog, builds the MediaList from the
// catalogue files alone and writes the index. True when the index was written.
bool RegenerateFastLoadIndex(CatalogContext& ctx);

// RegenerateFastLoadIndex after its question: the save question, the
// MediaList built from the catalogue files alone and the index written
// (whatever fast_load says). True when the index was written.
bool rebuild_fast_load_index(CatalogContext& ctx);

// The catalogue files of a directory as BuildMediaList reads them: number
// and name as spelt, in the order of the numbers.
std::vector<std::pair<std::uint32_t, std::string>> catalog_file_names(const std::string& dir);

// The media shown under one category.
struct CategoryView {
    int category = 0;                  // the category shown (after the range check)
    std::vector<std::size_t> members;  // MediaList positions, in MediaList order
    // The member that was chosen and loaded: the one holding the current
    // catalogue number, else the first. Empty when the category has no member.
    std::optional<std::size_t> selected;
    bool loaded = false;  // the chosen catalogue was loaded
};

// Collects the members of category c (an index outside 0 .. category count
// shows category 0), remembers c as last_category and loads the chosen
// member with LoadCatalog.
CategoryView ShowCategory(CatalogContext& ctx, int c);

// Deletes the media at the given MediaList positions after asking (the
// question for selected rows of the media list view, or for the one medium
// of the medium selector). Their catalogue files are removed and their
// entries dropped; the other media keep their numbers. Afterwards the current
// Catalog is empty and the fast-load index is rewritten. Returns the number of
// media deleted (0 when the answer was No).
std::size_t DeleteMedia(CatalogContext& ctx, std::span<const std::size_t> positions,
                        bool from_list_view);

// DeleteMedia for a caller that has asked its own question already: the
// same deletion without asking.
std::size_t delete_media_files(CatalogContext& ctx, std::span<const std::size_t> positions);

struct MoveResult {
    // MediaList positions of the media that leave the category being shown.
    std::vector<std::size_t> dropped;
    // Positions whose header was rewritten.
    std::vector<std::size_t> moved;
    // The current catalogue was among the moved ones.
    bool current_moved = false;
};

// The drop of media onto category c while shown_category is being shown.
// positions are MediaList positions in the order of the view. Under the
// "lent" view the media are returned (their lent flag is cleared); onto the
// "lent" entry they are lent; otherwise they get category c. A medium that
// already has category c, or a c outside the category table, ends the drop.
// Each header is read and rewritten alone (a header that cannot be read is
// reported and the next medium follows); the MediaList, the current Catalog's
// header and the fast-load index follow. A medium drops out of the view when
// it is no longer a member of shown_category.
MoveResult MoveMediaToCategory(CatalogContext& ctx, std::span<const std::size_t> positions, int c,
                               int shown_category);

}  // namespace orbisto
