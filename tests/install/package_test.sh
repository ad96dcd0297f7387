#!/usr/bin/env bash
# Builds the Debian package with scripts/package (dpkg-buildpackage, lintian
# included), checks what a reviewer checks (hardening, debug symbols, the file
# type, documentation), unpacks it into a temporary root and uses the unpacked
# programs with a clean environment: they must find their files through the
# package's layout, not the build tree.
#   package_test.sh BUILD_DIR SOURCE_DIR VERSION FILE_VERSION
set -euo pipefail
build=$1
source_dir=$2
source "$(dirname "$0")/program_checks.sh"

deb=$("$source_dir/scripts/package" --output "$root/out" 2>"$root/package.log") ||
    fail "scripts/package failed: $(tail -n 30 "$root/package.log")"
grep -E '^[EWIP]: ' "$root/package.log" || true # lintian's findings, for the record
arch=$(dpkg --print-architecture)
[[ $(basename "$deb") == mailvane_$3-*_$arch.deb ]] || fail "the package is named $(basename "$deb")"
dbgsym=$(dirname "$deb")/$(basename "$deb" | sed 's/^mailvane_/mailvane-dbgsym_/')
[[ -f $dbgsym ]] || fail "no debug symbols package $dbgsym beside $deb"
for tool in gio update-mime-database update-desktop-database readelf; do
    command -v "$tool" >/dev/null || fail "$tool is missing (scripts/setup installs it)"
done

# Its dependencies were computed from the binaries.
depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6widgets6 libgammu libcurl libpng; do
    [[ $depends == *"$library"* ]] || fail "Depends lacks $library: $depends"
done
[[ $(dpkg-deb -f "$deb" Recommends) == *qt6-wayland* ]] || fail "qt6-wayland is not recommended"

unpacked=$root/unpacked
dpkg-deb -x "$deb" "$unpacked"
# The programs load their modules (the window's code, the phone back ends)
# from beside the other libraries of the architecture.
modules=usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/mailvane
for file in usr/bin/mailvane usr/bin/mailvane-cli \
    $modules/mailvane-window.so $modules/mailvane-phone.so \
    usr/share/mailvane/table.dat usr/share/mailvane/Graphics_Default.ogr \
    etc/xdg/Orvex/Quill.conf \
    usr/share/applications/org.mailvane.Mailvane.desktop usr/share/mime/packages/mailvane.xml \
    usr/share/man/man1/mailvane.1.gz usr/share/man/man1/mailvane-cli.1.gz \
    usr/share/bash-completion/completions/mailvane-cli \
    usr/share/zsh/vendor-completions/_mailvane-cli \
    usr/share/doc/mailvane/copyright usr/share/doc/mailvane/changelog.Debian.gz \
    usr/share/doc/mailvane/README usr/share/doc/mailvane/examples/imap4-gprs.txt; do
    [[ -f "$unpacked/$file" ]] || fail "the package lacks /$file"
done
# png_size FILE: width and height from the PNG's header.
png_size() { od -An -tu1 -j16 -N8 "$1" | awk '{ print $1*2^24+$2*2^16+$3*256+$4 "x" $5*2^24+$6*2^16+$7*256+$8 }'; }
for size in 16 24 32 48 64 128 256 512; do
    icon=$unpacked/usr/share/icons/hicolor/${size}x$size/apps/mailvane.png
    [[ -f $icon && $(png_size "$icon") == "${size}x$size" ]] || fail "no $size px icon at /${icon#$unpacked/}"
done
for page in mailvane mailvane-cli; do
    zgrep -q 'cp /usr/share/doc/mailvane/examples/' "$unpacked/usr/share/man/man1/$page.1.gz" ||
        fail "the manual page $page(1) does not start from the installed examples"
done
# The settings name the installed skin itself, not a place seen from wherever
# the program was started.
grep -qx 'Resource%20Path="/usr/share/mailvane"' "$unpacked/etc/xdg/Orvex/Quill.conf" ||
    fail "the program settings do not name /usr/share/mailvane: $(cat "$unpacked/etc/xdg/Orvex/Quill.conf")"

# Compiled with the distribution's hardening: the stack protector and fortified
# functions in every binary, relocations read-only and bound at start. The
# debug symbols are in the dbgsym package, found by each binary's build id.
dpkg-deb -x "$dbgsym" "$root/dbgsym"
for file in usr/bin/mailvane usr/bin/mailvane-cli \
    $modules/mailvane-window.so $modules/mailvane-phone.so; do
    symbols=$(readelf --dyn-syms -W "$unpacked/$file")
    [[ $symbols == *__stack_chk_fail* ]] || fail "/$file is built without the stack protector"
    grep -qE '__[a-z0-9_]+_chk(@|$| )' <<<"${symbols//__stack_chk_fail/}" ||
        fail "/$file calls no fortified function"
    readelf -d -W "$unpacked/$file" | grep -q 'BIND_NOW' || fail "/$file is not linked with -z now"
    readelf -l -W "$unpacked/$file" | grep -q 'GNU_RELRO' || fail "/$file is not linked with -z relro"
    id=$(readelf -n "$unpacked/$file" | sed -n 's/^ *Build ID: //p')
    [[ -f $root/dbgsym/usr/lib/debug/.build-id/${id:0:2}/${id:2}.debug ]] ||
        fail "the dbgsym package has no debug symbols for /$file (build id '$id')"
done
metainfo=$(find "$unpacked/usr/share/metainfo" -name '*.metainfo.xml')
[[ -n "$metainfo" ]] || fail "the package has no metainfo"
[[ $(dpkg-deb -I "$deb" conffiles) == /etc/xdg/Orvex/Quill.conf ]] ||
    fail "the program settings are not a conffile"

# What software centres read; the metainfo names the desktop entry by its file name.
desktop=$unpacked/usr/share/applications/org.mailvane.Mailvane.desktop
desktop-file-validate "$desktop" || fail "desktop-file-validate rejects the desktop entry"
grep -q '<launchable type="desktop-id">org.mailvane.Mailvane.desktop</launchable>' "$metainfo" ||
    fail "the metainfo does not launch org.mailvane.Mailvane.desktop"
appstreamcli validate --no-net "$metainfo" >"$root/appstream.txt" 2>&1 ||
    fail "appstreamcli rejects the metainfo: $(cat "$root/appstream.txt")"

# Settings files are their own file type, told from other text by the first
# line; only that type opens Mailvane. The databases are built as the package's
# triggers build them on installation.
# (It notes that the folder is not where the system looks: this test names it.)
said=$(update-mime-database "$unpacked/usr/share/mime" 2>&1) || fail "update-mime-database: $said"
update-desktop-database "$unpacked/usr/share/applications"
printf 'shopping list\n' >"$root/notes.txt"
desktop_env=("${clean_env[@]}" PATH="$unpacked/usr/bin:/usr/bin:/bin"
    XDG_DATA_DIRS="$unpacked/usr/share:/usr/share" XDG_DATA_HOME="$root/home/share")
type_of() { "${desktop_env[@]}" gio info -a standard::content-type "$1" | sed -n 's/^ *standard::content-type: //p'; }
[[ $(type_of "$source_dir/examples/imap4-gprs.txt") == application/x-mailvane-settings ]] ||
    fail "a settings file is of type '$(type_of "$source_dir/examples/imap4-gprs.txt")'"
[[ $(type_of "$root/notes.txt") == text/plain ]] || fail "a text file is of type '$(type_of "$root/notes.txt")'"
said=$("${desktop_env[@]}" gio mime application/x-mailvane-settings)
[[ $(head -n 1 <<<"$said") == *": org.mailvane.Mailvane.desktop" ]] ||
    fail "settings files do not open Mailvane: $said"
said=$("${desktop_env[@]}" gio mime text/plain)
[[ $said != *mailvane* ]] || fail "Mailvane claims every text file: $said"

check_cli_encodes "$unpacked/usr/bin/mailvane-cli" "$build/cli/mailvane-cli"
# The phone named in the package's program settings is read by the phone back
# ends' module (it reads the settings store), which the unpacked program finds
# by the package's layout.
mkdir -p "$root/phone"
printf 'Alice;+4511111111\n' >"$root/phone/contacts.txt"
printf '\n[Phone]\nDevice=sim:%s\n' "$root/phone" >>"$unpacked/etc/xdg/Orvex/Quill.conf"
use_data_folder "$unpacked/etc/xdg/Orvex/Quill.conf" "$unpacked/usr/share/mailvane"
contacts=$("${clean_env[@]}" "$unpacked/usr/bin/mailvane-cli" contacts 2>&1) ||
    fail "the unpacked mailvane-cli does not reach the phone its settings name: $contacts"
[[ "$contacts" == *"+4511111111"* ]] || fail "contacts of the configured phone missing: $contacts"
check_version "$unpacked/usr/bin/mailvane-cli" mailvane-cli "$3"
check_version "$unpacked/usr/bin/mailvane" mailvane "$3" "$4"
check_window_program "$unpacked/usr/bin/mailvane" || exit 0
echo "the unpacked package's programs found their token table, settings, version and skin"
