#!/usr/bin/env bash
# Builds the Debian package with scripts/package (lintian included), unpacks it
# into a temporary root and uses the unpacked programs with a clean environment:
# they must find their files through the package's layout, not the build tree.
#   package_test.sh BUILD_DIR SOURCE_DIR VERSION FILE_VERSION
set -euo pipefail
build=$1
source_dir=$2
source "$(dirname "$0")/program_checks.sh"

deb=$("$source_dir/scripts/package" --output "$root/out" 2>"$root/package.log") ||
    fail "scripts/package failed: $(tail -n 30 "$root/package.log")"
grep -E '^[EW]: ' "$root/package.log" || true # lintian's warnings, for the record
[[ $(basename "$deb") == mailvane_$3-*_$(dpkg --print-architecture).deb ]] ||
    fail "the package is named $(basename "$deb")"

# Its dependencies were computed from the binaries.
depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6widgets6 libgammu libcurl libpng; do
    [[ $depends == *"$library"* ]] || fail "Depends lacks $library: $depends"
done

unpacked=$root/unpacked
dpkg-deb -x "$deb" "$unpacked"
# The programs load their modules (the window's code, the phone back ends)
# from beside the other libraries of the architecture.
modules=usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/mailvane
for file in usr/bin/mailvane usr/bin/mailvane-cli \
    $modules/mailvane-window.so $modules/mailvane-phone.so \
    usr/share/mailvane/table.dat usr/share/mailvane/Graphics_Default.ogr \
    etc/xdg/Orvex/Quill.conf \
    usr/share/applications/mailvane.desktop usr/share/icons/hicolor/48x48/apps/mailvane.png \
    usr/share/man/man1/mailvane.1.gz usr/share/man/man1/mailvane-cli.1.gz \
    usr/share/bash-completion/completions/mailvane-cli \
    usr/share/zsh/vendor-completions/_mailvane-cli \
    usr/share/doc/mailvane/copyright usr/share/doc/mailvane/changelog.Debian.gz; do
    [[ -f "$unpacked/$file" ]] || fail "the package lacks /$file"
done
metainfo=$(find "$unpacked/usr/share/metainfo" -name '*.metainfo.xml')
[[ -n "$metainfo" ]] || fail "the package has no metainfo"
[[ $(dpkg-deb -I "$deb" conffiles) == /etc/xdg/Orvex/Quill.conf ]] ||
    fail "the program settings are not a conffile"

# What software centres read.
desktop-file-validate "$unpacked/usr/share/applications/mailvane.desktop" ||
    fail "desktop-file-validate rejects the desktop entry"
appstreamcli validate --no-net "$metainfo" >"$root/appstream.txt" 2>&1 ||
    fail "appstreamcli rejects the metainfo: $(cat "$root/appstream.txt")"

check_cli_encodes "$unpacked/usr/bin/mailvane-cli" "$build/cli/mailvane-cli"
# The phone named in the package's program settings is read by the phone back
# ends' module (it reads the settings store), which the unpacked program finds
# by the package's layout.
mkdir -p "$root/phone"
printf 'Alice;+4511111111\n' >"$root/phone/contacts.txt"
printf '\n[Phone]\nDevice=sim:%s\n' "$root/phone" >>"$unpacked/etc/xdg/Orvex/Quill.conf"
contacts=$("${clean_env[@]}" "$unpacked/usr/bin/mailvane-cli" contacts 2>&1) ||
    fail "the unpacked mailvane-cli does not reach the phone its settings name: $contacts"
[[ "$contacts" == *"+4511111111"* ]] || fail "contacts of the configured phone missing: $contacts"
check_version "$unpacked/usr/bin/mailvane-cli" mailvane-cli "$3"
check_version "$unpacked/usr/bin/mailvane" mailvane "$3" "$4"
check_window_program "$unpacked/usr/bin/mailvane" || exit 0
echo "the unpacked package's programs found their token table, settings, version and skin"
