/* The SAMR calls behind SamrClient.h, through Samba's client libraries. */
#include "SamrClient.h"
#include "KerberosTicket.h"

#include <stdbool.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include <talloc.h>
#include <tevent.h>

#include <core/error.h>
#include <credentials.h>
#include <dcerpc.h>
#include <gen_ndr/ndr_samr.h>
#include <gen_ndr/security.h>
#include <param.h>

enum {
    kStatusMoreEntries = 0x00000105,
    kStatusNoSuchUser = 0xC0000064,
    kStatusNoneMapped = 0xC0000073,
    kStatusNoMemory = 0xC0000017,
    kStatusInvalidParameter = 0xC000000D,
    kStatusAccessDenied = 0xC0000022,
    kStatusNoSuchDomain = 0xC00000DF,
    kStatusNotSupported = 0xC00000BB,
    kStatusIoTimeout = 0xC00000B5,
    kStatusLogonFailure = 0xC000006D,
    kStatusPasswordExpired = 0xC0000071,
    kStatusAccountLockedOut = 0xC0000234,
    kStatusNoLogonServers = 0xC000005E,
    kStatusTimeDifferenceAtDc = 0xC0000133,
    kBuiltinDomainRid = 32,
    kSidNameUser = 1,
};

/* Samba's composite requests (the pipe connection is one) begin with their
   state; the header that declares them is not installed. */
struct tw_composite_head {
    int state; /* init, in progress, done, error */
};
enum { kCompositeDone = 2 };

static tw_samr_request_observer request_observer;
static void* request_observer_context;

void tw_samr_observe_requests(tw_samr_request_observer observer, void* context) {
    request_observer = observer;
    request_observer_context = context;
}

struct tw_samr_session {
    TALLOC_CTX* memory;
    struct cli_credentials* credentials;
    struct dcerpc_pipe* pipe;
    struct policy_handle connect, domain, builtin;
    struct dom_sid* domain_sid;
};

static uint32_t call(tw_samr_session* session, TALLOC_CTX* memory, uint32_t opnum, void* record,
                     const NTSTATUS* result) {
    if (request_observer != NULL)
        request_observer(request_observer_context, opnum);
    NTSTATUS status = dcerpc_binding_handle_call(session->pipe->binding_handle, NULL,
                                                 &ndr_table_samr, opnum, memory, record);
    if (!NT_STATUS_IS_OK(status))
        return NT_STATUS_V(status);
    return NT_STATUS_V(*result);
}

static void close_handle(tw_samr_session* session, struct policy_handle* handle) {
    struct samr_Close r = {0};
    r.in.handle = handle;
    r.out.handle = handle;
    call(session, NULL, NDR_SAMR_CLOSE, &r, &r.out.result);
}

static struct dom_sid world_sid(void) {
    struct dom_sid sid = {0};
    sid.sid_rev_num = 1;
    sid.num_auths = 1;
    sid.id_auth[5] = 1; /* S-1-1-0 */
    return sid;
}

static bool same_sid(const struct dom_sid* a, const struct dom_sid* b) {
    if (a->sid_rev_num != b->sid_rev_num || a->num_auths != b->num_auths ||
        memcmp(a->id_auth, b->id_auth, sizeof a->id_auth) != 0)
        return false;
    for (int i = 0; i < a->num_auths && i < 15; ++i) {
        if (a->sub_auths[i] != b->sub_auths[i])
            return false;
    }
    return true;
}

static uint32_t open_domain(tw_samr_session* session, struct dom_sid* sid,
                            struct policy_handle* handle) {
    struct samr_OpenDomain r = {0};
    r.in.connect_handle = &session->connect;
    r.in.access_mask = SEC_FLAG_MAXIMUM_ALLOWED;
    r.in.sid = sid;
    r.out.domain_handle = handle;
    return call(session, session->memory, NDR_SAMR_OPENDOMAIN, &r, &r.out.result);
}

/* The account domain: the one domain of the server that is not Builtin. */
static uint32_t find_account_domain(tw_samr_session* session) {
    TALLOC_CTX* memory = talloc_new(session->memory);
    uint32_t resume = 0, count = 0;
    struct samr_SamArray* domains = NULL;
    struct samr_EnumDomains list = {0};
    list.in.connect_handle = &session->connect;
    list.in.buf_size = 0xFFFF;
    list.in.resume_handle = &resume;
    list.out.resume_handle = &resume;
    list.out.sam = &domains;
    list.out.num_entries = &count;
    uint32_t status = call(session, memory, NDR_SAMR_ENUMDOMAINS, &list, &list.out.result);
    const char* name = NULL;
    for (uint32_t i = 0; status == 0 && domains != NULL && i < domains->count; ++i) {
        const char* candidate = domains->entries[i].name.string;
        if (candidate != NULL && strcasecmp(candidate, "Builtin") != 0)
            name = candidate;
    }
    if (status == 0 && name == NULL)
        status = kStatusNoSuchDomain;
    if (status == 0) {
        struct lsa_String domain_name = {0};
        struct dom_sid2* sid = NULL;
        struct samr_LookupDomain lookup = {0};
        domain_name.string = name;
        lookup.in.connect_handle = &session->connect;
        lookup.in.domain_name = &domain_name;
        lookup.out.sid = &sid;
        status = call(session, session->memory, NDR_SAMR_LOOKUPDOMAIN, &lookup, &lookup.out.result);
        if (status == 0 && sid == NULL)
            status = kStatusNoSuchDomain;
        if (status == 0)
            session->domain_sid = sid;
    }
    talloc_free(memory);
    return status;
}

static void on_deadline(struct tevent_context* events, struct tevent_timer* timer,
                        struct timeval now, void* late) {
    (void)events;
    (void)timer;
    (void)now;
    *(bool*)late = true;
}

/* The status Windows reports when a ticket cannot be had with a password:
   the Kerberos library's errors (the same numbers in every implementation). */
static uint32_t kerberos_status(int error) {
    switch (error) {
    case -1765328360: /* KRB5KDC_ERR_PREAUTH_FAILED: a wrong password */
    case -1765328378: /* KRB5KDC_ERR_C_PRINCIPAL_UNKNOWN: no such user */
        return kStatusLogonFailure;
    case -1765328361: /* KRB5KDC_ERR_KEY_EXP */
        return kStatusPasswordExpired;
    case -1765328366: /* KRB5KDC_ERR_CLIENT_REVOKED: locked out or disabled */
        return kStatusAccountLockedOut;
    case -1765328347: /* KRB5KRB_AP_ERR_SKEW: the clocks are too far apart */
        return kStatusTimeDifferenceAtDc;
    default: /* an unknown realm, no KDC for it, none that answers */
        return kStatusNoLogonServers;
    }
}

/* Whether this computer's clock is further from the KDC's than Kerberos
   allows (five minutes). */
static bool clock_too_far_off(struct cli_credentials* credentials, const char* password) {
    long long seconds = 0;
    const char* user = cli_credentials_get_username(credentials);
    const char* realm = cli_credentials_get_realm(credentials);
    return tw_kerberos_clock_offset(user, realm, password, &seconds) &&
           (seconds > 300 || seconds < -300);
}

/* dcerpc_pipe_connect, given up after `seconds` (its own limit is a minute):
   a server that takes the connection and never answers costs no more. */
static uint32_t connect_pipe(tw_samr_session* session, const char* binding,
                             struct cli_credentials* credentials, struct tevent_context* events,
                             struct loadparm_context* settings, unsigned seconds) {
    struct composite_context* pending =
        dcerpc_pipe_connect_send(session, binding, &ndr_table_samr, credentials, events, settings);
    if (pending == NULL)
        return kStatusNoMemory;
    bool late = false;
    struct tevent_timer* deadline = tevent_add_timer(
        events, session, tevent_timeval_current_ofs(seconds, 0), on_deadline, &late);
    if (deadline == NULL) {
        talloc_free(pending);
        return kStatusNoMemory;
    }
    const struct tw_composite_head* head = (const struct tw_composite_head*)pending;
    while (head->state < kCompositeDone && !late) {
        if (tevent_loop_once(events) != 0)
            break;
    }
    if (!late)
        talloc_free(deadline); /* a timer that fired is gone already */
    if (head->state < kCompositeDone) {
        /* Freeing the request closes its half-made connection. */
        talloc_free(pending);
        return kStatusIoTimeout;
    }
    return NT_STATUS_V(dcerpc_pipe_connect_recv(pending, session, &session->pipe));
}

uint32_t tw_samr_connect(const tw_samr_target* target, tw_samr_session** result) {
    static bool initialised = false;
    if (!initialised) {
        NTSTATUS status = dcerpc_init();
        if (!NT_STATUS_IS_OK(status))
            return NT_STATUS_V(status);
        initialised = true;
    }
    *result = NULL;
    if (target == NULL || target->host == NULL || target->host[0] == '\0')
        return kStatusInvalidParameter;
    tw_samr_session* session = talloc_zero(NULL, tw_samr_session);
    if (session == NULL)
        return kStatusNoMemory;
    session->memory = session;
    struct tevent_context* events = tevent_context_init(session);
    struct loadparm_context* settings = loadparm_init(session);
    session->credentials = cli_credentials_init(session);
    if (events == NULL || settings == NULL || session->credentials == NULL) {
        talloc_free(session);
        return kStatusNoMemory;
    }
    char port[16];
    snprintf(port, sizeof port, "%d", target->port > 0 ? target->port : 445);
    lpcfg_set_cmdline(settings, "smb ports", port);
    lpcfg_set_cmdline(settings, "client min protocol", "SMB2_02");

    struct cli_credentials* credentials = session->credentials;
    cli_credentials_set_conf(credentials, settings);
    if (target->user != NULL)
        cli_credentials_set_username(credentials, target->user, CRED_SPECIFIED);
    if (target->domain != NULL && target->domain[0] != '\0')
        cli_credentials_set_domain(credentials, target->domain, CRED_SPECIFIED);
    if (target->kerberos) {
        cli_credentials_set_kerberos_state(credentials, CRED_USE_KERBEROS_REQUIRED, CRED_SPECIFIED);
        if (target->password != NULL) {
            /* The library gets a ticket with the password into a cache in
               memory: nothing is written to disk. A domain given by its DNS
               name is the realm; else, as for kinit, the configuration's. */
            cli_credentials_set_password(credentials, target->password, CRED_SPECIFIED);
            char realm[256];
            if (target->domain != NULL && strchr(target->domain, '.') != NULL)
                cli_credentials_set_realm(credentials, target->domain, CRED_SPECIFIED);
            else if (tw_kerberos_default_realm(realm, sizeof realm))
                cli_credentials_set_realm(credentials, realm, CRED_SPECIFIED);
            /* The ticket now, before the connection's own event loop runs:
               the library gets it with a loop of its own. */
            struct ccache_container* ticket = NULL;
            const char* error = NULL;
            const int failed = cli_credentials_get_ccache(credentials, events, settings, &ticket,
                                                          &error);
            if (failed != 0) {
                talloc_free(session);
                return kerberos_status(failed);
            }
        } else {
            const char* error = NULL;
            cli_credentials_set_ccache(credentials, settings, NULL, CRED_SPECIFIED, &error);
        }
    } else {
        cli_credentials_set_kerberos_state(credentials, CRED_USE_KERBEROS_DISABLED, CRED_SPECIFIED);
        cli_credentials_set_password(credentials, target->password ? target->password : "",
                                     CRED_SPECIFIED);
    }

    char* binding = talloc_asprintf(session, "ncacn_np:%s", target->host);
    const unsigned seconds =
        target->answer_seconds > 0 ? (unsigned)target->answer_seconds : TW_SAMR_ANSWER_SECONDS;
    uint32_t status = connect_pipe(session, binding, credentials, events, settings, seconds);
    /* A ticket made from the password, yet the server's refused: a clock
       too far from the domain's fails so (the KDC took the password). */
    if (status == kStatusLogonFailure && target->kerberos && target->password != NULL &&
        clock_too_far_off(credentials, target->password))
        status = kStatusTimeDifferenceAtDc;
    /* Each call on the pipe gets no more time than the connection did. */
    if (status == 0)
        dcerpc_binding_handle_set_timeout(session->pipe->binding_handle, seconds);
    if (status == 0) {
        struct samr_Connect2 r = {0};
        r.in.system_name = "";
        r.in.access_mask = SEC_FLAG_MAXIMUM_ALLOWED;
        r.out.connect_handle = &session->connect;
        status = call(session, session->memory, NDR_SAMR_CONNECT2, &r, &r.out.result);
    }
    if (status == 0)
        status = find_account_domain(session);
    if (status == 0)
        status = open_domain(session, session->domain_sid, &session->domain);
    if (status == 0) {
        struct dom_sid builtin = {0};
        builtin.sid_rev_num = 1;
        builtin.num_auths = 1;
        builtin.id_auth[5] = 5; /* S-1-5-32 */
        builtin.sub_auths[0] = kBuiltinDomainRid;
        status = open_domain(session, &builtin, &session->builtin);
    }
    if (status != 0) {
        tw_samr_disconnect(session);
        return status;
    }
    *result = session;
    return 0;
}

void tw_samr_disconnect(tw_samr_session* session) {
    if (session == NULL)
        return;
    /* The password lives in the credentials' memory: wipe it before it goes. */
    const char* password = cli_credentials_get_password(session->credentials);
    if (password != NULL)
        memset((char*)password, 0, strlen(password));
    talloc_free(session);
}

uint32_t tw_samr_enum_users(tw_samr_session* session, uint32_t acb_mask, uint32_t page_bytes,
                            tw_samr_name_sink sink, void* context) {
    uint32_t resume = 0;
    uint32_t status = kStatusMoreEntries;
    while (status == kStatusMoreEntries) {
        TALLOC_CTX* memory = talloc_new(session->memory);
        struct samr_SamArray* page = NULL;
        uint32_t count = 0;
        uint32_t asked = resume;
        struct samr_EnumDomainUsers r = {0};
        r.in.domain_handle = &session->domain;
        r.in.acct_flags = acb_mask;
        r.in.max_size = page_bytes;
        r.in.resume_handle = &resume;
        r.out.resume_handle = &resume;
        r.out.sam = &page;
        r.out.num_entries = &count;
        status = call(session, memory, NDR_SAMR_ENUMDOMAINUSERS, &r, &r.out.result);
        if (status == 0 || status == kStatusMoreEntries) {
            for (uint32_t i = 0; page != NULL && i < page->count; ++i) {
                uint32_t refused =
                    sink(context, page->entries[i].name.string, page->entries[i].idx);
                if (refused != 0) {
                    status = refused;
                    break;
                }
            }
            /* A server that promises more but does not move on would never end. */
            if (status == kStatusMoreEntries && (page == NULL || page->count == 0) &&
                resume == asked)
                status = kStatusInvalidParameter;
        }
        talloc_free(memory);
    }
    return status;
}

static tw_samr_text text_of(const struct lsa_String* s) {
    tw_samr_text t = {s->string};
    return t;
}

/* The open account's UserAllInformation, in memory; a server that answers
   with none gives an invalid parameter. */
static uint32_t query_all(tw_samr_session* session, TALLOC_CTX* memory,
                          struct policy_handle* user, union samr_UserInfo** info) {
    struct samr_QueryUserInfo query = {0};
    query.in.user_handle = user;
    query.in.level = UserAllInformation;
    query.out.info = info;
    uint32_t status = call(session, memory, NDR_SAMR_QUERYUSERINFO, &query, &query.out.result);
    if (status == 0 && *info == NULL)
        status = kStatusInvalidParameter;
    return status;
}

/* Opens the account with that relative ID, with what rights the caller has. */
static uint32_t open_user_by_rid(tw_samr_session* session, TALLOC_CTX* memory, uint32_t rid,
                                 struct policy_handle* user) {
    struct samr_OpenUser open = {0};
    open.in.domain_handle = &session->domain;
    open.in.access_mask = SEC_FLAG_MAXIMUM_ALLOWED;
    open.in.rid = rid;
    open.out.user_handle = user;
    return call(session, memory, NDR_SAMR_OPENUSER, &open, &open.out.result);
}

/* Looks up and opens the account of that name; an unknown name, or a name
   that is not an account, is "no such user". */
static uint32_t lookup_and_open_user(tw_samr_session* session, TALLOC_CTX* memory, const char* name,
                                     struct policy_handle* user, uint32_t* rid) {
    struct lsa_String account = {0};
    struct samr_Ids rids = {0}, types = {0};
    struct samr_LookupNames lookup = {0};
    account.string = name;
    lookup.in.domain_handle = &session->domain;
    lookup.in.num_names = 1;
    lookup.in.names = &account;
    lookup.out.rids = &rids;
    lookup.out.types = &types;
    uint32_t status = call(session, memory, NDR_SAMR_LOOKUPNAMES, &lookup, &lookup.out.result);
    if (status == kStatusNoneMapped)
        return kStatusNoSuchUser;
    if (status != 0)
        return status;
    if (rids.count != 1 || types.count != 1 || rids.ids == NULL || types.ids == NULL ||
        types.ids[0] != kSidNameUser)
        return kStatusNoSuchUser;
    *rid = rids.ids[0];
    return open_user_by_rid(session, memory, *rid, user);
}

uint32_t tw_samr_query_listed_user(tw_samr_session* session, uint32_t rid, tw_samr_user* user) {
    memset(user, 0, sizeof *user);
    TALLOC_CTX* memory = talloc_new(session->memory);
    if (memory == NULL)
        return kStatusNoMemory;
    struct policy_handle handle = {0};
    uint32_t status = open_user_by_rid(session, memory, rid, &handle);
    if (status == 0) {
        union samr_UserInfo* info = NULL;
        status = query_all(session, memory, &handle, &info);
        if (status == 0) {
            const struct samr_UserInfo21* all = &info->info21;
            user->name = text_of(&all->account_name);
            user->full_name = text_of(&all->full_name);
            user->description = text_of(&all->description);
            user->rid = all->rid;
            user->acct_flags = all->acct_flags;
            user->password_expired = all->password_expired;
        }
        close_handle(session, &handle);
    }
    if (status != 0) {
        talloc_free(memory);
        return status;
    }
    user->memory = memory;
    return 0;
}

uint32_t tw_samr_query_display(tw_samr_session* session, uint32_t page_bytes,
                               tw_samr_display_sink sink, void* context) {
    uint32_t start = 0;
    uint32_t status = kStatusMoreEntries;
    while (status == kStatusMoreEntries) {
        TALLOC_CTX* memory = talloc_new(session->memory);
        if (memory == NULL)
            return kStatusNoMemory;
        uint32_t total_size = 0, returned_size = 0;
        union samr_DispInfo info;
        memset(&info, 0, sizeof info);
        struct samr_QueryDisplayInfo r = {0};
        r.in.domain_handle = &session->domain;
        r.in.level = 1; /* DomainDisplayUser */
        r.in.start_idx = start;
        r.in.max_entries = 0xFFFFFFFF; /* as many as page_bytes holds */
        r.in.buf_size = page_bytes;
        r.out.total_size = &total_size;
        r.out.returned_size = &returned_size;
        r.out.info = &info;
        status = call(session, memory, NDR_SAMR_QUERYDISPLAYINFO, &r, &r.out.result);
        uint32_t count = 0;
        if (status == 0 || status == kStatusMoreEntries) {
            count = info.info1.entries != NULL ? info.info1.count : 0;
            for (uint32_t i = 0; i < count && (status == 0 || status == kStatusMoreEntries); ++i) {
                const struct samr_DispEntryGeneral* e = &info.info1.entries[i];
                tw_samr_user user;
                memset(&user, 0, sizeof user);
                user.name = text_of(&e->account_name);
                user.full_name = text_of(&e->full_name);
                user.description = text_of(&e->description);
                user.rid = e->rid;
                user.acct_flags = e->acct_flags;
                uint32_t refused = sink(context, &user);
                if (refused != 0)
                    status = refused;
            }
            /* A server that promises more but gives none would never end. */
            if (status == kStatusMoreEntries && count == 0)
                status = kStatusInvalidParameter;
        }
        start += count;
        talloc_free(memory);
    }
    return status;
}

/* The account of that name, opened in a memory context of its own for the
   call; the context is freed here when the account cannot be opened. */
static uint32_t open_user(tw_samr_session* session, const char* name, TALLOC_CTX** memory,
                          struct policy_handle* user, uint32_t* rid) {
    *memory = talloc_new(session->memory);
    if (*memory == NULL)
        return kStatusNoMemory;
    uint32_t status = lookup_and_open_user(session, *memory, name, user, rid);
    if (status != 0) {
        talloc_free(*memory);
        *memory = NULL;
    }
    return status;
}

static struct dom_sid account_sid(const tw_samr_session* session, uint32_t rid) {
    struct dom_sid sid = *session->domain_sid;
    if (sid.num_auths < 15)
        sid.sub_auths[sid.num_auths++] = rid;
    return sid;
}

static struct security_descriptor* query_dacl(tw_samr_session* session, TALLOC_CTX* memory,
                                              struct policy_handle* user, uint32_t* status) {
    struct sec_desc_buf* buffer = NULL;
    struct samr_QuerySecurity r = {0};
    r.in.handle = user;
    r.in.sec_info = SECINFO_DACL;
    r.out.sdbuf = &buffer;
    *status = call(session, memory, NDR_SAMR_QUERYSECURITY, &r, &r.out.result);
    if (*status != 0)
        return NULL;
    return buffer != NULL ? buffer->sd : NULL;
}

/* Whether the DACL grants the change-password right to everyone or to the
   account itself. */
static bool grants_change(const struct security_descriptor* sd, const struct dom_sid* self) {
    struct dom_sid world = world_sid();
    if (sd == NULL || sd->dacl == NULL)
        return true; /* no DACL: nothing is denied */
    for (uint32_t i = 0; i < sd->dacl->num_aces; ++i) {
        const struct security_ace* ace = &sd->dacl->aces[i];
        if (ace->type == SEC_ACE_TYPE_ACCESS_ALLOWED &&
            (ace->access_mask & SAMR_USER_ACCESS_CHANGE_PASSWORD) != 0 &&
            (same_sid(&ace->trustee, &world) || same_sid(&ace->trustee, self)))
            return true;
    }
    return false;
}

static uint32_t alias_membership(tw_samr_session* session, TALLOC_CTX* memory, struct dom_sid* sid,
                                 tw_samr_user* user) {
    struct lsa_SidPtr pointer = {sid};
    struct lsa_SidArray sids = {1, &pointer};
    struct samr_Ids rids = {0};
    struct samr_GetAliasMembership r = {0};
    r.in.domain_handle = &session->builtin;
    r.in.sids = &sids;
    r.out.rids = &rids;
    uint32_t status = call(session, memory, NDR_SAMR_GETALIASMEMBERSHIP, &r, &r.out.result);
    for (uint32_t i = 0; status == 0 && rids.ids != NULL && i < rids.count; ++i) {
        if (user->builtin_alias_count < sizeof user->builtin_alias_rids / sizeof(uint32_t))
            user->builtin_alias_rids[user->builtin_alias_count++] = rids.ids[i];
    }
    return status;
}

uint32_t tw_samr_query_user(tw_samr_session* session, const char* name, tw_samr_user* user) {
    memset(user, 0, sizeof *user);
    TALLOC_CTX* memory = NULL;
    struct policy_handle handle = {0};
    uint32_t rid = 0;
    uint32_t status = open_user(session, name, &memory, &handle, &rid);
    if (status != 0)
        return status;
    union samr_UserInfo* info = NULL;
    status = query_all(session, memory, &handle, &info);
    struct dom_sid self = account_sid(session, rid);
    if (status == 0) {
        const struct samr_UserInfo21* all = &info->info21;
        user->name = text_of(&all->account_name);
        user->full_name = text_of(&all->full_name);
        user->home_directory = text_of(&all->home_directory);
        user->home_drive = text_of(&all->home_drive);
        user->logon_script = text_of(&all->logon_script);
        user->profile_path = text_of(&all->profile_path);
        user->description = text_of(&all->description);
        user->workstations = text_of(&all->workstations);
        user->comment = text_of(&all->comment);
        user->parameters = (const uint8_t*)all->parameters.array;
        user->parameters_bytes = all->parameters.array ? all->parameters.length : 0;
        user->last_logon = all->last_logon;
        user->last_logoff = all->last_logoff;
        user->last_password_change = all->last_password_change;
        user->acct_expiry = all->acct_expiry;
        user->rid = all->rid;
        user->primary_gid = all->primary_gid;
        user->acct_flags = all->acct_flags;
        user->logon_hours = all->logon_hours.bits;
        user->units_per_week = all->logon_hours.bits ? all->logon_hours.units_per_week : 0;
        user->bad_password_count = all->bad_password_count;
        user->logon_count = all->logon_count;
        user->country_code = all->country_code;
        user->code_page = all->code_page;
        user->password_expired = all->password_expired;
        status = alias_membership(session, memory, &self, user);
    }
    if (status == 0) {
        uint32_t read = 0;
        struct security_descriptor* sd = query_dacl(session, memory, &handle, &read);
        /* Who may not read the DACL sees the right as granted. */
        if (read == 0) {
            user->cant_change_password = !grants_change(sd, &self);
            user->dacl_missing = sd == NULL || sd->dacl == NULL;
        }
        else if (read != kStatusAccessDenied)
            status = read;
    }
    close_handle(session, &handle);
    if (status != 0) {
        talloc_free(memory);
        memset(user, 0, sizeof *user);
        return status;
    }
    user->memory = memory;
    return 0;
}

void tw_samr_user_free(tw_samr_user* user) {
    talloc_free(user->memory);
    memset(user, 0, sizeof *user);
}

/* Grants or withdraws the change-password right of everyone and of the
   account in every ACE that names them; adds one for everyone to grant it
   where none does. */
static uint32_t set_change_right(tw_samr_session* session, TALLOC_CTX* memory,
                                 struct policy_handle* user, const struct dom_sid* self,
                                 bool grant) {
    uint32_t status = 0;
    struct security_descriptor* sd = query_dacl(session, memory, user, &status);
    if (status != 0)
        return status;
    if (sd == NULL || sd->dacl == NULL)
        return kStatusInvalidParameter;
    if (grants_change(sd, self) == grant)
        return 0;
    struct dom_sid world = world_sid();
    struct security_acl* dacl = sd->dacl;
    bool named = false;
    for (uint32_t i = 0; i < dacl->num_aces; ++i) {
        struct security_ace* ace = &dacl->aces[i];
        if (ace->type != SEC_ACE_TYPE_ACCESS_ALLOWED ||
            !(same_sid(&ace->trustee, &world) || same_sid(&ace->trustee, self)))
            continue;
        named = true;
        if (grant)
            ace->access_mask |= SAMR_USER_ACCESS_CHANGE_PASSWORD;
        else
            ace->access_mask &= ~(uint32_t)SAMR_USER_ACCESS_CHANGE_PASSWORD;
    }
    if (grant && !named) {
        struct security_ace* aces =
            talloc_realloc(memory, dacl->aces, struct security_ace, dacl->num_aces + 1);
        if (aces == NULL)
            return kStatusNoMemory;
        memset(&aces[dacl->num_aces], 0, sizeof aces[0]);
        aces[dacl->num_aces].type = SEC_ACE_TYPE_ACCESS_ALLOWED;
        aces[dacl->num_aces].access_mask = SAMR_USER_ACCESS_CHANGE_PASSWORD;
        aces[dacl->num_aces].trustee = world;
        dacl->aces = aces;
        dacl->num_aces++;
    }
    struct sec_desc_buf buffer = {0, sd};
    struct samr_SetSecurity r = {0};
    r.in.handle = user;
    r.in.sec_info = SECINFO_DACL;
    r.in.sdbuf = &buffer;
    status = call(session, memory, NDR_SAMR_SETSECURITY, &r, &r.out.result);
    if (status != 0)
        return status;
    /* Some servers (a Samba AD domain controller) answer success and keep
       nothing: what they keep is read back, never taken on trust. */
    sd = query_dacl(session, memory, user, &status);
    if (status != 0)
        return status;
    return grants_change(sd, self) == grant ? 0 : kStatusNotSupported;
}

uint32_t tw_samr_set_user(tw_samr_session* session, const char* name, uint32_t acb_flags,
                          int cant_change_password, int password_expired) {
    TALLOC_CTX* memory = NULL;
    struct policy_handle handle = {0};
    uint32_t rid = 0;
    uint32_t status = open_user(session, name, &memory, &handle, &rid);
    if (status != 0)
        return status;
    /* The right first: a server that cannot keep it refuses the whole
       change before any bit is written. */
    if (cant_change_password >= 0) {
        struct dom_sid self = account_sid(session, rid);
        status = set_change_right(session, memory, &handle, &self, cant_change_password == 0);
    }
    if (status == 0) {
        union samr_UserInfo info;
        memset(&info, 0, sizeof info);
        info.info16.acct_flags = acb_flags;
        struct samr_SetUserInfo set = {0};
        set.in.user_handle = &handle;
        set.in.level = UserControlInformation;
        set.in.info = &info;
        status = call(session, memory, NDR_SAMR_SETUSERINFO, &set, &set.out.result);
    }
    /* An expired password must be changed at the next logon; one that is
       no longer expired counts from now. */
    if (status == 0 && password_expired >= 0) {
        union samr_UserInfo info;
        memset(&info, 0, sizeof info);
        info.info21.fields_present = SAMR_FIELD_EXPIRED_FLAG;
        info.info21.password_expired = password_expired ? PASS_MUST_CHANGE_AT_NEXT_LOGON : 0;
        struct samr_SetUserInfo set = {0};
        set.in.user_handle = &handle;
        set.in.level = UserAllInformation;
        set.in.info = &info;
        status = call(session, memory, NDR_SAMR_SETUSERINFO, &set, &set.out.result);
    }
    close_handle(session, &handle);
    talloc_free(memory);
    return status;
}

static uint32_t query_domain(tw_samr_session* session, TALLOC_CTX* memory,
                             enum samr_DomainInfoClass level, union samr_DomainInfo** info) {
    struct samr_QueryDomainInfo r = {0};
    r.in.domain_handle = &session->domain;
    r.in.level = level;
    r.out.info = info;
    uint32_t status = call(session, memory, NDR_SAMR_QUERYDOMAININFO, &r, &r.out.result);
    if (status == 0 && *info == NULL)
        status = kStatusInvalidParameter;
    return status;
}

static uint32_t set_domain(tw_samr_session* session, enum samr_DomainInfoClass level,
                           union samr_DomainInfo* info) {
    struct samr_SetDomainInfo r = {0};
    r.in.domain_handle = &session->domain;
    r.in.level = level;
    r.in.info = info;
    return call(session, session->memory, NDR_SAMR_SETDOMAININFO, &r, &r.out.result);
}

uint32_t tw_samr_query_policy(tw_samr_session* session, tw_samr_policy* policy) {
    memset(policy, 0, sizeof *policy);
    TALLOC_CTX* memory = talloc_new(session->memory);
    if (memory == NULL)
        return kStatusNoMemory;
    union samr_DomainInfo* info = NULL;
    uint32_t status = query_domain(session, memory, DomainPasswordInformation, &info);
    if (status == 0) {
        policy->min_password_length = info->info1.min_password_length;
        policy->password_history_length = info->info1.password_history_length;
        policy->password_properties = info->info1.password_properties;
        policy->max_password_age = info->info1.max_password_age;
        policy->min_password_age = info->info1.min_password_age;
        status = query_domain(session, memory, DomainLogoffInformation, &info);
    }
    if (status == 0) {
        policy->force_logoff_time = info->info3.force_logoff_time;
        status = query_domain(session, memory, DomainLockoutInformation, &info);
    }
    if (status == 0) {
        policy->lockout_duration = info->info12.lockout_duration;
        policy->lockout_window = info->info12.lockout_window;
        policy->lockout_threshold = info->info12.lockout_threshold;
    }
    talloc_free(memory);
    return status;
}

uint32_t tw_samr_set_policy(tw_samr_session* session, const tw_samr_policy* policy, unsigned parts,
                            unsigned* refused) {
    *refused = 0;
    const struct {
        unsigned part;
        enum samr_DomainInfoClass level;
    } requests[] = {{TW_SAMR_PASSWORD_PART, DomainPasswordInformation},
                    {TW_SAMR_LOGOFF_PART, DomainLogoffInformation},
                    {TW_SAMR_LOCKOUT_PART, DomainLockoutInformation}};
    for (size_t i = 0; i < sizeof requests / sizeof requests[0]; ++i) {
        if ((parts & requests[i].part) == 0)
            continue;
        union samr_DomainInfo info;
        memset(&info, 0, sizeof info);
        switch (requests[i].level) {
        case DomainPasswordInformation:
            info.info1.min_password_length = policy->min_password_length;
            info.info1.password_history_length = policy->password_history_length;
            info.info1.password_properties = policy->password_properties;
            info.info1.max_password_age = policy->max_password_age;
            info.info1.min_password_age = policy->min_password_age;
            break;
        case DomainLogoffInformation:
            info.info3.force_logoff_time = policy->force_logoff_time;
            break;
        default:
            info.info12.lockout_duration = policy->lockout_duration;
            info.info12.lockout_window = policy->lockout_window;
            info.info12.lockout_threshold = policy->lockout_threshold;
            break;
        }
        uint32_t status = set_domain(session, requests[i].level, &info);
        if (status != 0) {
            *refused = requests[i].part;
            return status;
        }
    }
    return 0;
}

uint32_t tw_samr_status_to_win32(uint32_t status) {
    return W_ERROR_V(ntstatus_to_werror(NT_STATUS(status)));
}
