#!/bin/sh
# Installs the build into a temporary prefix and checks what a desktop finds
# there: exactly the expected files, icons of the sizes their folders claim,
# one application id throughout, the release matching the project version in
# the metadata and the changelog, a copyright file whose patterns all match,
# a manual page that man renders without warnings (when man is installed),
# and a desktop entry and AppStream metadata that their validators accept.
# Usage: tst_install.sh BUILD_DIR SOURCE_DIR APP_ID VERSION
# Exits 77 (skipped) when a validator is missing, unless
# FENNICK_REQUIRE_VALIDATORS=1, as in CI, turns that into a failure.
set -eu
build=$1 source=$2 id=$3 version=$4

prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

cmake --install "$build" --prefix "$prefix" >/dev/null

sizes="16 24 32 48 64 128 256"
expected=$({
    echo bin/fennick
    echo share/applications/$id.desktop
    for size in $sizes; do echo share/icons/hicolor/${size}x$size/apps/$id.png; done
    echo share/icons/hicolor/scalable/apps/$id.svg
    echo share/metainfo/$id.metainfo.xml
    echo share/doc/fennick/changelog.gz
    echo share/doc/fennick/copyright
    echo share/man/man1/fennick.1.gz
} | LC_ALL=C sort)
installed=$(cd "$prefix" && find . ! -type d | sed 's|^\./||' | LC_ALL=C sort)
if [ "$installed" != "$expected" ]; then
    fail "installed files differ from the expected list"
    printf '%s\n' "$expected" > "$prefix/.expected"
    printf '%s\n' "$installed" | diff "$prefix/.expected" - || true
fi

[ -x "$prefix/bin/fennick" ] || fail "bin/fennick is not executable"

# Each PNG must be drawn at its folder's size: width and height sit in the
# IHDR chunk, big-endian, at bytes 16 to 23.
for size in $sizes; do
    png=$prefix/share/icons/hicolor/${size}x$size/apps/$id.png
    [ -f "$png" ] || continue
    dimensions=$(od -An -tu1 -j16 -N8 "$png" | awk '{ print $3 * 256 + $4 "x" $7 * 256 + $8 }')
    [ "$dimensions" = "${size}x$size" ] || fail "$png is $dimensions, not ${size}x$size"
done

# The renders must come from the drawing as it is now.
(cd "$source/resources" && sha256sum --status -c "$source/packaging/icons/source.sha256") ||
    fail "resources/fennick-icon.svg changed since the icons were rendered: run packaging/render-icons.sh"

desktop=$prefix/share/applications/$id.desktop
metainfo=$prefix/share/metainfo/$id.metainfo.xml
if [ -f "$desktop" ]; then
    grep -qx "Exec=fennick" "$desktop" || fail "the desktop entry does not start fennick"
    grep -qx "Icon=$id" "$desktop" || fail "the desktop entry's icon is not $id"
fi
if [ -f "$metainfo" ]; then
    grep -q "<id>$id</id>" "$metainfo" || fail "the metadata's id is not $id"
    grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
        fail "the metadata does not launch $id.desktop"
    newest=$(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' "$metainfo" | head -n 1)
    [ "$newest" = "$version" ] ||
        fail "the newest release in the metadata is '$newest', the project is $version"
fi

changelog=$prefix/share/doc/fennick/changelog.gz
if [ -f "$changelog" ]; then
    # The package is native: the changelog's version is the project's, with
    # no Debian revision, and its newest entry is the metadata's newest release.
    entry=$(gzip -dc "$changelog" | head -n 1)
    [ "$entry" = "fennick ($version) unstable; urgency=medium" ] ||
        fail "the changelog's newest entry is '$entry', the project is $version"
    if [ -f "$metainfo" ]; then
        released=$(sed -n 's/.*<release version="[^"]*" date="\([^"]*\)".*/\1/p' "$metainfo" | head -n 1)
        signed=$(gzip -dc "$changelog" | sed -n 's/^ -- .*>  //p' | head -n 1)
        [ "$(date -u -d "$signed" +%F)" = "$released" ] ||
            fail "the changelog's newest entry is dated '$signed', the metadata's release $released"
    fi
fi

# Every pattern in the copyright file must still name a file, so that no
# file is renamed out of the licence it was given.
copyright=$prefix/share/doc/fennick/copyright
if [ -f "$copyright" ]; then
    patterns=$(sed -n '/^Files:/,/^[A-Z][a-z-]*:/{s/^Files://;/^[A-Z][a-z-]*:/d;p}' "$copyright")
    set -f # the patterns are expanded in the source folder only
    for pattern in $patterns; do
        (cd "$source" && set +f && set -- $pattern && [ -e "$1" ]) ||
            fail "'$pattern' in the copyright file names no file"
    done
    set +f
fi

manpage=$prefix/share/man/man1/fennick.1.gz
if [ -f "$manpage" ] && command -v man >/dev/null; then
    warnings=$(MANWIDTH=80 LC_ALL=C.UTF-8 man --warnings -E UTF-8 -l -Tutf8 -Z "$manpage" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "man warns about fennick(1): $warnings"
fi

missing=""
if [ -f "$desktop" ] && [ -f "$metainfo" ]; then
    if command -v desktop-file-validate >/dev/null; then
        desktop-file-validate "$desktop" || fail "desktop-file-validate rejects $id.desktop"
    else
        missing="$missing desktop-file-validate (desktop-file-utils)"
    fi
    if command -v appstreamcli >/dev/null; then
        appstreamcli validate --no-net "$metainfo" || fail "appstreamcli rejects $id.metainfo.xml"
    else
        missing="$missing appstreamcli (appstream)"
    fi
fi

if [ "$failures" -gt 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
if [ -n "$missing" ]; then
    echo "Installed files are right, but not validated: missing$missing."
    if [ "${FENNICK_REQUIRE_VALIDATORS:-0}" = 1 ]; then
        exit 1
    fi
    echo "SKIPPED: install the packages named above to validate."
    exit 77
fi
echo "Installed files and metadata are right."
