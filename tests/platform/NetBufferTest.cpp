// The buffers of the network-management functions: one block each, the
// records first, then the texts and bytes they point to.
#include "platform/NetBuffer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

using namespace tw::win;

namespace {

// Hands out blocks full of garbage, so that a terminator or padding left
// unwritten shows, and keeps them with the size asked for.
struct Allocations {
    std::vector<std::unique_ptr<std::max_align_t[]>> blocks;
    std::vector<std::size_t> sizes;

    NetBufferAllocator allocator() {
        return [this](std::size_t bytes) -> void* {
            const std::size_t units = bytes / sizeof(std::max_align_t) + 1;
            blocks.push_back(std::make_unique<std::max_align_t[]>(units));
            std::memset(blocks.back().get(), 0xAB, units * sizeof(std::max_align_t));
            sizes.push_back(bytes);
            return blocks.back().get();
        };
    }
};

std::size_t offsetIn(const void* block, const void* p) {
    return static_cast<std::size_t>(static_cast<const BYTE*>(p) - static_cast<const BYTE*>(block));
}

} // namespace

TEST(NetBuffer, RecordsComeFirstThenTheirTextsInOrderEachTerminated) {
    const std::u16string names[] = {u"alice", u"Bob", u"\U0001F600x"};
    NetBufferBuilder<USER_INFO_0> builder(3);
    std::size_t entries = 0; // what NetUserEnum counts against the preferred length
    for (std::size_t i = 0; i < 3; ++i) {
        builder.addText(i, &USER_INFO_0::usri0_name, names[i]);
        entries += sizeof(USER_INFO_0) + NetTextBytes(names[i]);
    }
    Allocations allocations;
    auto* records = static_cast<USER_INFO_0*>(builder.build(allocations.allocator()));

    ASSERT_EQ(allocations.sizes, std::vector<std::size_t>{entries});
    EXPECT_EQ(builder.size(), entries);
    const char16_t* next = reinterpret_cast<const char16_t*>(records + 3);
    for (std::size_t i = 0; i < 3; ++i) {
        ASSERT_EQ(records[i].usri0_name, next);
        EXPECT_EQ(std::u16string_view(next, names[i].size()), names[i]);
        EXPECT_EQ(next[names[i].size()], 0);
        next += names[i].size() + 1;
    }
    EXPECT_EQ(offsetIn(records, next), entries);
}

TEST(NetBuffer, AnEmptyTextIsATerminatorAndANullTextANullPointerTakingNoRoom) {
    char16_t stale[] = u"old";
    NetBufferBuilder<USER_INFO_0> builder(3);
    builder.addText(0, &USER_INFO_0::usri0_name, u"");
    builder.record(1).usri0_name = stale;
    builder.addText(1, &USER_INFO_0::usri0_name, std::nullopt);
    builder.addText(2, &USER_INFO_0::usri0_name, u"z");
    Allocations allocations;
    auto* records = static_cast<USER_INFO_0*>(builder.build(allocations.allocator()));

    EXPECT_EQ(builder.size(), 3 * sizeof(USER_INFO_0) + 2 + 4);
    EXPECT_EQ(records[0].usri0_name, reinterpret_cast<LPWSTR>(records + 3));
    EXPECT_EQ(records[0].usri0_name[0], 0);
    EXPECT_EQ(records[1].usri0_name, nullptr);
    EXPECT_EQ(records[2].usri0_name, records[0].usri0_name + 1);
    EXPECT_EQ(std::u16string(records[2].usri0_name), u"z");
}

TEST(NetBuffer, FieldsMayShareATextAndTextsAfterOddBytesStayAligned) {
    NetBufferBuilder<USER_INFO_3> builder(1);
    builder.record(0).usri3_flags = 0x211;
    builder.addText(0, &USER_INFO_3::usri3_name, u"Bob");
    const BYTE hours[] = {1, 2, 3};
    builder.addBytes(0, &USER_INFO_3::usri3_logon_hours, hours);
    builder.addText(0, {&USER_INFO_3::usri3_comment, &USER_INFO_3::usri3_full_name}, u"x");
    Allocations allocations;
    auto* block = static_cast<BYTE*>(builder.build(allocations.allocator()));
    const auto* info = reinterpret_cast<const USER_INFO_3*>(block);

    const std::size_t hoursAt = sizeof(USER_INFO_3) + 8;
    EXPECT_EQ(builder.size(), hoursAt + 3 + 1 + 4);
    EXPECT_EQ(info->usri3_flags, 0x211u);
    EXPECT_EQ(std::u16string(info->usri3_name), u"Bob");
    EXPECT_EQ(info->usri3_logon_hours, block + hoursAt);
    EXPECT_EQ(std::memcmp(info->usri3_logon_hours, hours, 3), 0);
    EXPECT_EQ(block[hoursAt + 3], 0); // padding, not garbage
    EXPECT_EQ(offsetIn(block, info->usri3_comment), hoursAt + 4);
    EXPECT_EQ(info->usri3_full_name, info->usri3_comment);
    EXPECT_EQ(std::u16string(info->usri3_comment), u"x");
    EXPECT_EQ(info->usri3_password, nullptr);
}

TEST(NetBuffer, EveryBuildIsOneAllocationOfItsOwn) {
    NetBufferBuilder<USER_INFO_0> names(1);
    names.addText(0, &USER_INFO_0::usri0_name, u"ab");
    Allocations allocations;
    auto* first = static_cast<USER_INFO_0*>(names.build(allocations.allocator()));
    auto* second = static_cast<USER_INFO_0*>(names.build(allocations.allocator()));
    auto* modals = static_cast<USER_MODALS_INFO_3*>(
        BuildNetBuffer(USER_MODALS_INFO_3{1800, 900, 5}, allocations.allocator()));
    EXPECT_NE(NetBufferBuilder<USER_INFO_0>(0).build(allocations.allocator()), nullptr);

    EXPECT_EQ(allocations.sizes, (std::vector<std::size_t>{14, 14, 12, 0}));
    EXPECT_EQ(std::u16string(second->usri0_name), u"ab");
    EXPECT_EQ(second->usri0_name, reinterpret_cast<LPWSTR>(second + 1)); // not into `first`
    EXPECT_NE(first, second);
    EXPECT_EQ(modals->usrmod3_lockout_threshold, 5u);
    EXPECT_EQ(names.build([](std::size_t) -> void* { return nullptr; }), nullptr);
}
