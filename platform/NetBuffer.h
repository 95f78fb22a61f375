// The buffers the network-management functions hand out (NetUserEnum,
// NetUserGetInfo, NetUserModalsGet), laid out as netapi32 lays them out: the
// records first, then the texts and bytes their fields point to, all in one
// block that the same layer's NetApiBufferFree releases. The allocator is the
// caller's, so that each layer keeps count of the blocks it handed out.
#pragma once

#include "WinTypes.h"

#include <cstddef>
#include <functional>
#include <initializer_list>
#include <optional>
#include <span>
#include <string_view>
#include <type_traits>
#include <vector>

namespace tw::win {

// Gives a block of `bytes` bytes (also for 0) aligned for any record, or null
// when there is no memory.
using NetBufferAllocator = std::function<void*(std::size_t bytes)>;

// What a text takes in a buffer: its UTF-16 units and the terminator.
constexpr std::size_t NetTextBytes(std::u16string_view text) {
    return (text.size() + 1) * sizeof(WCHAR);
}

// The bytes of a buffer behind its records: texts (terminated, each at an even
// offset) and byte runs, in the order they were placed. Offsets count from the
// start of the block.
class NetBufferLayout {
public:
    explicit NetBufferLayout(std::size_t recordBytes)
        : recordBytes_(recordBytes), size_(recordBytes) {}

    // Where the text will lie; it must stay alive until build().
    std::size_t placeText(std::u16string_view text);
    // Where a copy of the bytes will lie; they must stay alive until build().
    std::size_t placeBytes(std::span<const BYTE> bytes);
    // The whole block: the records and everything placed.
    std::size_t size() const { return size_; }
    // One block from `allocate` holding `records` (recordBytes of them) and
    // everything placed; null when the allocator gives none.
    BYTE* build(const void* records, const NetBufferAllocator& allocate) const;

private:
    struct Piece {
        const void* data;
        std::size_t bytes;
        std::size_t offset;
        bool text; // followed by a terminator
    };

    std::size_t recordBytes_;
    std::size_t size_;
    std::vector<Piece> pieces_;
};

// Builds a buffer of `count` records of one type. The caller fills the
// records' own fields and names what their pointer fields point to; build()
// copies the records into one block, the texts and bytes behind them in the
// order they were added, and points those fields into the block.
template <typename Record> class NetBufferBuilder {
    static_assert(std::is_trivially_copyable_v<Record>, "records are copied byte for byte");

public:
    using TextField = LPWSTR Record::*;
    using BytesField = BYTE* Record::*;

    // Every field of every record starts at zero.
    explicit NetBufferBuilder(std::size_t count)
        : records_(count), layout_(count * sizeof(Record)) {}

    // The fields build() copies as they are; those given a text or bytes below
    // are set by build().
    Record& record(std::size_t index) { return records_[index]; }

    // Points the fields of one record at one copy of the text in the block; a
    // null text leaves them null and takes no room. The text must stay alive
    // until build().
    void addText(std::size_t index, std::initializer_list<TextField> fields,
                 std::optional<std::u16string_view> text) {
        std::optional<std::size_t> at;
        if (text)
            at = layout_.placeText(*text);
        for (TextField field : fields)
            texts_.push_back({index, field, at});
    }
    void addText(std::size_t index, TextField field, std::optional<std::u16string_view> text) {
        addText(index, {field}, text);
    }
    // Points a field of one record at a copy of the bytes in the block.
    void addBytes(std::size_t index, BytesField field, std::span<const BYTE> bytes) {
        bytes_.push_back({index, field, layout_.placeBytes(bytes)});
    }

    // The bytes build() allocates.
    std::size_t size() const { return layout_.size(); }

    // Allocates the block once and fills it; null when the allocator gives none.
    void* build(const NetBufferAllocator& allocate) const {
        BYTE* block = layout_.build(records_.data(), allocate);
        if (block == nullptr)
            return nullptr;
        auto* records = reinterpret_cast<Record*>(block);
        for (const auto& link : texts_) {
            records[link.index].*link.field =
                link.at ? reinterpret_cast<LPWSTR>(block + *link.at) : nullptr;
        }
        for (const auto& link : bytes_)
            records[link.index].*link.field = block + *link.at;
        return block;
    }

private:
    template <typename Field> struct Link {
        std::size_t index;
        Field field;
        std::optional<std::size_t> at; // none: a null pointer
    };

    std::vector<Record> records_;
    NetBufferLayout layout_;
    std::vector<Link<TextField>> texts_;
    std::vector<Link<BytesField>> bytes_;
};

// One batch of a NetUserEnum listing, cut as netapi32 cuts it: from the
// resume handle's place in the `count` entries (beyond the end: none), as
// many as fit in the preferred length with what each takes in the buffer
// (`bytesOf`: its record and its texts), at least one. `build` makes the
// buffer of the entries from `first` up to `end`. Fills the caller's buffer,
// counts (the total from that place on) and handle (0 once the listing is
// complete); ERROR_MORE_DATA while entries remain.
NET_API_STATUS HandOutBatch(std::size_t count,
                            const std::function<std::size_t(std::size_t)>& bytesOf,
                            const std::function<void*(std::size_t first, std::size_t end)>& build,
                            DWORD preferredLength, LPBYTE* bufptr, LPDWORD entriesread,
                            LPDWORD totalentries, PDWORD resume_handle);

// A buffer of one record that points to nothing (USER_MODALS_INFO_0 and _3).
template <typename Record>
void* BuildNetBuffer(const Record& record, const NetBufferAllocator& allocate) {
    NetBufferBuilder<Record> builder(1);
    builder.record(0) = record;
    return builder.build(allocate);
}

} // namespace tw::win
