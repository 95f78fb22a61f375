// A hand-written IFileSystem for unit tests: files and folders by full path.
#pragma once

#include "platform/IFileSystem.h"

#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace tw::test {

class FakeFileSystem : public win::IFileSystem {
public:
    std::map<std::u16string, std::vector<win::BYTE>> files;
    std::set<std::u16string> folders;
    // Files that exist but cannot be read to their end.
    std::set<std::u16string> unreadable;
    std::vector<std::u16string> attributeQueries;
    std::vector<std::u16string> reads;

    void AddText(const std::u16string& path, std::string_view bytes) {
        files[path] = std::vector<win::BYTE>(bytes.begin(), bytes.end());
    }

    win::DWORD GetFileAttributesW(win::LPCWSTR path) override {
        attributeQueries.emplace_back(path);
        if (folders.count(path) != 0)
            return win::FILE_ATTRIBUTE_DIRECTORY;
        if (files.count(path) != 0 || unreadable.count(path) != 0)
            return 0x20; // FILE_ATTRIBUTE_ARCHIVE
        return win::INVALID_FILE_ATTRIBUTES;
    }

    bool ReadWholeFile(win::LPCWSTR path, std::vector<win::BYTE>& bytes) override {
        reads.emplace_back(path);
        if (unreadable.count(path) != 0) {
            bytes = {'A', '=', 'x', '\r', '\n'}; // a part was read before the failure
            return false;
        }
        const auto it = files.find(path);
        if (it == files.end())
            return false;
        bytes = it->second;
        return true;
    }
};

} // namespace tw::test
