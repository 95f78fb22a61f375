// The file functions on this computer's own files: the program's folder is a
// Linux path, and the "\" the program puts between folder and file name is a
// "/" here.
#pragma once

#include "platform/IFileSystem.h"

#include <string>

namespace tw::lx {

class LinuxFileSystem final : public win::IFileSystem {
public:
    win::DWORD GetFileAttributesW(win::LPCWSTR lpFileName) override;
    bool ReadWholeFile(win::LPCWSTR lpFileName, std::vector<win::BYTE>& bytes) override;

    // The Linux path of a path as the program writes it.
    static std::string LinuxPath(win::LPCWSTR path);
};

} // namespace tw::lx
