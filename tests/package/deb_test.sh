#!/usr/bin/env bash
# Builds the Debian package from a Release build of its own, checks its
# control fields and its file list, runs lintian on it (no errors, no
# warnings), and starts the launcher of the unpacked package from an
# unrelated folder. Exits 77 (skipped) when a tool it needs is missing;
# ./test.sh installs them all.
# Usage: deb_test.sh <source dir> <folder for the Release build> <tmux_play>
set -euo pipefail
source_dir=$1
release_dir=$2
tmux_play=$3

for tool in lintian dpkg-shlibdeps file desktop-file-validate appstreamcli tmux; do
    command -v "$tool" >/dev/null || { echo "SKIPPED: $tool is not installed (./test.sh installs it)"; exit 77; }
done

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

rm -f "$release_dir"/happy-koalas-hum_*.deb
"$source_dir/scripts/build-deb.sh" "$release_dir" >"$scratch/build.log" 2>&1 ||
    { cat "$scratch/build.log" >&2; fail "the package did not build"; }
debs=("$release_dir"/happy-koalas-hum_1.0_*.deb)
[ ${#debs[@]} = 1 ] && [ -f "${debs[0]}" ] || fail "no single happy-koalas-hum_1.0_*.deb in $release_dir"
deb=${debs[0]}
echo "$(basename "$deb"): $(stat -c %s "$deb") bytes"

echo "control fields"
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = happy-koalas-hum ] || fail "Package is $(field Package)"
[ "$(field Version)" = 1.0 ] || fail "Version is $(field Version)"
[ "$(field Section)" = games ] || fail "Section is $(field Section)"
[[ $(field Maintainer) =~ ^[^\<]+\ \<[^\>]+@[^\>]+\>$ ]] || fail "Maintainer is '$(field Maintainer)'"
[ -n "$(field Description)" ] || fail "no Description"
# The dependencies come from the libraries the binary links, SDL2 among them.
[[ $(field Depends) == *libsdl2-2.0-0* ]] || fail "Depends is '$(field Depends)'"
[[ $(field Depends) == *libc6* ]] || fail "Depends is '$(field Depends)'"

echo "file list"
data=./usr/share/games/happy-koalas-hum
{
    printf '%s\n' ./usr/games/happy-koalas-hum \
        ./usr/libexec/happy-koalas-hum/happy-koalas-hum \
        ./usr/share/applications/happy-koalas-hum.desktop \
        ./usr/share/metainfo/example.happy_koalas_hum.game.metainfo.xml \
        ./usr/share/doc/happy-koalas-hum/changelog.gz \
        ./usr/share/doc/happy-koalas-hum/copyright \
        ./usr/share/lintian/overrides/happy-koalas-hum \
        ./usr/share/man/man6/happy-koalas-hum.6.gz
    (cd "$source_dir" && find lex data -type f -not -name '.*') | sed "s|^|$data/|"
} | sort >"$scratch/expected"
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | sort >"$scratch/packaged"
diff -u "$scratch/expected" "$scratch/packaged" >&2 || fail "the package's files differ from the expected list"
programs=$(dpkg-deb -c "$deb" | awk '$1 ~ /^-rwxr-xr-x/ { print $6 }' | sort | tr '\n' ' ')
[ "$programs" = "./usr/games/happy-koalas-hum ./usr/libexec/happy-koalas-hum/happy-koalas-hum " ] ||
    fail "the programs in the package are: $programs"
owners=$(dpkg-deb -c "$deb" | awk '{ print $2 }' | sort -u)
[ "$owners" = root/root ] || fail "files owned by $owners"

echo "lintian"
lintian_status=0
lintian --fail-on error,warning --info "$deb" >"$scratch/lintian" 2>&1 || lintian_status=$?
grep -v '^running with root privileges' "$scratch/lintian" || true
[ "$lintian_status" = 0 ] || fail "lintian found errors or warnings"

dpkg-deb -x "$deb" "$scratch/root"
echo "desktop entry"
desktop-file-validate "$scratch/root/usr/share/applications/happy-koalas-hum.desktop" ||
    fail "the desktop entry is not valid"
echo "AppStream metainfo"
appstreamcli validate --no-net "$scratch/root/usr/share/metainfo/example.happy_koalas_hum.game.metainfo.xml" ||
    fail "the AppStream metainfo is not valid"

echo "the unpacked package's launcher, from an unrelated folder: title"
mkdir "$scratch/elsewhere"
"$tmux_play" --dir "$scratch/elsewhere" --env SDL_AUDIODRIVER=dummy -- \
    "'$scratch/root/usr/games/happy-koalas-hum'" >/dev/null <<'EOF' || fail "the unpacked game did not play"
at 31 7 Happy Koalas Hum
at 28 9 Version 1.0 for Windows
key Escape
at 14 12 So sorry you must leave so soon, come on back for fun
at 34 22 Press ESCAPE to exit 
key Escape
exit 0
EOF
echo "PASS"
