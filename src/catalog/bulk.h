// Operations over whole catalogue files: compressing or expanding all of
// them, and exporting or importing a single one.
#pragma once

namespace orbisto {

struct CatalogContext;

enum class BulkResult {
    Cancelled,  // the question was answered with Cancel: nothing was done
    Done,       // every medium was processed
    Aborted,    // the user stopped the run between two media
    Failed,     // a catalogue could not be saved; the run stopped there
};

// Loads every medium of the MediaList in order and saves it again under its
// number, compressed (PackAll) or plain (UnpackAll), inside a long operation
// with progress 0 .. media count. store_compressed is forced for the run and
// restored on every way out. A medium that cannot be loaded is reported by
// the store and left as it is. After Done the caller reloads the medium
// selected in its view.
BulkResult PackAll(CatalogContext& ctx);
BulkResult UnpackAll(CatalogContext& ctx);

// PackAll (compress) or UnpackAll without the question, for a caller that
// was asked for the run already.
BulkResult resave_all_catalogues(CatalogContext& ctx, bool compress);

// Copies the current catalogue's file byte for byte to a file chosen by the
// user (asking before an existing file is replaced). True when it was copied.
bool ExportCatalogue(CatalogContext& ctx);

// Copies a file chosen by the user into the CatalogDirectory under the lowest
// free number, never over an existing catalogue, and loads it. A file that
// does not load is removed again. The imported medium gets category 0 and its
// new number, in its file as in the MediaList. Returns the new number, or -1.
int ImportCatalogue(CatalogContext& ctx);

}  // namespace orbisto
