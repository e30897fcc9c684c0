// Declared in extractors.h: what kind of program a file is, as the Windows
// shell tells it, with the program's version text.
#include <cstdio>

#include "fileinfo/extractors.h"
#include "fileinfo/pe_reader.h"

namespace orbisto {

namespace {

constexpr int kProgramVersionBudget = 8000;
constexpr std::uint16_t kProgramSignatureMz = 0x5A4D;  // "MZ"
constexpr std::uint16_t kProgramSignatureNe = 0x454E;  // "NE"
constexpr std::uint16_t kProgramSignaturePe = 0x4550;  // "PE"

// The shell's executable type: the signature in the low word and the
// Windows version the program needs in the high word (major in its high
// byte). DLLs, OS/2 programs and damaged files are 0.
std::uint32_t program_shell_type(const ExeHeader& exe) {
    switch (exe.kind) {
        case ExeKind::Dos:
            return kProgramSignatureMz;
        case ExeKind::Ne:
            if (exe.ne_target_os != kNeTargetWindows) return 0;
            return kProgramSignatureNe | std::uint32_t{exe.ne_expected_version} << 16;
        case ExeKind::Pe: {
            if (exe.pe_characteristics & kPeFileDll) return 0;
            if (exe.pe_subsystem != kPeSubsystemGui) return kProgramSignaturePe;
            const std::uint32_t version =
                (std::uint32_t{exe.pe_subsystem_major} << 8 | exe.pe_subsystem_minor) & 0xFFFF;
            return kProgramSignaturePe | version << 16;
        }
        case ExeKind::None:
            break;
    }
    return 0;
}

std::string program_text(const char* fmt, const std::string& version, unsigned word) {
    char tail[64];
    std::snprintf(tail, sizeof tail, fmt, word >> 8, word & 0xFF);
    return version + tail;
}

}  // namespace

int ExtractProgramType(FileInfoJob& job) {
    const std::uint32_t type = program_shell_type(read_exe_header(job.file));
    const std::uint16_t signature = type & 0xFFFF;
    const unsigned needs = type >> 16;
    std::string& text = job.result.info_text;
    if (signature == kProgramSignatureMz) {
        text = job.english() ? "DOS-application " : "DOS-Applikation ";
        return 1;
    }
    if (signature != kProgramSignatureNe && signature != kProgramSignaturePe) {
        return ExtractVersionText(job, text, kProgramVersionBudget);
    }
    // The version text goes first; a program without one leaves the blank.
    std::string version;
    ExtractVersionText(job, version, kProgramVersionBudget);
    if (signature == kProgramSignatureNe) {
        text = program_text(" WIN16 >=%u.%02u ", version, needs);
    } else if (needs != 0) {
        text = program_text(" WIN32 >=%u.%02u ", version, needs);
    } else {
        text = version +
               (job.english() ? " WIN32 Console-application " : " WIN32 Console-Applikation ");
    }
    return 1;
}

}  // namespace orbisto
