// A catalogue directory, a medium folder and a fake drive table for the
// tests of whole scans.
#pragma once

#include <climits>
#include <cstdlib>
#include <string>

#include "platform/files.h"
#include "session/context.h"
#include "support/fake_volumes.h"
#include "support/scripted_frontend.h"
#include "support/temp_home.h"

namespace orbisto::test {

struct ScanHome {
    ScriptedFrontend fe;
    Context ctx{fe};
    TempDir dir;
    FakeVolumes volumes;
    std::string base;    // the temporary directory without links
    std::string medium;  // base/medium, the folder scanned

    ScanHome() {
        char real[PATH_MAX];
        base = ::realpath(dir.path().c_str(), real) ? real : dir.path();
        make_directory(base + "/cds");
        make_directory(base + "/medium");
        medium = base + "/medium";
        ctx.paths.catalog_dir = base + "/cds";
        ctx.scan.installed_volumes = &volumes;
    }
    // Writes a file below the medium folder (its parent folders must exist).
    void put(const std::string& name, const std::string& text = "data") const {
        write_file_atomic(medium + "/" + name, text);
    }
    std::string catalogue(int n) const { return base + "/cds/" + std::to_string(n) + ".cd"; }
};

}  // namespace orbisto::test
