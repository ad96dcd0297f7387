# Checks shared by the tests that use Mailvane as installed (cmake --install
# into a prefix, or the Debian package unpacked into a folder): a clean
# environment (a new HOME, no XDG_CONFIG_DIRS), started from a folder that
# holds nothing of ours. Sourced, not run; the test sets `source_dir`.

# A temporary folder for the test; removed, and what was started ended, at exit.
root=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$root"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

mkdir -p "$root/home" "$root/work"
cd "$root/work"
clean_env=(env -i HOME="$root/home" PATH=/usr/bin:/bin LANG=C.UTF-8)
# A token table planted in the folder the programs start from: an installed
# program reads only its own, so this one must change nothing.
printf '# planted: no tokens\n' >"$root/work/table.dat"

# check_cli_encodes CLI REFERENCE_CLI: the installed CLI finds its token table
# and encodes an example as the reference (the build's, given the source's
# table) does.
check_cli_encodes() {
    local example=$source_dir/examples/imap4-gprs.txt expected actual
    expected=$("$2" encode "$example" --pin 1234 --format push --table "$source_dir/data/table.dat")
    actual=$("${clean_env[@]}" "$1" encode "$example" --pin 1234 --format push) ||
        fail "$1 cannot encode an example"
    [[ "$actual" == "$expected" ]] || fail "$1 encodes differently from $2"
}

# check_version PROGRAM NAME VERSION FILE_VERSION: --version names the program
# and version, and the program file carries the version record the About box reads.
check_version() {
    local said
    said=$("${clean_env[@]}" "$1" --version) || fail "$1 --version failed"
    [[ "$said" == "$2 $3" ]] || fail "$1 --version says '$said', not '$2 $3'"
    if [[ -n "${4:-}" ]]; then
        grep -aq "MAILVANE-FILE-VERSION=$4" "$1" || fail "$1 carries no version record $4"
    fi
}

# use_data_folder CONF DATA_DIR: the installed program settings CONF name the
# skin in DATA_DIR, as after moving an installation to another place.
use_data_folder() {
    grep -q '^Resource%20Path=' "$1" || fail "$1 names no skin folder"
    sed -i "s|^Resource%20Path=.*|Resource%20Path=\"$2\"|" "$1"
}

# check_window_program PROGRAM: started on an X server of its own, the window
# program shows its window and says nothing about a missing skin or token table.
# Returns 1 (after saying why) when Xvfb or xdotool is missing. The program keeps
# running; `display`, `window_pid` and $root/runtime are its display, process and
# runtime folder.
check_window_program() {
    command -v Xvfb >/dev/null && command -v xdotool >/dev/null || {
        echo "SKIP the window check: Xvfb or xdotool missing"; return 1; }
    Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x1024x24 3>"$root/display" >/dev/null 2>&1 &
    pids+=($!)
    for _ in $(seq 200); do [[ -s "$root/display" ]] && break; sleep 0.1; done
    display=$(cat "$root/display")
    [[ -n "$display" ]] || fail "Xvfb did not start"
    # A session's runtime folder, where the program keeps its lock and socket.
    mkdir -m 700 -p "$root/runtime"
    "${clean_env[@]}" DISPLAY=":$display" XDG_RUNTIME_DIR="$root/runtime" MAILVANE_PHONE=none "$1" \
        >"$root/out.txt" 2>"$root/err.txt" &
    window_pid=$!
    pids+=($!)
    # The main window's title is the name and seven blanks; the splash before it
    # is titled with the name alone.
    DISPLAY=":$display" timeout 30 xdotool search --sync --onlyvisible --name '^Mailvane {7}$' >/dev/null ||
        fail "$1 showed no main window: $(cat "$root/err.txt")"
    if grep -q "without its skin" "$root/err.txt"; then
        fail "$1 has no skin: $(cat "$root/err.txt")"
    fi
    if grep -q "token table" "$root/err.txt"; then
        fail "$1 has no token table: $(cat "$root/err.txt")"
    fi
}
