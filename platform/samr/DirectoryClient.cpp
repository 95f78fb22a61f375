#include "DirectoryClient.h"

#include "SamrStatus.h"

#include <gssapi/gssapi.h>
#include <gssapi/gssapi_ext.h>
#include <gssapi/gssapi_krb5.h>
#include <ldap.h>
#include <sasl/sasl.h>

#include <cctype>
#include <cstring>

namespace tw::samr {

namespace {

// The LDAP_SERVER_SD_FLAGS_OID control with the DACL alone (BER of
// SEQUENCE { INTEGER 4 }): a plain user sees the DACL only through it, and a
// write with it leaves owner, group and SACL as they are.
char kSdFlagsOid[] = "1.2.840.113556.1.4.801";
char kDaclOnly[] = {0x30, 0x03, 0x02, 0x01, 0x04};
char kDescriptor[] = "nTSecurityDescriptor";

gss_OID_desc kSpnego = {6, const_cast<char*>("\x2b\x06\x01\x05\x05\x02")};
gss_OID_desc kNtlmssp = {10, const_cast<char*>("\x2b\x06\x01\x04\x01\x82\x37\x02\x02\x0a")};

std::string ldapText(int code) {
    return std::string("LDAP: ") + ldap_err2string(code);
}

std::string gssText(OM_uint32 major, OM_uint32 minor) {
    std::string text = "GSS-API:";
    for (auto [code, type] :
         {std::pair{major, GSS_C_GSS_CODE}, std::pair{minor, GSS_C_MECH_CODE}}) {
        OM_uint32 context = 0, ignored = 0;
        do {
            gss_buffer_desc message{};
            if (gss_display_status(&ignored, code, type, GSS_C_NO_OID, &context, &message) != 0)
                break;
            text += " " + std::string(static_cast<const char*>(message.value), message.length);
            gss_release_buffer(&ignored, &message);
        } while (context != 0);
    }
    return text;
}

// What a failed request on a signed-in directory means to a caller.
std::uint32_t statusOf(int code) {
    switch (code) {
    case LDAP_INSUFFICIENT_ACCESS:
        return kNtAccessDenied;
    case LDAP_NO_SUCH_OBJECT:
        return kNtNoSuchUser;
    case LDAP_CONSTRAINT_VIOLATION:
    case LDAP_UNWILLING_TO_PERFORM:
    case LDAP_INVALID_SYNTAX:
    case LDAP_OBJECT_CLASS_VIOLATION:
        return kNtInvalidParameter;
    default:
        // Gone, no answer, or nothing this layer knows: out of reach.
        return kNtNotSupported;
    }
}

struct BindContext {
    gss_cred_id_t credentials = GSS_C_NO_CREDENTIAL;
};

// SASL asks for the authorization identity (none: the one signed in) and
// any other value here; this is also the one moment the bind's SASL context
// exists, so credentials of our own are handed over now.
int interact(LDAP* ld, unsigned /*flags*/, void* defaults, void* prompts) {
    auto* context = static_cast<BindContext*>(defaults);
    if (context->credentials != GSS_C_NO_CREDENTIAL)
        ldap_set_option(ld, LDAP_OPT_X_SASL_GSS_CREDS, context->credentials);
    for (auto* prompt = static_cast<sasl_interact_t*>(prompts); prompt->id != SASL_CB_LIST_END;
         ++prompt) {
        prompt->result = "";
        prompt->len = 0;
    }
    return LDAP_SUCCESS;
}

// NTLM credentials from the password, offered through SPNEGO and nothing
// else (the SAMR connection signs in with NTLM too).
DirectoryAnswer ntlmCredentials(const DirectoryTarget& target, gss_cred_id_t& credentials) {
    const std::string principal =
        target.domain.empty() ? target.user : target.domain + "\\" + target.user;
    gss_buffer_desc nameText{principal.size(), const_cast<char*>(principal.data())};
    OM_uint32 minor = 0;
    gss_name_t name = GSS_C_NO_NAME;
    OM_uint32 major = gss_import_name(&minor, &nameText, GSS_C_NT_USER_NAME, &name);
    if (major != GSS_S_COMPLETE)
        return {kNtNotSupported, gssText(major, minor)};
    const std::string_view password = target.password ? target.password->View() : "";
    gss_buffer_desc secret{password.size(), const_cast<char*>(password.data())};
    gss_OID_set_desc spnego{1, &kSpnego};
    major = gss_acquire_cred_with_password(&minor, name, &secret, GSS_C_INDEFINITE, &spnego,
                                           GSS_C_INITIATE, &credentials, nullptr, nullptr);
    OM_uint32 ignored = 0;
    gss_release_name(&ignored, &name);
    if (major != GSS_S_COMPLETE)
        return {kNtNotSupported, gssText(major, minor)};
    gss_OID_set_desc ntlm{1, &kNtlmssp};
    major = gss_set_neg_mechs(&minor, credentials, &ntlm);
    if (major != GSS_S_COMPLETE)
        return {kNtNotSupported, gssText(major, minor)};
    return {};
}

} // namespace

struct DirectoryClient::Handle {
    LDAP* ld = nullptr;
    gss_cred_id_t credentials = GSS_C_NO_CREDENTIAL;
    std::string base;
    struct timeval limit {};
    ~Handle() {
        if (ld != nullptr)
            ldap_unbind_ext_s(ld, nullptr, nullptr);
        OM_uint32 minor = 0;
        if (credentials != GSS_C_NO_CREDENTIAL)
            gss_release_cred(&minor, &credentials);
    }
};

DirectoryClient::DirectoryClient(std::unique_ptr<Handle> handle) : handle_(std::move(handle)) {}
DirectoryClient::~DirectoryClient() = default;

namespace {

// An LDAP handle for the host with this program's settings; it connects at
// its first request.
DirectoryAnswer prepare(const DirectoryTarget& target, LDAP*& ld, timeval& limit) {
    const bool literal6 = target.host.find(':') != std::string::npos;
    const std::string uri = "ldap://" + (literal6 ? "[" + target.host + "]" : target.host) + ":389";
    if (int code = ldap_initialize(&ld, uri.c_str()); code != LDAP_SUCCESS)
        return {kNtNotSupported, ldapText(code)};
    const int version = LDAP_VERSION3;
    limit.tv_sec = target.answerSeconds > 0 ? target.answerSeconds : 20;
    ldap_set_option(ld, LDAP_OPT_PROTOCOL_VERSION, &version);
    ldap_set_option(ld, LDAP_OPT_REFERRALS, LDAP_OPT_OFF);
    ldap_set_option(ld, LDAP_OPT_NETWORK_TIMEOUT, &limit);
    ldap_set_option(ld, LDAP_OPT_TIMEOUT, &limit);
    // The service ticket is for the name given, as the SAMR connection's;
    // canonicalizing it through DNS finds no principal.
    ldap_set_option(ld, LDAP_OPT_X_SASL_NOCANON, LDAP_OPT_ON);
    // Signed and sealed, or not at all.
    char properties[] = "minssf=1,noanonymous,noplain";
    if (int code = ldap_set_option(ld, LDAP_OPT_X_SASL_SECPROPS, properties); code != LDAP_SUCCESS)
        return {kNtNotSupported, ldapText(code)};
    return {};
}

// The domain's naming context, from the rootDSE, which anybody may read
// before signing in.
DirectoryAnswer namingContext(LDAP* ld, timeval& limit, std::string& base) {
    char naming[] = "defaultNamingContext";
    char* attributes[] = {naming, nullptr};
    LDAPMessage* result = nullptr;
    const int code = ldap_search_ext_s(ld, "", LDAP_SCOPE_BASE, "(objectClass=*)", attributes, 0,
                                       nullptr, nullptr, &limit, 1, &result);
    if (code == LDAP_SUCCESS) {
        LDAPMessage* entry = ldap_first_entry(ld, result);
        berval** values = entry ? ldap_get_values_len(ld, entry, naming) : nullptr;
        if (values != nullptr && values[0] != nullptr)
            base.assign(values[0]->bv_val, values[0]->bv_len);
        ldap_value_free_len(values);
    }
    ldap_msgfree(result);
    if (code != LDAP_SUCCESS)
        return {kNtNotSupported, ldapText(code)};
    if (base.empty())
        return {kNtNotSupported, "LDAP: the server names no default naming context"};
    return {};
}

// AD.EXAMPLE.TEST for DC=ad,DC=example,DC=test.
std::string realmOf(const std::string& base) {
    std::string realm;
    for (std::size_t at = 0; at < base.size();) {
        std::size_t end = base.find(',', at);
        if (end == std::string::npos)
            end = base.size();
        const std::string rdn = base.substr(at, end - at);
        if (rdn.size() > 3 && (rdn[0] == 'D' || rdn[0] == 'd') &&
            (rdn[1] == 'C' || rdn[1] == 'c') && rdn[2] == '=') {
            realm += realm.empty() ? "" : ".";
            for (char c : rdn.substr(3))
                realm += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
        at = end + 1;
    }
    return realm;
}

// A Kerberos ticket from the password, kept in memory (never in a cache
// file).
DirectoryAnswer kerberosCredentials(const DirectoryTarget& target, const std::string& realm,
                                    gss_cred_id_t& credentials) {
    const std::string principal =
        target.user.find('@') != std::string::npos ? target.user : target.user + "@" + realm;
    gss_buffer_desc nameText{principal.size(), const_cast<char*>(principal.data())};
    OM_uint32 minor = 0;
    gss_name_t name = GSS_C_NO_NAME;
    OM_uint32 major = gss_import_name(&minor, &nameText, GSS_KRB5_NT_PRINCIPAL_NAME, &name);
    if (major != GSS_S_COMPLETE)
        return {kNtNotSupported, gssText(major, minor)};
    const std::string_view password = target.password ? target.password->View() : "";
    gss_buffer_desc secret{password.size(), const_cast<char*>(password.data())};
    gss_OID_set_desc krb5{1, const_cast<gss_OID>(gss_mech_krb5)};
    major = gss_acquire_cred_with_password(&minor, name, &secret, GSS_C_INDEFINITE, &krb5,
                                           GSS_C_INITIATE, &credentials, nullptr, nullptr);
    OM_uint32 ignored = 0;
    gss_release_name(&ignored, &name);
    if (major != GSS_S_COMPLETE)
        return {kNtNotSupported, gssText(major, minor)};
    return {};
}

bool isAddress(const std::string& host) {
    return host.find(':') != std::string::npos ||
           host.find_first_not_of("0123456789.") == std::string::npos;
}

} // namespace

std::unique_ptr<DirectoryClient> DirectoryClient::Open(const DirectoryTarget& target,
                                                       DirectoryAnswer& answer) {
    std::string base;
    {
        Handle first;
        answer = prepare(target, first.ld, first.limit);
        if (answer.ok())
            answer = namingContext(first.ld, first.limit, base);
        if (!answer.ok())
            return nullptr;
    }
    // The ways to sign in, in order: with -k the ticket cache alone; with a
    // password a ticket from it where the server has a name Kerberos can
    // know it by, else (or when that fails) NTLM.
    enum class Way { TicketCache, TicketFromPassword, Ntlm };
    std::vector<Way> ways;
    if (target.kerberos) {
        ways = {Way::TicketCache};
    } else {
        if (!isAddress(target.host) && !target.user.empty())
            ways.push_back(Way::TicketFromPassword);
        ways.push_back(Way::Ntlm);
    }
    std::string refusals;
    for (const Way way : ways) {
        auto handle = std::make_unique<Handle>();
        handle->base = base;
        DirectoryAnswer step = prepare(target, handle->ld, handle->limit);
        if (step.ok() && way == Way::TicketFromPassword)
            step = kerberosCredentials(target, realmOf(base), handle->credentials);
        else if (step.ok() && way == Way::Ntlm)
            step = ntlmCredentials(target, handle->credentials);
        const char* mechanism = way == Way::Ntlm ? "GSS-SPNEGO" : "GSSAPI";
        const char* named = way == Way::TicketCache          ? "Kerberos (ticket cache)"
                            : way == Way::TicketFromPassword ? "Kerberos (password)"
                                                             : "NTLM";
        sasl_ssf_t ssf = 0;
        if (step.ok()) {
            BindContext context{handle->credentials};
            const int code =
                ldap_sasl_interactive_bind_s(handle->ld, nullptr, mechanism, nullptr, nullptr,
                                             LDAP_SASL_QUIET, interact, &context);
            if (code != LDAP_SUCCESS) {
                step = {kNtNotSupported, ldapText(code)};
                char* diagnostic = nullptr;
                ldap_get_option(handle->ld, LDAP_OPT_DIAGNOSTIC_MESSAGE, &diagnostic);
                if (diagnostic != nullptr && diagnostic[0] != '\0')
                    step.detail += std::string(" (") + diagnostic + ")";
                ldap_memfree(diagnostic);
            } else {
                ldap_get_option(handle->ld, LDAP_OPT_X_SASL_SSF, &ssf);
                if (ssf == 0)
                    step = {kNtNotSupported, "LDAP: the sign-in has no security layer"};
            }
        }
        if (step.ok()) {
            answer = {};
            std::unique_ptr<DirectoryClient> client(new DirectoryClient(std::move(handle)));
            client->ssf_ = ssf;
            client->description_ = std::string("LDAP signed in with ") + named +
                                   ", security layer of " + std::to_string(ssf) + " bits";
            return client;
        }
        refusals += (refusals.empty() ? "" : "; ") + std::string(named) + ": " + step.detail;
    }
    answer = {kNtNotSupported, refusals};
    return nullptr;
}

DirectoryAnswer DirectoryClient::ReadDacl(const std::string& account, std::string& dn,
                                          std::vector<std::uint8_t>& descriptor) {
    LDAP* ld = handle_->ld;
    berval raw{account.size(), const_cast<char*>(account.data())};
    berval escaped{};
    if (ldap_bv2escaped_filter_value(&raw, &escaped) != 0)
        return {kNtNoMemory, "LDAP: no memory"};
    const std::string filter =
        "(&(objectClass=user)(sAMAccountName=" + std::string(escaped.bv_val, escaped.bv_len) + "))";
    ber_memfree(escaped.bv_val);
    LDAPControl flags{kSdFlagsOid, {sizeof kDaclOnly, kDaclOnly}, 1};
    LDAPControl* controls[] = {&flags, nullptr};
    char* attributes[] = {kDescriptor, nullptr};
    LDAPMessage* result = nullptr;
    int code = ldap_search_ext_s(ld, handle_->base.c_str(), LDAP_SCOPE_SUBTREE, filter.c_str(),
                                 attributes, 0, controls, nullptr, &handle_->limit, 2, &result);
    DirectoryAnswer answer;
    if (code != LDAP_SUCCESS) {
        answer = {statusOf(code), ldapText(code)};
    } else if (ldap_count_entries(ld, result) != 1) {
        answer = {kNtNoSuchUser, "LDAP: no single user object of that name"};
    } else {
        LDAPMessage* entry = ldap_first_entry(ld, result);
        char* name = ldap_get_dn(ld, entry);
        berval** values = ldap_get_values_len(ld, entry, kDescriptor);
        if (name == nullptr || values == nullptr || values[0] == nullptr) {
            answer = {kNtAccessDenied, "LDAP: the object's security descriptor cannot be read"};
        } else {
            dn = name;
            const auto* bytes = reinterpret_cast<const std::uint8_t*>(values[0]->bv_val);
            descriptor.assign(bytes, bytes + values[0]->bv_len);
        }
        ldap_value_free_len(values);
        ldap_memfree(name);
    }
    ldap_msgfree(result);
    return answer;
}

DirectoryAnswer DirectoryClient::WriteDacl(const std::string& dn,
                                           std::span<const std::uint8_t> descriptor) {
    berval value{descriptor.size(),
                 reinterpret_cast<char*>(const_cast<std::uint8_t*>(descriptor.data()))};
    berval* values[] = {&value, nullptr};
    LDAPMod modification{};
    modification.mod_op = LDAP_MOD_REPLACE | LDAP_MOD_BVALUES;
    modification.mod_type = kDescriptor;
    modification.mod_bvalues = values;
    LDAPMod* modifications[] = {&modification, nullptr};
    LDAPControl flags{kSdFlagsOid, {sizeof kDaclOnly, kDaclOnly}, 1};
    LDAPControl* controls[] = {&flags, nullptr};
    const int code = ldap_modify_ext_s(handle_->ld, dn.c_str(), modifications, controls, nullptr);
    if (code != LDAP_SUCCESS)
        return {statusOf(code), ldapText(code)};
    return {};
}

} // namespace tw::samr
