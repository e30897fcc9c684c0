// The desktop's descriptions of file types, read from the shared MIME
// database (freedesktop.org shared-mime-info): the glob table maps a file
// name to its type, the type's own file holds its description in many
// languages. Both are read only as far as needed, bounded in size, and a
// damaged or missing file gives no description rather than an error.
#pragma once

#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>

namespace orbisto {

class MimeTypes {
  public:
    // `dir` holds "globs2" and a "<media>/<subtype>.xml" file per type.
    explicit MimeTypes(std::string dir = "/usr/share/mime") : dir_(std::move(dir)) {}

    // The description of a file name's type in German or English (the
    // untranslated text when the database has none in that language); ""
    // when the name matches no type. Each type's file is read once.
    std::string_view description(std::string_view file_name, bool english);

    // The type a file name matches by its name alone ("" for none): the
    // glob of the highest weight, then the longest one.
    std::string type_of(std::string_view file_name);

  private:
    struct Match {
        int weight = -1;
        std::size_t length = 0;
        std::string type;
    };
    struct Comments {
        std::string plain, german, english;
    };
    void load_globs();
    const Comments& comments_of(const std::string& type);
    std::string type_locked(std::string_view file_name);

    std::string dir_;
    std::mutex mutex_;
    bool globs_loaded_ = false;
    // Suffix globs ("*.tar.gz" → ".tar.gz") and whole names, lower case
    // unless case-sensitive.
    std::unordered_map<std::string, Match> suffixes_, suffixes_cs_, names_, names_cs_;
    std::unordered_map<std::string, Comments> comments_;
};

// The database of the system, shared by everything in the process that
// asks (it is read-only data).
MimeTypes& shared_mime_types();

}  // namespace orbisto
