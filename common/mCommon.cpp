#include "mCommon.h"

#include "NoWindowSystem.h"

#include <utility>

namespace tw {

namespace {

NoWindowSystem& noWindowSystem() {
    static NoWindowSystem none; // stateless
    return none;
}

} // namespace

thread_local mCommon* mCommon::hookOwner_ = nullptr;
thread_local mCommon* mCommon::subclassOwner_ = nullptr;

mCommon::mCommon(win::ISystem& system, win::IFileSystem& files, std::u16string executableFolder)
    : system_(system), files_(files), windowSystem_(noWindowSystem()),
      visualStyles_(noWindowSystem()), executableFolder_(std::move(executableFolder)) {}

mCommon::mCommon(win::Platform& platform, std::u16string executableFolder)
    : system_(platform.system), files_(platform.files), windowSystem_(platform.windowSystem),
      visualStyles_(platform.visualStyles), executableFolder_(std::move(executableFolder)) {}

mCommon::~mCommon() {
    if (hookOwner_ == this)
        hookOwner_ = nullptr;
    if (subclassOwner_ == this)
        subclassOwner_ = nullptr;
}

} // namespace tw
