// Catalogue files at the Context level: loading a catalogue into the current
// Catalog, saving it (under its number or the lowest free one), reading and
// rewriting the header alone. Every failure is reported through the Frontend
// with the catalogue path as caption; a failed load leaves an empty Catalog, a
// failed save leaves the previous file as it was.
#pragma once

#include <string>

#include "catalog/records.h"

namespace orbisto {

struct CatalogContext;

// Loads catalogue n into ctx.catalog. Asks whether to save a changed Catalog
// first. False on failure (ctx.catalog is then empty).
bool LoadCatalog(CatalogContext& ctx, int n);

// Saves ctx.catalog as catalogue n, or under the lowest free number when n is
// -1. Returns the number used, or -1 on failure.
int SaveCatalog(CatalogContext& ctx, int n);

// Reads the header of catalogue n (plain or compressed) into scratch.
// Returns 1 when it is a header of the current layout (version 3 or its
// large form 4), else 0.
int ReadCatalogHeader(CatalogContext& ctx, int n, MediumHeader& scratch);

// Writes scratch over the header of catalogue n, leaving the rest of the
// file as it is (a compressed file gets both of its members rewritten).
// Returns 1, or 0 on failure.
int WriteCatalogHeader(CatalogContext& ctx, int n, const MediumHeader& scratch);

// "<CatalogDirectory>/<n>.cd"
std::string catalog_path(const std::string& catalog_dir, int n);

// The lowest number k >= 0 whose catalogue file does not exist (the claim
// of a process that died before its save is taken back first), or -1 when
// k would pass the media limit (ctx.limits.media).
int find_free_catalog_number(const CatalogContext& ctx);

}  // namespace orbisto
