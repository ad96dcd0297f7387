#!/usr/bin/env bash
# Installs the build into a fresh prefix and uses the installed programs the way
# a person who installed them does: a clean environment (no XDG_CONFIG_DIRS, a
# new HOME), started from a folder that holds nothing of ours.
#   installed_program_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1
source=$2
root=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$root"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

prefix=$root/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
mkdir -p "$root/home" "$root/work" "$root/phone"
cd "$root/work"
clean_env=(env -i HOME="$root/home" PATH=/usr/bin:/bin LANG=C.UTF-8)

# The token table is found relative to the installed program.
example=$source/examples/imap4-gprs.txt
expected=$("$build/cli/mailvane-cli" encode "$example" --pin 1234 --format push)
actual=$("${clean_env[@]}" "$prefix/bin/mailvane-cli" encode "$example" --pin 1234 --format push) ||
    fail "the installed mailvane-cli cannot encode an example"
[[ "$actual" == "$expected" ]] || fail "the installed mailvane-cli encodes differently"

# The installed program settings are read without XDG_CONFIG_DIRS: a phone
# named there is the one the installed mailvane-cli reaches.
conf=$(find "$prefix" -name Quill.conf)
[[ -n "$conf" ]] || fail "no program settings were installed"
printf 'Alice;+4511111111\n' >"$root/phone/contacts.txt"
printf '\n[Phone]\nDevice=sim:%s\n' "$root/phone" >>"$conf"
contacts=$("${clean_env[@]}" "$prefix/bin/mailvane-cli" contacts) ||
    fail "the installed mailvane-cli does not reach the phone its settings name"
[[ "$contacts" == *"+4511111111"* ]] || fail "contacts of the configured phone missing: $contacts"

# The version record is in the installed program file itself.
grep -aq "MAILVANE-FILE-VERSION=$3" "$prefix/bin/mailvane" ||
    fail "the installed mailvane carries no version record $3"

# The installed window program finds its skin: started on an X server of its
# own, it shows its window and says nothing about a missing skin.
command -v Xvfb >/dev/null && command -v xdotool >/dev/null || {
    echo "SKIP the window check: Xvfb or xdotool missing"; exit 0; }
Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x1024x24 3>"$root/display" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 200); do [[ -s "$root/display" ]] && break; sleep 0.1; done
display=$(cat "$root/display")
[[ -n "$display" ]] || fail "Xvfb did not start"
"${clean_env[@]}" DISPLAY=":$display" MAILVANE_PHONE=none "$prefix/bin/mailvane" \
    >"$root/out.txt" 2>"$root/err.txt" &
pids+=($!)
DISPLAY=":$display" timeout 30 xdotool search --sync --name '^Mailvane' >/dev/null ||
    fail "the installed window program showed no window: $(cat "$root/err.txt")"
if grep -q "without its skin" "$root/err.txt"; then
    fail "the installed window program has no skin: $(cat "$root/err.txt")"
fi
echo "installed programs found their token table, settings, version and skin"
