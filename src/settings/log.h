// The diagnostic log beside the executable: deleted at every start, opened
// for appending and closed again for every line. Scan and catalogue lines are
// written only with LogFile on; some lines are written always.
#pragma once

#include <string>
#include <string_view>

namespace orbisto {

class Log {
  public:
    Log() = default;
    explicit Log(std::string path) : path_(std::move(path)) {}

    void set_path(std::string path) { path_ = std::move(path); }
    const std::string& path() const { return path_; }
    void set_enabled(bool on) { enabled_ = on; }
    bool enabled() const { return enabled_; }

    // Deletes the log file (done once at start).
    void remove_file() const;
    // Appends text as it stands when logging is on (LogFile 1).
    void line(std::string_view text) const;
    // Appends text whatever LogFile says.
    void always(std::string_view text) const;

  private:
    std::string path_;
    bool enabled_ = false;
};

}  // namespace orbisto
