// The messages of the catalogue store, in both interface languages. Most
// carry the catalogue path as caption; all show the stop icon.
#pragma once

#include <string>

#include "catalog/catalog_format.h"

namespace orbisto {

struct CatalogContext;

enum class StoreMessage {
    FileNotFound,      // " Datei nicht vorhanden "
    CannotOpen,        // " Kann Datei nicht öffnen "
    ExpandFailed,      // "Entpacken nicht möglich" (a damaged compressed file)
    WriteError,        // "Schreibfehler Head ..." (the file could not be written)
    HeaderWriteError,  // "Schreibfehler Header"
    CannotCreate,      // " Kann Datei nicht anlegen "
    TooManyFiles,      // " Zuviele Dateien "
    AccessDenied,      // " Zugriff verweigert "
    OutOfMemory,       // "Zu wenig Speicher!"
};

// Shows a message of the store; path is the caption where the message has
// the path as caption.
void report(CatalogContext& ctx, StoreMessage message, const std::string& path);

// Shows the message for a read error (" Lesefehler DIRS " etc.) with the
// path as caption; OutOfMemory shows "Zu wenig Speicher!".
void report_read_error(CatalogContext& ctx, CatalogReadError error, const std::string& path);

// The text of a read error without its padding blanks (" Lesefehler DIRS "
// gives "Lesefehler DIRS"), for a line that names the file itself.
std::string read_error_reason(CatalogReadError error, bool english);

}  // namespace orbisto
