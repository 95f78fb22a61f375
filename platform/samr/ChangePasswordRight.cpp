#include "ChangePasswordRight.h"

#include <algorithm>
#include <cstring>

namespace tw::samr {

namespace {

using Bytes = std::span<const std::uint8_t>;

constexpr std::size_t kHeaderBytes = 20; // revision, sbz1, control, four offsets
constexpr std::size_t kAclHeaderBytes = 8;
constexpr std::uint16_t kDaclPresent = 0x0004;
constexpr std::uint16_t kSelfRelative = 0x8000;
// The control bits that describe the DACL: present, defaulted, auto-inherit
// required, auto-inherited, protected.
constexpr std::uint16_t kDaclControl = 0x0004 | 0x0008 | 0x0100 | 0x0400 | 0x1000;
constexpr std::uint8_t kAclRevisionDs = 4; // object ACEs need it

constexpr std::uint8_t kAllowedObject = 5;
constexpr std::uint8_t kDeniedObject = 6;
constexpr std::uint8_t kInheritOnly = 0x08;
constexpr std::uint8_t kInherited = 0x10;
constexpr std::uint32_t kControlAccess = 0x100;
constexpr std::uint32_t kObjectTypePresent = 1;
constexpr std::uint32_t kInheritedObjectTypePresent = 2;

// ab721a53-1e2f-11d0-9819-00aa0040529b as a GUID is stored (the first three
// fields little-endian).
constexpr std::uint8_t kUserChangePassword[16] = {0x53, 0x1a, 0x72, 0xab, 0x2f, 0x1e, 0xd0, 0x11,
                                                  0x98, 0x19, 0x00, 0xaa, 0x00, 0x40, 0x52, 0x9b};
constexpr std::uint8_t kEveryone[12] = {1, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0}; // S-1-1-0
constexpr std::uint8_t kSelf[12] = {1, 1, 0, 0, 0, 0, 0, 5, 10, 0, 0, 0};    // S-1-5-10
constexpr const std::uint8_t* kTrustees[] = {kEveryone, kSelf};

std::uint16_t le16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}
std::uint32_t le32(const std::uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}
void put16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
void put32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

struct Dacl {
    bool present = false;
    std::uint16_t control = 0;
    std::uint8_t revision = 0;
    std::vector<Bytes> aces; // each whole, header included
};

std::optional<Dacl> parse(Bytes sd) {
    if (sd.size() < kHeaderBytes || sd[0] != 1)
        return std::nullopt;
    Dacl dacl;
    dacl.control = le16(&sd[2]);
    if ((dacl.control & kSelfRelative) == 0)
        return std::nullopt;
    const std::uint32_t offset = le32(&sd[16]);
    if ((dacl.control & kDaclPresent) == 0 || offset == 0)
        return dacl; // no DACL
    if (offset < kHeaderBytes || offset > sd.size() || sd.size() - offset < kAclHeaderBytes)
        return std::nullopt;
    Bytes acl = sd.subspan(offset);
    const std::size_t size = le16(&acl[2]);
    const std::size_t count = le16(&acl[4]);
    if (size < kAclHeaderBytes || size > acl.size())
        return std::nullopt;
    acl = acl.first(size);
    dacl.present = true;
    dacl.revision = acl[0];
    std::size_t at = kAclHeaderBytes;
    for (std::size_t i = 0; i < count; ++i) {
        if (acl.size() - at < 4)
            return std::nullopt;
        const std::size_t aceSize = le16(&acl[at + 2]);
        if (aceSize < 4 || aceSize > acl.size() - at)
            return std::nullopt;
        dacl.aces.push_back(acl.subspan(at, aceSize));
        at += aceSize;
    }
    return dacl;
}

// An object ACE's fields; nothing for an ACE of another type.
struct ObjectAce {
    std::uint8_t type = 0, flags = 0;
    std::uint32_t mask = 0;
    const std::uint8_t* objectType = nullptr;
    Bytes sid;
};

enum class Read { Other, Object, Malformed };

Read readObjectAce(Bytes ace, ObjectAce& out) {
    if (ace[0] != kAllowedObject && ace[0] != kDeniedObject)
        return Read::Other;
    out.type = ace[0];
    out.flags = ace[1];
    if (ace.size() < 12)
        return Read::Malformed;
    out.mask = le32(&ace[4]);
    const std::uint32_t present = le32(&ace[8]);
    std::size_t at = 12;
    if ((present & kObjectTypePresent) != 0) {
        if (ace.size() - at < 16)
            return Read::Malformed;
        out.objectType = &ace[at];
        at += 16;
    }
    if ((present & kInheritedObjectTypePresent) != 0) {
        if (ace.size() - at < 16)
            return Read::Malformed;
        at += 16;
    }
    const Bytes sid = ace.subspan(at);
    if (sid.size() < 8 || sid.size() - 8 < std::size_t{sid[1]} * 4)
        return Read::Malformed;
    out.sid = sid.first(8 + std::size_t{sid[1]} * 4);
    return Read::Object;
}

// Which of Everyone (0) and SELF (1) an ACE of this type grants or denies
// the right to; -1 for none.
int trusteeOfRight(const ObjectAce& ace, std::uint8_t type) {
    if (ace.type != type || (ace.mask & kControlAccess) == 0 || ace.objectType == nullptr ||
        std::memcmp(ace.objectType, kUserChangePassword, 16) != 0)
        return -1;
    for (int i = 0; i < 2; ++i) {
        if (ace.sid.size() == 12 && std::memcmp(ace.sid.data(), kTrustees[i], 12) == 0)
            return i;
    }
    return -1;
}

std::vector<std::uint8_t> rightAce(std::uint8_t type, const std::uint8_t* trustee) {
    std::vector<std::uint8_t> ace(40);
    ace[0] = type;
    put16(&ace[2], 40);
    put32(&ace[4], kControlAccess);
    put32(&ace[8], kObjectTypePresent);
    std::memcpy(&ace[12], kUserChangePassword, 16);
    std::memcpy(&ace[28], trustee, 12);
    return ace;
}

} // namespace

std::optional<bool> PasswordChangeDenied(Bytes descriptor) {
    const auto dacl = parse(descriptor);
    if (!dacl)
        return std::nullopt;
    bool denied = false;
    for (const Bytes ace : dacl->aces) {
        ObjectAce object;
        const Read read = readObjectAce(ace, object);
        if (read == Read::Malformed)
            return std::nullopt;
        if (read == Read::Object && (object.flags & kInheritOnly) == 0 &&
            trusteeOfRight(object, kDeniedObject) >= 0)
            denied = true;
    }
    return denied;
}

std::optional<std::vector<std::uint8_t>> WithPasswordChange(Bytes descriptor, bool denied) {
    const auto dacl = parse(descriptor);
    if (!dacl || !dacl->present)
        return std::nullopt;
    std::vector<std::vector<std::uint8_t>> aces;
    if (denied) {
        for (const auto* trustee : kTrustees)
            aces.push_back(rightAce(kDeniedObject, trustee));
    }
    bool allowed[2] = {false, false};
    // Where the inherited ACEs begin: explicit ACEs come first.
    std::optional<std::size_t> firstInherited;
    for (const Bytes ace : dacl->aces) {
        ObjectAce object;
        const Read read = readObjectAce(ace, object);
        if (read == Read::Malformed)
            return std::nullopt;
        const bool explicitAce = (ace[1] & kInherited) == 0;
        if (!explicitAce && !firstInherited)
            firstInherited = aces.size();
        if (read == Read::Object && explicitAce && (object.flags & kInheritOnly) == 0) {
            // The right of the two trustees, as this write is to leave it.
            const int deny = trusteeOfRight(object, kDeniedObject);
            const int allow = trusteeOfRight(object, kAllowedObject);
            if (deny >= 0 || (denied && allow >= 0)) {
                // Other rights in the same ACE stay.
                if ((object.mask & ~kControlAccess) != 0) {
                    aces.emplace_back(ace.begin(), ace.end());
                    put32(&aces.back()[4], object.mask & ~kControlAccess);
                }
                continue;
            }
        }
        if (read == Read::Object && (object.flags & kInheritOnly) == 0) {
            if (const int allow = trusteeOfRight(object, kAllowedObject); allow >= 0)
                allowed[allow] = true;
        }
        aces.emplace_back(ace.begin(), ace.end());
    }
    if (!denied) {
        std::size_t at = firstInherited.value_or(aces.size());
        for (int i = 0; i < 2; ++i) {
            if (!allowed[i])
                aces.insert(aces.begin() + static_cast<std::ptrdiff_t>(at++),
                            rightAce(kAllowedObject, kTrustees[i]));
        }
    }
    std::size_t aclSize = kAclHeaderBytes;
    for (const auto& ace : aces)
        aclSize += ace.size();
    if (aclSize > 0xFFFF || aces.size() > 0xFFFF)
        return std::nullopt;
    std::vector<std::uint8_t> out(kHeaderBytes + kAclHeaderBytes);
    out[0] = 1;
    put16(&out[2], static_cast<std::uint16_t>((dacl->control & kDaclControl) | kDaclPresent |
                                              kSelfRelative));
    put32(&out[16], kHeaderBytes);
    out[kHeaderBytes] = std::max(dacl->revision, kAclRevisionDs);
    put16(&out[kHeaderBytes + 2], static_cast<std::uint16_t>(aclSize));
    put16(&out[kHeaderBytes + 4], static_cast<std::uint16_t>(aces.size()));
    for (const auto& ace : aces)
        out.insert(out.end(), ace.begin(), ace.end());
    return out;
}

} // namespace tw::samr
