#!/usr/bin/env bash
# Checks what `cmake --install` and `cpack -G DEB` make of a built tree.
#   check-install.sh files|metadata|man-pages|deb <build folder>
# Each check installs into its own temporary folder, as a packager's DESTDIR.
set -euo pipefail

check="$1"
build="$2"
here="$(cd "$(dirname "$0")" && pwd)"
work="$(mktemp -d /tmp/brisvane-install.XXXXXX)"
trap 'rm -rf "$work"' EXIT
failures=0

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

expected_files() {
    grep -v '^#' "$here/expected-files.txt" | sort
}

# Installs into $work/root with the prefix /usr; prints nothing unless it fails.
install_tree() {
    DESTDIR="$work/root" cmake --install "$build" --prefix /usr >"$work/install.log" 2>&1 ||
        { cat "$work/install.log" >&2; exit 1; }
    prefix="$work/root/usr"
}

# Width and height from a PNG's header.
png_size() {
    od -An -tu1 -j16 -N8 "$1" | awk '{ printf "%dx%d\n", $3 * 256 + $4, $7 * 256 + $8 }'
}

case "$check" in
files)
    install_tree
    # Exactly the expected files: a missing one breaks the desktop, an extra one is a stray rule.
    diff -u <(expected_files) <(cd "$prefix" && find . -type f -o -type l | sed 's|^\./||' | sort) ||
        fail "installed files differ from expected-files.txt"
    for program in brisvane brisvane-modem; do
        [ -x "$prefix/bin/$program" ] || fail "bin/$program is not executable"
    done
    for png in "$prefix"/share/icons/hicolor/*x*/apps/brisvane.png; do
        want="$(basename "$(dirname "$(dirname "$png")")")"
        got="$(png_size "$png")"
        [ "$got" = "$want" ] || fail "$png is $got, not $want"
    done
    ;;
metadata)
    install_tree
    desktop="$prefix/share/applications/org.brisvane.brisvane.desktop"
    metainfo="$prefix/share/metainfo/org.brisvane.brisvane.metainfo.xml"
    # Hints too: a missing main category hides the entry in a catch-all menu.
    if ! report="$(desktop-file-validate "$desktop" 2>&1)" || [ -n "$report" ]; then
        fail "desktop-file-validate: $report"
    fi
    appstreamcli validate --no-net --pedantic "$metainfo" || fail "appstreamcli validate"
    # The tree as a whole: the metainfo's launchable is the installed desktop entry.
    appstreamcli validate-tree --no-net --pedantic "$work/root" || fail "appstreamcli validate-tree"
    # The entry's icon and program must be what the install provides.
    icon="$(sed -n 's/^Icon=//p' "$desktop")"
    [ -f "$prefix/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "no scalable icon named $icon"
    exec_program="$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")"
    [ -x "$prefix/bin/$exec_program" ] || fail "Exec names $exec_program, which is not installed"
    version="$("$build/brisvane-modem" --version | awk '{ print $2 }')"
    grep -q "<release version=\"$version\"" "$metainfo" || fail "the metainfo's release is not $version"
    ;;
man-pages)
    install_tree
    # Every option a program takes is described, so a page cannot fall behind its program.
    for program in brisvane brisvane-modem; do
        page="$work/$program.1"
        gzip -dc "$prefix/share/man/man1/$program.1.gz" >"$page" || { fail "$program.1.gz is not gzip"; continue; }
        options="$("$build/$program" --help | grep -o -- '--[a-z][a-z0-9-]*' | sort -u)"
        [ -n "$options" ] || fail "$program --help lists no options"
        for option in $options; do
            awk '/^\.TP/ { getline; print }' "$page" | grep -qF -- "${option//-/\\-}" ||
                fail "$program.1 does not describe $option"
        done
    done
    ;;
deb)
    cpack -G DEB -B "$work/deb" --config "$build/CPackConfig.cmake" >"$work/cpack.log" 2>&1 ||
        { cat "$work/cpack.log" >&2; exit 1; }
    version="$("$build/brisvane-modem" --version | awk '{ print $2 }')"
    arch="$(dpkg --print-architecture)"
    deb="$work/deb/brisvane_${version}_${arch}.deb"
    [ -f "$deb" ] || { ls "$work/deb" >&2; fail "no $(basename "$deb")"; exit 1; }
    field() { dpkg-deb -f "$deb" "$1"; }
    [ "$(field Package)" = brisvane ] || fail "Package is $(field Package)"
    [ "$(field Version)" = "$version" ] || fail "Version is $(field Version)"
    [ "$(field Architecture)" = "$arch" ] || fail "Architecture is $(field Architecture)"
    [ "$(field Section)" = comm ] || fail "Section is $(field Section)"
    [ -n "$(field Maintainer)" ] || fail "no Maintainer"
    [ -n "$(field Description)" ] || fail "no Description"
    # Computed from the programs: the Qt libraries they link, with versions; and the SVG icon
    # engine, a plugin that nothing links.
    for library in libqt6core6 libqt6gui6 libqt6widgets6 libqt6serialport6 libqt6svg6 libc6; do
        field Depends | grep -Eq "(^|, )$library \(>= " || fail "Depends lacks $library: $(field Depends)"
    done
    diff -u <(expected_files | sed 's|^|usr/|') \
        <(dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sed 's|^\./||' | sort) ||
        fail "the package's files differ from expected-files.txt"
    ;;
*)
    echo "unknown check: $check" >&2
    exit 2
    ;;
esac

[ "$failures" -eq 0 ]
