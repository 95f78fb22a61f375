#include "NetBuffer.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace tw::win {

std::size_t NetBufferLayout::placeText(std::u16string_view text) {
    const std::size_t offset = (size_ + alignof(WCHAR) - 1) / alignof(WCHAR) * alignof(WCHAR);
    pieces_.push_back({text.data(), text.size() * sizeof(WCHAR), offset, true});
    size_ = offset + NetTextBytes(text);
    return offset;
}

std::size_t NetBufferLayout::placeBytes(std::span<const BYTE> bytes) {
    const std::size_t offset = size_;
    pieces_.push_back({bytes.data(), bytes.size(), offset, false});
    size_ += bytes.size();
    return offset;
}

BYTE* NetBufferLayout::build(const void* records, const NetBufferAllocator& allocate) const {
    auto* block = static_cast<BYTE*>(allocate(size_));
    if (block == nullptr)
        return nullptr;
    if (recordBytes_ > 0)
        std::memcpy(block, records, recordBytes_);
    std::size_t end = recordBytes_;
    for (const Piece& piece : pieces_) {
        std::memset(block + end, 0, piece.offset - end); // the padding before a text
        if (piece.bytes > 0)
            std::memcpy(block + piece.offset, piece.data, piece.bytes);
        end = piece.offset + piece.bytes;
        if (piece.text) {
            std::memset(block + end, 0, sizeof(WCHAR));
            end += sizeof(WCHAR);
        }
    }
    return block;
}

NET_API_STATUS HandOutBatch(std::size_t count,
                            const std::function<std::size_t(std::size_t)>& bytesOf,
                            const std::function<void*(std::size_t first, std::size_t end)>& build,
                            DWORD preferredLength, LPBYTE* bufptr, LPDWORD entriesread,
                            LPDWORD totalentries, PDWORD resume_handle) {
    const std::size_t start =
        std::min<std::size_t>(resume_handle != nullptr ? *resume_handle : 0, count);
    std::size_t end = start;
    std::uint64_t bytes = 0;
    while (end < count) {
        const std::uint64_t cost = bytesOf(end);
        if (end > start && preferredLength != MAX_PREFERRED_LENGTH &&
            bytes + cost > preferredLength)
            break;
        bytes += cost;
        ++end;
    }
    if (end > start) {
        *bufptr = static_cast<LPBYTE>(build(start, end));
        if (*bufptr == nullptr)
            return ERROR_NOT_ENOUGH_MEMORY;
    }
    *entriesread = static_cast<DWORD>(end - start);
    *totalentries = static_cast<DWORD>(count - start);
    const bool more = end < count;
    if (resume_handle != nullptr)
        *resume_handle = more ? static_cast<DWORD>(end) : 0;
    return more ? ERROR_MORE_DATA : NERR_Success;
}

} // namespace tw::win
