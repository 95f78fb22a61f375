// The file system of a simulated computer as the program sees it: the
// executable's folder, the folders above it, and the language file in it.
#pragma once

#include "SimState.h"

#include "platform/IFileSystem.h"

namespace tw::sim {

class SimFiles final : public win::IFileSystem {
public:
    explicit SimFiles(SimState& state) : state_(state) {}

    win::DWORD GetFileAttributesW(win::LPCWSTR lpFileName) override;
    bool ReadWholeFile(win::LPCWSTR lpFileName, std::vector<win::BYTE>& bytes) override;

private:
    enum class FileKind { Missing, Folder, LanguageFile };
    FileKind fileAt(win::LPCWSTR path) const;

    SimState& state_;
};

} // namespace tw::sim
