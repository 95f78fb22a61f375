#include "DirectoryClient.h"

#include "SamrStatus.h"

#include <gssapi/gssapi.h>
#include <gssapi/gssapi_ext.h>
#include <ldap.h>
#include <sasl/sasl.h>

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

std::unique_ptr<DirectoryClient> DirectoryClient::Open(const DirectoryTarget& target,
                                                       DirectoryAnswer& answer) {
    auto handle = std::make_unique<Handle>();
    const bool literal6 = target.host.find(':') != std::string::npos;
    const std::string uri = "ldap://" + (literal6 ? "[" + target.host + "]" : target.host) + ":389";
    auto failed = [&](int code) {
        answer = {kNtNotSupported, ldapText(code)};
        return nullptr;
    };
    if (int code = ldap_initialize(&handle->ld, uri.c_str()); code != LDAP_SUCCESS)
        return failed(code);
    LDAP* ld = handle->ld;
    const int version = LDAP_VERSION3;
    handle->limit.tv_sec = target.answerSeconds > 0 ? target.answerSeconds : 20;
    ldap_set_option(ld, LDAP_OPT_PROTOCOL_VERSION, &version);
    ldap_set_option(ld, LDAP_OPT_REFERRALS, LDAP_OPT_OFF);
    ldap_set_option(ld, LDAP_OPT_NETWORK_TIMEOUT, &handle->limit);
    ldap_set_option(ld, LDAP_OPT_TIMEOUT, &handle->limit);
    // The service ticket is for the name given, as the SAMR connection's;
    // canonicalizing it through DNS finds no principal.
    ldap_set_option(ld, LDAP_OPT_X_SASL_NOCANON, LDAP_OPT_ON);
    // Signed and sealed, or not at all.
    char properties[] = "minssf=1,noanonymous,noplain";
    if (int code = ldap_set_option(ld, LDAP_OPT_X_SASL_SECPROPS, properties); code != LDAP_SUCCESS)
        return failed(code);

    BindContext context;
    if (!target.kerberos) {
        answer = ntlmCredentials(target, handle->credentials);
        if (!answer.ok())
            return nullptr;
        context.credentials = handle->credentials;
    }
    const char* mechanism = target.kerberos ? "GSSAPI" : "GSS-SPNEGO";
    int code = ldap_sasl_interactive_bind_s(ld, nullptr, mechanism, nullptr, nullptr,
                                            LDAP_SASL_QUIET, interact, &context);
    if (code != LDAP_SUCCESS) {
        char* diagnostic = nullptr;
        ldap_get_option(ld, LDAP_OPT_DIAGNOSTIC_MESSAGE, &diagnostic);
        answer = {kNtNotSupported, ldapText(code)};
        if (diagnostic != nullptr && diagnostic[0] != '\0')
            answer.detail += std::string(" (") + diagnostic + ")";
        ldap_memfree(diagnostic);
        return nullptr;
    }
    sasl_ssf_t ssf = 0;
    ldap_get_option(ld, LDAP_OPT_X_SASL_SSF, &ssf);
    if (ssf == 0) {
        answer = {kNtNotSupported, "LDAP: the sign-in has no security layer"};
        return nullptr;
    }

    char naming[] = "defaultNamingContext";
    char* attributes[] = {naming, nullptr};
    LDAPMessage* result = nullptr;
    code = ldap_search_ext_s(ld, "", LDAP_SCOPE_BASE, "(objectClass=*)", attributes, 0, nullptr,
                             nullptr, &handle->limit, 1, &result);
    if (code == LDAP_SUCCESS) {
        LDAPMessage* entry = ldap_first_entry(ld, result);
        berval** values = entry ? ldap_get_values_len(ld, entry, naming) : nullptr;
        if (values != nullptr && values[0] != nullptr)
            handle->base.assign(values[0]->bv_val, values[0]->bv_len);
        ldap_value_free_len(values);
    }
    ldap_msgfree(result);
    if (code != LDAP_SUCCESS)
        return failed(code);
    if (handle->base.empty()) {
        answer = {kNtNotSupported, "LDAP: the server names no default naming context"};
        return nullptr;
    }
    answer = {};
    std::unique_ptr<DirectoryClient> client(new DirectoryClient(std::move(handle)));
    client->ssf_ = ssf;
    return client;
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
