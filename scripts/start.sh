#!/usr/bin/env bash
# Installs what is missing, builds the program, gives the current user a
# mailbox in a local post office when no post office is configured yet, and
# starts the program (arguments are passed on: "0" compose, "1"+id open).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release -j "$(nproc)"

tool=build/release/tools/postoffice/telvora-postoffice
config_home=${XDG_CONFIG_HOME:-$HOME/.config}
data_home=${XDG_DATA_HOME:-$HOME/.local/share}
profile="$config_home/Telvora/mailprofile.ini"

if [ -n "${TELVORA_POSTOFFICE:-}" ]; then
    echo "Using the post office named by TELVORA_POSTOFFICE: $TELVORA_POSTOFFICE"
elif [ -f "$profile" ]; then
    echo "Using the post office of the mail profile $profile"
else
    postoffice="$data_home/Telvora/postoffice"
    user=$(id -un)
    display=$(getent passwd "$user" | cut -d: -f5 | cut -d, -f1)
    [ -n "$display" ] || display=$user
    mailbox=$(printf '%s' "$user" | tr -c 'A-Za-z0-9._-' '_')
    [ -d "$postoffice" ] || "$tool" init "$postoffice"
    "$tool" list "$postoffice" | cut -f1 | grep -qx "$mailbox" \
        || "$tool" add "$postoffice" "$mailbox" "$display"
    "$tool" use "$postoffice" "$mailbox"
    echo "Created a local post office in $postoffice with the mailbox \"$mailbox\" ($display)."
fi
exec build/release/src/telvora "$@"
