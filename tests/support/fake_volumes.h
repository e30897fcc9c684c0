// Volumes for tests: a drive table set by the test, space per root, and a
// record of tray requests. Paths are compared as written, normalised only
// lexically, so no test depends on the machine's mounts.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/volumes.h"

namespace orbisto::test {

class FakeVolumes : public Volumes {
  public:
    std::vector<Drive> table;                  // returned by drives(), indexes set there
    std::map<std::string, DriveSpace> spaces;  // by drive root
    std::vector<std::string> tray_calls;       // "eject:<root>" / "close:<root>"
    bool tray_works = true;

    // Appends a drive with the next index.
    Drive& add(std::string root, int type = kDriveFixed, std::string label = {},
               std::uint32_t serial = 0);

    std::vector<Drive> drives() override;
    std::optional<DriveSpace> space(const std::string& path) override;
    bool eject(const std::string& root) override;
    bool close_tray(const std::string& root) override;

  protected:
    std::string canonical(const std::string& path) override;
};

}  // namespace orbisto::test
