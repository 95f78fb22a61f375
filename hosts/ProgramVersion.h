// The program's version information as the toolkit hands it to the window:
// one source, resources/version.cmake, for every host.
#pragma once

#include "Version.h"
#include "platform/TextConvert.h"
#include "toolkit/Application.h"

#include <cstdio>
#include <string>

namespace tw::hosts {

inline toolkit::VersionInfo ProgramVersion() {
    return {FromUtf8(TW_TITLE),
            TW_VERSION_MAJOR,
            TW_VERSION_MINOR,
            TW_VERSION_REVISION,
            FromUtf8(TW_LEGAL_COPYRIGHT),
            FromUtf8(TW_WEB_ADDRESS)};
}

// What --version prints: "tarnwick (Brenholt) 1.00.012".
inline std::string VersionLine(const std::string& program) {
    const toolkit::VersionInfo v = ProgramVersion();
    char number[32];
    std::snprintf(number, sizeof number, "%d.%02d.%03d", v.Major, v.Minor, v.Revision);
    return program + " (" + ToUtf8(v.Title) + ") " + number + "\n";
}

} // namespace tw::hosts
