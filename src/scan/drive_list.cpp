#include "scan/drive_list.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "catalog/records.h"
#include "scan/scan_context.h"

namespace orbisto {

namespace {

// The drive types the dialogs offer; a table that cannot tell the type of a
// drive gives a lower number.
bool known_type(const Drive& d) {
    return d.type >= kDriveRemovable;
}

}  // namespace

bool volume_readable(const Drive& drive, std::string* error) {
    if (!drive.root.empty() && ::access(drive.root.c_str(), R_OK | X_OK) == 0) return true;
    if (error) *error = drive.root.empty() ? std::strerror(ENOENT) : std::strerror(errno);
    return false;
}

std::vector<Drive> readable_drives(ScanContext& ctx) {
    std::vector<Drive> out;
    for (Drive& d : ctx.scan.volumes().drives()) {
        if (!known_type(d)) continue;
        std::string error;
        if (volume_readable(d, &error)) {
            out.push_back(std::move(d));
        } else {
            ctx.log.line("\r\ndrive:" + d.root + " = " + error + "\r\n");
        }
    }
    return out;
}

std::string stored_label(std::string_view label) {
    MediumHeader probe;
    set_fixed_text(probe.volume_label, label);
    return std::string(fixed_text(probe.volume_label));
}

std::string drive_row(const Drive& drive) {
    return drive.root + " " + drive.label;
}

}  // namespace orbisto
