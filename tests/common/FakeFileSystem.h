// A hand-written IFileSystem for unit tests: files by full path, and the
// paths the program asked about.
#pragma once

#include "platform/IFileSystem.h"

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace tw::test {

class FakeFileSystem : public win::IFileSystem {
public:
    std::map<std::u16string, std::vector<win::BYTE>> files;
    std::vector<std::u16string> attributeQueries;

    void AddText(const std::u16string& path, std::string_view bytes) {
        files[path] = std::vector<win::BYTE>(bytes.begin(), bytes.end());
    }

    win::DWORD GetFileAttributesW(win::LPCWSTR path) override {
        attributeQueries.emplace_back(path);
        return files.count(path) != 0 ? 0x20 /* FILE_ATTRIBUTE_ARCHIVE */
                                      : win::INVALID_FILE_ATTRIBUTES;
    }

    bool ReadWholeFile(win::LPCWSTR path, std::vector<win::BYTE>& bytes) override {
        const auto it = files.find(path);
        if (it == files.end())
            return false;
        bytes = it->second;
        return true;
    }
};

} // namespace tw::test
