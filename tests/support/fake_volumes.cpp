#include "support/fake_volumes.h"

#include <filesystem>

namespace orbisto::test {

Drive& FakeVolumes::add(std::string root, int type, std::string label, std::uint32_t serial) {
    Drive d;
    d.index = static_cast<int>(table.size());
    d.root = std::move(root);
    d.type = type;
    d.label = std::move(label);
    d.serial = serial;
    d.has_serial = serial != 0;
    table.push_back(std::move(d));
    return table.back();
}

std::vector<Drive> FakeVolumes::drives() {
    for (size_t i = 0; i < table.size(); ++i) table[i].index = static_cast<int>(i);
    return table;
}

std::optional<DriveSpace> FakeVolumes::space(const std::string& path) {
    const std::string root = drive_root(path);
    const auto it = spaces.find(root);
    if (it == spaces.end()) return std::nullopt;
    return it->second;
}

bool FakeVolumes::eject(const std::string& root) {
    tray_calls.push_back("eject:" + root);
    return tray_works;
}

bool FakeVolumes::close_tray(const std::string& root) {
    tray_calls.push_back("close:" + root);
    return tray_works;
}

std::string FakeVolumes::canonical(const std::string& path) {
    std::string c = std::filesystem::path(path).lexically_normal().string();
    while (c.size() > 1 && c.back() == '/') c.pop_back();
    return c;
}

}  // namespace orbisto::test
