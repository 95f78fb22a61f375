#include "mCommon.h"

#include <utility>

namespace tw {

mCommon::mCommon(win::ISystem& system, win::IFileSystem& files, std::u16string executableFolder)
    : system_(system), files_(files), executableFolder_(std::move(executableFolder)) {}

mCommon::mCommon(win::Platform& platform, std::u16string executableFolder)
    : mCommon(platform.system, platform.files, std::move(executableFolder)) {}

} // namespace tw
