#!/bin/bash
# The programs and modules that must start without Qt name no Qt library
# among the libraries they need: the program file (it loads the window's
# module only when a window is wanted), mailvane-cli (send and contacts go
# through the phone layer) and the phone module.
#   no_qt_test.sh FILE...
set -u
if ! command -v readelf >/dev/null; then
    # Under CI a missing tool is a broken install step, never a skip.
    [[ ${CI:-} == true ]] && { echo "FAIL: readelf is missing (binutils comes with the compiler scripts/setup installs)"; exit 1; }
    echo "SKIP: readelf is missing"; exit 77
fi
status=0
for file in "$@"; do
    needed=$(readelf -d -W "$file" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p') ||
        { echo "FAIL: readelf cannot read $file"; status=1; continue; }
    [[ -n $needed ]] || { echo "FAIL: $file needs no library at all: not what readelf should say"; status=1; }
    if qt=$(grep -i '^libQt' <<<"$needed"); then
        echo "FAIL: $file needs $(tr '\n' ' ' <<<"$qt")"
        status=1
    fi
done
exit $status
