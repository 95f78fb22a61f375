#include "NetBuffer.h"

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

} // namespace tw::win
