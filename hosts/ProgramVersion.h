// The program's version information as the toolkit hands it to the window:
// one source, resources/version.cmake, for every host.
#pragma once

#include "Version.h"
#include "platform/TextConvert.h"
#include "toolkit/Application.h"

namespace tw::hosts {

inline toolkit::VersionInfo ProgramVersion() {
    return {FromUtf8(TW_TITLE),
            TW_VERSION_MAJOR,
            TW_VERSION_MINOR,
            TW_VERSION_REVISION,
            FromUtf8(TW_LEGAL_COPYRIGHT),
            FromUtf8(TW_WEB_ADDRESS)};
}

} // namespace tw::hosts
