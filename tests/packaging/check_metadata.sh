#!/usr/bin/env bash
# Checks the package's metadata with the tools Debian and the software centres
# judge it by, and that every place naming the version agrees with CMake's.
# Usage: check_metadata.sh manual-page|appstream|desktop-entry|versions VERSION
#        check_metadata.sh manual-options VERSION BINARY
set -euo pipefail
cd "$(dirname "$0")/../.."
check=$1
version=$2
id=io.github.vantorel.Vantorel

# Runs a linter that may warn and still succeed: anything it says is a failure.
silent() {
    local said
    said=$("$@" 2>&1) || { echo "$said"; return 1; }
    [[ -z "$said" ]] || { echo "$*:"; echo "$said"; return 1; }
}

case "$check" in
    manual-page)
        for page in packaging/vantorel.6 packaging/vantorel-check-replay.6; do
            silent mandoc -T lint -W all "$page"
            silent groff -man -ww -z "$page"
        done
        shown=$(MANWIDTH=80 man -l packaging/vantorel.6)
        for section in NAME SYNOPSIS DESCRIPTION OPTIONS CONTROLS ENVIRONMENT FILES "EXIT STATUS"; do
            grep -qx "$section" <<<"$shown" || { echo "man -l shows no $section"; exit 1; }
        done
        ;;
    manual-options)
        # Every option --help lists has its entry in the manual page.
        status=0
        for option in $("$3" --help | grep -o '^  --[a-z-]*'); do
            grep -qE "^\.BI? ${option//-/\\\\-}( |$)" packaging/vantorel.6 ||
                { echo "the manual page does not describe $option"; status=1; }
        done
        exit $status
        ;;
    appstream)
        appstreamcli validate --no-net "packaging/$id.metainfo.xml"
        launchable=$(sed -n 's:.*<launchable type="desktop-id">\(.*\)</launchable>.*:\1:p' \
            "packaging/$id.metainfo.xml")
        [[ -f "packaging/$launchable" ]] || { echo "no desktop entry $launchable"; exit 1; }
        ;;
    desktop-entry)
        silent desktop-file-validate "packaging/$id.desktop"
        ;;
    versions)
        debian=$(dpkg-parsechangelog -l debian/changelog -S Version)
        release=$(grep -m1 -o '<release version="[^"]*"' "packaging/$id.metainfo.xml" | cut -d'"' -f2)
        status=0
        [[ "${debian%-*}" == "$version" ]] ||
            { echo "debian/changelog is at $debian, CMake at $version"; status=1; }
        [[ "$release" == "$version" ]] ||
            { echo "the newest release in the metainfo is $release, CMake is at $version"; status=1; }
        exit $status
        ;;
    *)
        echo "check_metadata: unknown check '$check'" >&2
        exit 2
        ;;
esac
