// A thin, typed layer over the registry: open (or create) a key in the view
// that suits the process, read one value as a tagged value whose kind follows
// the stored type, write one from a tagged value whose kind decides the type
// (an empty value deletes), close the key.
#pragma once

#include "RegistryValue.h"
#include "platform/Platform.h"

#include <string>

namespace tw {

class mCommon;

// Numbers and source of the two errors a registry write raises.
constexpr std::int32_t kRegistryUnsupportedType = static_cast<std::int32_t>(0x8004040Cu);
constexpr std::int32_t kRegistryWriteFailed = static_cast<std::int32_t>(0x80040406u);

class mRegistry {
public:
    mRegistry(win::Platform& platform, mCommon& common) : platform_(platform), common_(common) {}

    // The opened key, or null when the platform call failed; the failed
    // call's status is then LastError().
    win::HKEY OpenRegistryKey(win::HKEY root, const std::u16string& path, win::REGSAM access,
                              bool create, win::DWORD* disposition, bool nativeView);
    win::LSTATUS CloseRegistryKey(win::HKEY key);
    // Never fails: a missing value or an unsupported type reads as Empty.
    RegistryValue RegistryKeyValue(win::HKEY key, const std::u16string& name);
    // Writes or deletes; raises RuntimeError on failure.
    void RegistryKeyValue(win::HKEY key, const std::u16string& name, const RegistryValue& value);
    win::DWORD LastError() const { return lastError_; }

private:
    RegistryValue ReadText(win::HKEY key, const std::u16string& name, win::DWORD size);
    void Check(win::LSTATUS status);

    win::Platform& platform_;
    mCommon& common_;
    win::DWORD lastError_ = 0;
};

// The units before the first NUL.
std::u16string TrimAtNul(const std::u16string& text);

} // namespace tw
