// The change-password right in a user object's DACL, on descriptors built
// here byte by byte: how it reads, what a write of it leaves of the ACEs it
// does not own, and that a descriptor which does not hold together is
// refused.
#include "platform/samr/ChangePasswordRight.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace tw::samr {
namespace {

using Bytes = std::vector<std::uint8_t>;

const Bytes kEveryone = {1, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0};
const Bytes kSelf = {1, 1, 0, 0, 0, 0, 0, 5, 10, 0, 0, 0};
const Bytes kAuthenticated = {1, 1, 0, 0, 0, 0, 0, 5, 11, 0, 0, 0};
const Bytes kChange = {0x53, 0x1a, 0x72, 0xab, 0x2f, 0x1e, 0xd0, 0x11,
                       0x98, 0x19, 0x00, 0xaa, 0x00, 0x40, 0x52, 0x9b};
const Bytes kOtherRight = {0x00, 0x29, 0x95, 0x70, 0x3c, 0xb8, 0xd0, 0x11,
                           0xb4, 0x6c, 0x00, 0xc0, 0x4f, 0xd9, 0x70, 0xd5}; // reset password

void put(Bytes& b, std::uint64_t v, int n) {
    for (int i = 0; i < n; ++i)
        b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// An object ACE (type 5 allow, 6 deny) with an object type.
Bytes objectAce(std::uint8_t type, const Bytes& sid, std::uint32_t mask = 0x100,
                const Bytes& guid = kChange, std::uint8_t flags = 0) {
    Bytes ace = {type, flags};
    put(ace, static_cast<std::uint32_t>(12 + guid.size() + sid.size()), 2);
    put(ace, mask, 4);
    put(ace, 1, 4); // object type present
    ace.insert(ace.end(), guid.begin(), guid.end());
    ace.insert(ace.end(), sid.begin(), sid.end());
    return ace;
}

// A plain ACE of another kind (allow, generic read) that the right does not
// concern; `flags` 0x10 marks it inherited.
Bytes plainAce(const Bytes& sid, std::uint8_t flags = 0) {
    Bytes ace = {0, flags};
    put(ace, static_cast<std::uint32_t>(8 + sid.size()), 2);
    put(ace, 0x80000000u, 4);
    ace.insert(ace.end(), sid.begin(), sid.end());
    return ace;
}

// A self-relative descriptor with an owner and that DACL.
Bytes descriptor(const std::vector<Bytes>& aces) {
    Bytes acl = {4, 0};
    std::size_t size = 8;
    for (const auto& ace : aces)
        size += ace.size();
    put(acl, static_cast<std::uint32_t>(size), 2);
    put(acl, static_cast<std::uint32_t>(aces.size()), 2);
    put(acl, 0, 2);
    for (const auto& ace : aces)
        acl.insert(acl.end(), ace.begin(), ace.end());
    Bytes sd = {1, 0};
    put(sd, 0x8004 | 0x0400, 2); // self-relative, DACL present, auto-inherited
    put(sd, 20 + static_cast<std::uint32_t>(acl.size()), 4); // the owner after the DACL
    put(sd, 0, 8);                                           // no group, no SACL
    put(sd, 20, 4);
    sd.insert(sd.end(), acl.begin(), acl.end());
    sd.insert(sd.end(), kAuthenticated.begin(), kAuthenticated.end());
    return sd;
}

// The ACEs of a descriptor WithPasswordChange wrote (its DACL at 20).
std::vector<Bytes> acesOf(const Bytes& sd) {
    std::vector<Bytes> aces;
    std::size_t at = 28;
    for (int i = 0; i < (sd[24] | sd[25] << 8); ++i) {
        const std::size_t size = sd[at + 2] | sd[at + 3] << 8;
        aces.emplace_back(sd.begin() + static_cast<std::ptrdiff_t>(at),
                          sd.begin() + static_cast<std::ptrdiff_t>(at + size));
        at += size;
    }
    return aces;
}

TEST(ChangePasswordRight, ReadsAsDeniedWhenEveryoneOrSelfIsDeniedIt) {
    const Bytes allowE = objectAce(5, kEveryone), allowS = objectAce(5, kSelf);
    const struct {
        const char* what;
        std::vector<Bytes> aces;
        bool denied;
    } rows[] = {
        {"Samba's default: both allowed", {plainAce(kSelf), allowE, allowS}, false},
        {"Everyone denied", {objectAce(6, kEveryone), allowE, allowS}, true},
        {"SELF denied", {objectAce(6, kSelf), allowE, allowS}, true},
        {"SELF denied among other rights", {objectAce(6, kSelf, 0x130)}, true},
        {"another trustee denied", {objectAce(6, kAuthenticated), allowE, allowS}, false},
        {"another right denied", {objectAce(6, kEveryone, 0x100, kOtherRight)}, false},
        {"no control access", {objectAce(6, kEveryone, 0x10)}, false},
        {"inherit-only deny", {objectAce(6, kEveryone, 0x100, kChange, 0x08)}, false},
        {"nobody allowed, nobody denied", {plainAce(kEveryone)}, false},
    };
    for (const auto& row : rows)
        EXPECT_EQ(PasswordChangeDenied(descriptor(row.aces)), std::optional<bool>(row.denied))
            << row.what;
    Bytes noDacl = descriptor({});
    noDacl[2] = 0x00; // DACL not present
    EXPECT_EQ(PasswordChangeDenied(noDacl), std::optional<bool>(false));
    EXPECT_EQ(WithPasswordChange(noDacl, true), std::nullopt) << "no DACL to add a deny to";
}

// Denying puts the deny ACEs first and drops the explicit allows of the
// right; granting drops the explicit denies and adds the allows after the
// explicit ACEs; every other ACE stays as it was, in its order.
TEST(ChangePasswordRight, AWriteChangesOnlyTheRightsOwnAces) {
    const Bytes other = plainAce(kSelf);
    const Bytes inherited = plainAce(kAuthenticated, 0x10);
    const Bytes otherRight = objectAce(5, kEveryone, 0x100, kOtherRight);
    const Bytes start =
        descriptor({other, objectAce(5, kEveryone), otherRight, objectAce(5, kSelf), inherited});

    const auto denied = WithPasswordChange(start, true);
    ASSERT_TRUE(denied);
    EXPECT_EQ(acesOf(*denied), (std::vector<Bytes>{objectAce(6, kEveryone), objectAce(6, kSelf),
                                                   other, otherRight, inherited}));
    EXPECT_EQ((*denied)[2] | (*denied)[3] << 8, 0x8404) << "the DACL's control bits kept";
    EXPECT_EQ(std::vector<std::uint8_t>(denied->begin() + 4, denied->begin() + 16), Bytes(12, 0))
        << "no owner, group or SACL";

    const auto granted = WithPasswordChange(*denied, false);
    ASSERT_TRUE(granted);
    EXPECT_EQ(acesOf(*granted), (std::vector<Bytes>{other, otherRight, objectAce(5, kEveryone),
                                                    objectAce(5, kSelf), inherited}));
    EXPECT_EQ(PasswordChangeDenied(*granted), std::optional<bool>(false));

    // A deny ACE that also denies other rights keeps them.
    const auto mixed = WithPasswordChange(descriptor({objectAce(6, kSelf, 0x130)}), false);
    ASSERT_TRUE(mixed);
    EXPECT_EQ(acesOf(*mixed), (std::vector<Bytes>{objectAce(6, kSelf, 0x030),
                                                  objectAce(5, kEveryone), objectAce(5, kSelf)}));
}

TEST(ChangePasswordRight, AMalformedDescriptorIsRefused) {
    const Bytes good = descriptor({objectAce(6, kEveryone), plainAce(kSelf)});
    auto changed = [&](std::size_t at, std::uint8_t value) {
        Bytes b = good;
        b[at] = value;
        return b;
    };
    const struct {
        const char* what;
        Bytes bytes;
    } rows[] = {
        {"empty", {}},
        {"header cut short", Bytes(good.begin(), good.begin() + 19)},
        {"revision 2", changed(0, 2)},
        {"not self-relative", changed(3, 0x00)},
        {"DACL offset past the end", changed(16, 0xF0)},
        {"DACL offset inside the header", changed(16, 4)},
        {"ACL larger than the descriptor", changed(22, 0xFF)},
        {"more ACEs than the ACL holds", changed(24, 3)},
        {"an ACE of size 0", changed(30, 0)},
        {"an ACE past the ACL", changed(30, 0xF0)},
        {"a SID longer than its ACE", changed(28 + 29, 5)},
        {"an object ACE without room for its second GUID", changed(28 + 8, 3)},
    };
    for (const auto& row : rows)
        EXPECT_EQ(PasswordChangeDenied(row.bytes), std::nullopt) << row.what;
}

} // namespace
} // namespace tw::samr
