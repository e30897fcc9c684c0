// Stand-ins for the walk's archive and file-information calls, installed
// by tests through ctx.scan.walk_hooks.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "fileinfo/file_info.h"
#include "scan/archive_expand.h"

namespace orbisto {

// Stand-ins that tests install through ctx.scan.walk_hooks; an empty
// function leaves the call to the real one.
struct WalkHooks {
    std::function<ArchiveExpansion(const std::string& dir, std::string_view name)> expand_archive;
    std::function<int(const std::string& path, FileInfoResult& result)> collect_file_info;
};

}  // namespace orbisto
