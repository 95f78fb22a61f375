// The file functions the program calls: the language file beside the executable.
#pragma once

#include "WinTypes.h"

#include <vector>

namespace tw::win {

class IFileSystem {
public:
    virtual ~IFileSystem() = default;

    // INVALID_FILE_ATTRIBUTES when the path names nothing.
    virtual DWORD GetFileAttributesW(LPCWSTR lpFileName) = 0;
    // Reads the whole file. False (with nothing promised about `bytes`) when
    // the file cannot be opened or read to its end.
    virtual bool ReadWholeFile(LPCWSTR lpFileName, std::vector<BYTE>& bytes) = 0;
};

} // namespace tw::win
