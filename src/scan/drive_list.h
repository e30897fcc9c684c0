// The drives the drive dialogs and the medium commands work with: drives of a
// known type whose volume can be read, the label as a catalogue stores it and
// the serial comparison in both byte orders.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/volumes.h"

namespace orbisto {

struct ScanContext;

// True when the drive's root can be listed; otherwise `error` (when given)
// receives the system's reason.
bool volume_readable(const Drive& drive, std::string* error = nullptr);

// The drives of a known type whose volume can be read, in table order. The
// others are left out; a drive of known type that cannot be read is logged as
// "\r\ndrive:<root> = <reason>\r\n".
std::vector<Drive> readable_drives(ScanContext& ctx);

// The label as a MediumHeader holds it (cut to its field).
std::string stored_label(std::string_view label);

// "<root> <label>", the row of a drive in the dialogs.
std::string drive_row(const Drive& drive);

}  // namespace orbisto
