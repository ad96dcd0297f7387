#!/usr/bin/env bash
# Installs the build into a fresh prefix and uses the installed programs the way
# a person who installed them does.
#   installed_program_test.sh BUILD_DIR SOURCE_DIR VERSION FILE_VERSION
set -euo pipefail
build=$1
source_dir=$2
source "$(dirname "$0")/program_checks.sh"

prefix=$root/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null

# The token table is found relative to the installed program.
check_cli_encodes "$prefix/bin/mailvane-cli" "$build/cli/mailvane-cli"

# The installed program settings are read without XDG_CONFIG_DIRS: a phone
# named there is the one the installed mailvane-cli reaches. They name the
# skin of the prefix the build was made for; this one is elsewhere.
conf=$(find "$prefix" -name Quill.conf)
[[ -n "$conf" ]] || fail "no program settings were installed"
use_data_folder "$conf" "$prefix/share/mailvane"
mkdir -p "$root/phone"
printf 'Alice;+4511111111\n' >"$root/phone/contacts.txt"
printf '\n[Phone]\nDevice=sim:%s\n' "$root/phone" >>"$conf"
contacts=$("${clean_env[@]}" "$prefix/bin/mailvane-cli" contacts) ||
    fail "the installed mailvane-cli does not reach the phone its settings name"
[[ "$contacts" == *"+4511111111"* ]] || fail "contacts of the configured phone missing: $contacts"

check_version "$prefix/bin/mailvane-cli" mailvane-cli "$3"
check_version "$prefix/bin/mailvane" mailvane "$3" "$4"

# The manual pages and the completions are where man, bash-completion and zsh look.
for page in mailvane.1 mailvane-cli.1; do
    [[ -f "$prefix/share/man/man1/$page" ]] || fail "the manual page $page was not installed"
done
[[ -f "$prefix/share/bash-completion/completions/mailvane-cli" ]] ||
    fail "the bash completion was not installed"
[[ -f "$prefix/share/zsh/vendor-completions/_mailvane-cli" ]] ||
    fail "the zsh completion was not installed"

# The phone back ends (libgammu, libcurl, the settings store) are a module
# loaded only for a phone: without it mailvane-cli still encodes, and a phone
# command says what is missing instead of crashing or claiming success.
module=$(find "$prefix" -name mailvane-phone.so)
[[ -n "$module" ]] || fail "the phone back ends were not installed"
rm "$module"
check_cli_encodes "$prefix/bin/mailvane-cli" "$build/cli/mailvane-cli"
if said=$("${clean_env[@]}" "$prefix/bin/mailvane-cli" contacts --phone gammu 2>&1); then
    fail "contacts without the phone back ends succeeded: $said"
fi
[[ "$said" == *"cannot load the phone back ends"* ]] ||
    fail "contacts without the phone back ends does not say so: $said"

# The installed window program finds its skin and token table.
check_window_program "$prefix/bin/mailvane" || exit 0

# A later start hands its FILE to the running window from the program file
# alone, without the window's code; a first start without that code says so.
module=$(find "$prefix" -name mailvane-window.so)
[[ -n "$module" ]] || fail "the window's module was not installed"
rm "$module"
second=("${clean_env[@]}" DISPLAY=":$display" XDG_RUNTIME_DIR="$root/runtime" "$prefix/bin/mailvane")
said=$("${second[@]}" "$source_dir/examples/imap4-gprs.txt" 2>&1) ||
    fail "a later start did not hand its file to the running window: $said"
kill "$window_pid"
wait "$window_pid" 2>/dev/null || true
if said=$("${second[@]}" 2>&1); then
    fail "mailvane without the window's module succeeded: $said"
fi
[[ "$said" == *"cannot load the window's code"* ]] ||
    fail "mailvane without the window's module does not say so: $said"
echo "installed programs found their token table, settings, version and skin"
