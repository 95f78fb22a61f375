#!/usr/bin/env bash
# Runs a command where a throw-away Samba Active Directory domain controller
# can start: in private network, mount and PID namespaces, so the DC uses the
# standard ports on a loopback of its own and nothing it writes outlives the
# command.
#
#   run-in-domain.sh --template FILE.tar   provision a domain once into FILE.tar
#   run-in-domain.sh COMMAND [ARGS...]     run COMMAND in the namespaces
#
# COMMAND finds the domain's template in TW_DOMAIN_TEMPLATE (given, or made
# here on the namespace's own tmpfs when none is given) and starts the DC
# from it itself (tests/addc/DomainController). Everything the DC writes
# lives on tmpfs mounts that exist only inside the mount namespace:
# /run/samba, /var/lib/samba, /var/cache/samba and /var/log/samba (Samba's
# winbind client looks for its socket under /run/samba whatever smb.conf
# says). /etc/hosts, /etc/resolv.conf and a krb5.conf name the DC on
# 127.0.0.1. When COMMAND (PID 1 of its PID namespace) ends, or this script
# is killed, the kernel ends every process started there.
set -euo pipefail

readonly realm=AD.TARNWICK.TEST domain=TARNAD host=dc1 fqdn=dc1.ad.tarnwick.test
readonly admin_password=Admin-pw1
readonly dc=/run/samba/dc fixture=/run/samba/fixture

if [ -z "${TW_DOMAIN_NAMESPACE:-}" ]; then
    [ "$(id -u)" -eq 0 ] || { echo "run-in-domain: needs root (namespaces, mounts, port 445)" >&2; exit 77; }
    for tool in samba samba-tool smbclient ldbsearch kinit unshare; do
        command -v "$tool" >/dev/null ||
            { echo "run-in-domain: $tool is missing (tools/install-deps)" >&2; exit 1; }
    done
    # A template path is made absolute here: the namespace sees the same files.
    if [ "${1:-}" = --template ]; then
        set -- --template "$(realpath -m "$2")"
    elif [ -n "${TW_DOMAIN_TEMPLATE:-}" ]; then
        TW_DOMAIN_TEMPLATE=$(realpath "$TW_DOMAIN_TEMPLATE")
        export TW_DOMAIN_TEMPLATE
    fi
    exec unshare --net --mount --pid --fork --kill-child --mount-proc --propagation private \
        env TW_DOMAIN_NAMESPACE=1 "$(realpath "$0")" "$@"
fi

ip link set lo up
for d in /run/samba /var/lib/samba /var/cache/samba /var/log/samba; do
    mkdir -p "$d"
    mount -t tmpfs -o mode=0755 tmpfs "$d"
done
mkdir -p "$fixture"
printf '127.0.0.1 localhost\n127.0.0.1 %s %s\n' "$fqdn" "$host" >"$fixture/hosts"
mount --bind "$fixture/hosts" /etc/hosts
printf 'nameserver 127.0.0.1\n' >"$fixture/resolv.conf"
mount --bind "$fixture/resolv.conf" /etc/resolv.conf
cat >"$fixture/krb5.conf" <<EOF
[libdefaults]
    default_realm = $realm
    dns_lookup_realm = false
    dns_lookup_kdc = false
    rdns = false
    dns_canonicalize_hostname = false
[realms]
    $realm = {
        kdc = 127.0.0.1
        kpasswd_server = 127.0.0.1
        admin_server = 127.0.0.1
    }
[domain_realm]
    .ad.tarnwick.test = $realm
EOF
export KRB5_CONFIG=$fixture/krb5.conf KRB5CCNAME=FILE:$fixture/ccache
# A throw-away database needs no fsync after each record.
export TDB_NO_FSYNC=1
export TW_DOMAIN_DIR=$dc TW_DOMAIN_FIXTURE=$fixture
export TW_DOMAIN_REALM=$realm TW_DOMAIN_NAME=$domain TW_DOMAIN_HOST=$fqdn
export TW_DOMAIN_ADMIN_PASSWORD=$admin_password

# Provisions the domain into FILE: the domain itself, a policy under which
# the template's Administrator never expires and any password will do, and
# one first start (which makes the DC's TLS keys, 3 s of every later start).
make_template() {
    local template=$1 log=$fixture/provision.log samba_pid
    if ! samba-tool domain provision --targetdir="$dc" --realm="$realm" --domain="$domain" \
        --server-role=dc --dns-backend=SAMBA_INTERNAL --adminpass="$admin_password" \
        --host-name="$host" --option="netbios name = ${host^^}" \
        --option='interfaces = lo' --option='bind interfaces only = yes' \
        --option="log file = $dc/log.%m" --option="ntp signd socket directory = $dc/ntp_signd" \
        --option='load printers = no' --option='printcap name = /dev/null' \
        --option='disable spoolss = yes' >"$log" 2>&1; then
        tail -n 30 "$log" >&2
        echo "run-in-domain: provisioning failed" >&2
        return 1
    fi
    # No forwarder: the DC's DNS must never ask anybody else.
    sed -i -e '/dns forwarder = /d' "$dc/etc/smb.conf"
    samba-tool domain passwordsettings set -s "$dc/etc/smb.conf" -H "$dc/private/sam.ldb" \
        --complexity=off --min-pwd-age=0 --max-pwd-age=0 >>"$log" 2>&1
    samba -s "$dc/etc/smb.conf" -F --no-process-group -M prefork >"$fixture/samba.log" 2>&1 </dev/null &
    samba_pid=$!
    local tries=0
    until smbclient -s /dev/null "//127.0.0.1/IPC\$" -U "$domain\\Administrator%$admin_password" \
        -c exit >/dev/null 2>&1; do
        if [ $((tries += 1)) -gt 600 ]; then
            tail -n 30 "$fixture/samba.log" >&2
            echo "run-in-domain: the new DC did not answer within 60 s" >&2
            return 1
        fi
        sleep 0.1
    done
    kill -TERM "$samba_pid"
    wait "$samba_pid" || true
    rm -f /run/samba/*.pid "$dc"/*.pid
    tar -C /run/samba --warning=no-file-ignored -cf "$template.part" dc
    mv "$template.part" "$template"
    rm -rf "$dc"
}

if [ "${1:-}" = --template ]; then
    mkdir -p "$(dirname "$2")"
    make_template "$2"
    exit 0
fi
if [ -z "${TW_DOMAIN_TEMPLATE:-}" ] || [ ! -f "$TW_DOMAIN_TEMPLATE" ]; then
    # None made beforehand: one of this run's own, gone with the namespace.
    export TW_DOMAIN_TEMPLATE=$fixture/template.tar
    make_template "$TW_DOMAIN_TEMPLATE"
fi
# Not exec: this shell stays PID 1 and reaps what the DC leaves behind.
"$@"
