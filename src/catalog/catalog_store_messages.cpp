#include "catalog/catalog_store_messages.h"

#include "catalog/catalog_context.h"

namespace orbisto {

namespace {

struct Text {
    const char* de;
    const char* en;
};

// A caption of nullptr means: the catalogue path.
struct MessageText {
    Text text;
    Text caption;
};

constexpr Text kPathCaption{nullptr, nullptr};
constexpr Text kFehler{" Fehler ", " error "};

MessageText message_text(StoreMessage m) {
    switch (m) {
        case StoreMessage::FileNotFound:
            return {{" Datei nicht vorhanden ", " file not found "}, kPathCaption};
        case StoreMessage::CannotOpen:
            return {{" Kann Datei nicht öffnen ", " file could not be opened "}, kPathCaption};
        case StoreMessage::ExpandFailed:
            return {{"Entpacken nicht möglich", "Expand not possible"}, {"Fehler!", "error!"}};
        case StoreMessage::WriteError:
            return {{"Schreibfehler Head\r\nLaufwerk voll?\r\nCDS-Verzeichnis nicht "
                     "vorhanden?\r\nSchreibgeschützt?",
                     "write error head\r\ndrive full?\r\nCDS-directory not created?\r\nwrite "
                     "protected?"},
                    kPathCaption};
        case StoreMessage::HeaderWriteError:
            return {{"Schreibfehler Header", "writeerror header"}, kPathCaption};
        case StoreMessage::CannotCreate:
            return {{" Kann Datei nicht anlegen ", " file could not be created "}, kPathCaption};
        case StoreMessage::TooManyFiles:
            return {{" Zuviele Dateien ", " to much data "}, kFehler};
        case StoreMessage::AccessDenied:
            return {{" Zugriff verweigert ", " access denied "}, kFehler};
        case StoreMessage::OutOfMemory:
            return {{"Zu wenig Speicher!", "out of memory!"}, {"Fehler", "error"}};
    }
    return {{"", ""}, kPathCaption};
}

Text read_error_text(CatalogReadError e) {
    switch (e) {
        case CatalogReadError::None:
        case CatalogReadError::OutOfMemory:
            break;
        case CatalogReadError::Version:
            return {"Lesefehler Version", "readerror version"};
        case CatalogReadError::WrongVersion:
            return {" falsche Datenbankversion ", " wrong database version "};
        case CatalogReadError::Header:
            return {" Lesefehler Header 2 ", " read error header 2 "};
        case CatalogReadError::Info:
            return {" Lesefehler CD-Info ", " read error CD-info "};
        case CatalogReadError::Description:
            return {" Lesefehler CD-Beschreibung ", " read error CD-description "};
        case CatalogReadError::Dirs:
            return {" Lesefehler DIRS ", " read error DIRS "};
        case CatalogReadError::Files:
            return {" Lesefehler FILES ", " read error FILES "};
        case CatalogReadError::Names:
            return {" Lesefehler NAMES ", " read error NAMES "};
        case CatalogReadError::Images:
            return {" Lesefehler IMAGES ", " read error IMAGES "};
        case CatalogReadError::Comments:
            return {" Lesefehler KOMENTAR ", " read error COMMENTS "};
        case CatalogReadError::Damaged:
            return {" Datei beschädigt, nicht umgewandelt ", " file damaged, not converted "};
    }
    return {"", ""};
}

}  // namespace

void report(CatalogContext& ctx, StoreMessage message, const std::string& path) {
    const MessageText m = message_text(message);
    const std::string caption = m.caption.de ? ctx.tr(m.caption.de, m.caption.en) : path;
    ctx.frontend.message(ctx.tr(m.text.de, m.text.en), caption, Buttons::Ok, Icon::Stop);
}

void report_read_error(CatalogContext& ctx, CatalogReadError error, const std::string& path) {
    if (error == CatalogReadError::None) return;
    if (error == CatalogReadError::OutOfMemory) {
        report(ctx, StoreMessage::OutOfMemory, path);
        return;
    }
    const Text t = read_error_text(error);
    ctx.frontend.message(ctx.tr(t.de, t.en), path, Buttons::Ok, Icon::Stop);
}

std::string read_error_reason(CatalogReadError error, bool english) {
    if (error == CatalogReadError::OutOfMemory) {
        return english ? "out of memory" : "zu wenig Speicher";
    }
    const Text t = read_error_text(error);
    std::string text = english ? t.en : t.de;
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace orbisto
