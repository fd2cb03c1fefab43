#!/usr/bin/env bash
# Installs the build BUILD_DIR into a temporary DESTDIR under /usr and checks
# the tree: every file in place with the right mode, the desktop entry and the
# AppStream metadata accepted by their validators and naming the same id and
# icon, the installed programs running from the tree with version VERSION,
# the man pages rendering cleanly and naming every option of --help; then
# the uninstall leaves no file behind.
set -euo pipefail
build=$1
version=$2
id=example.sonaro.MidiMonitor

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

DESTDIR=$root cmake --install "$build" --prefix /usr >/dev/null
usr=$root/usr
share=$usr/share

for program in midimonitor skintool; do
  [ -f "$usr/bin/$program" ] && [ -x "$usr/bin/$program" ] || fail "bin/$program is not an executable"
done
data=(
  "applications/$id.desktop"
  "metainfo/$id.metainfo.xml"
  "icons/hicolor/scalable/apps/$id.svg"
  "icons/hicolor/48x48/apps/$id.png"
  "icons/hicolor/128x128/apps/$id.png"
  "man/man1/midimonitor.1"
  "man/man1/skintool.1"
)
for file in "${data[@]}"; do
  if [ ! -f "$share/$file" ]; then
    fail "share/$file is missing"
  elif [ -x "$share/$file" ] || [ ! -r "$share/$file" ]; then
    fail "share/$file should be readable and not executable"
  fi
done
[ "$failures" -eq 0 ] || exit 1

# A PNG's width and height are the big-endian words at bytes 16 and 20.
for size in 48 128; do
  png=$share/icons/hicolor/${size}x${size}/apps/$id.png
  read -r w h < <(od -An -tu1 -j16 -N8 "$png" |
    awk '{ print $1*16777216 + $2*65536 + $3*256 + $4, $5*16777216 + $6*65536 + $7*256 + $8 }')
  [ "$w x $h" = "$size x $size" ] || fail "the $size px icon is $w x $h"
done

desktop=$share/applications/$id.desktop
desktop-file-validate "$desktop" || fail "desktop-file-validate rejects the desktop entry"
appstreamcli validate --no-net "$share/metainfo/$id.metainfo.xml" >"$root/appstream.txt" ||
  fail "appstreamcli rejects the metainfo: $(cat "$root/appstream.txt")"

entry() { sed -n "s/^$1=//p" "$desktop"; }
[ "$(entry Icon)" = "$id" ] || fail "the entry's icon is \"$(entry Icon)\", not $id"
[ -x "$usr/bin/$(entry Exec | cut -d' ' -f1)" ] || fail "the entry runs \"$(entry Exec)\", which is not installed"
for category in AudioVideo Audio Midi; do
  entry Categories | tr ';' '\n' | grep -qx "$category" || fail "the entry's categories lack $category"
done
metainfo=$share/metainfo/$id.metainfo.xml
grep -q "<id>$id</id>" "$metainfo" || fail "the metainfo's id is not $id"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
  fail "the metainfo does not launch $id.desktop"
newest=$(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' "$metainfo" | head -n1)
[ "$newest" = "$version" ] || fail "the metainfo's newest release is \"$newest\", the program's $version"

# The installed programs run from the tree, away from the build folder.
cd "$root"
for program in midimonitor skintool; do
  out=$("$usr/bin/$program" --version) || fail "$program --version fails"
  [ "$out" = "$program $version" ] || fail "$program --version prints \"$out\""
done
ports=$("$usr/bin/midimonitor" --list-ports --midi=virtual 2>/dev/null) ||
  fail "midimonitor --list-ports fails"
[ "$ports" = $'in\t0\tDemo Keyboard\nout\t0\tLoopback' ] ||
  fail "midimonitor --list-ports --midi=virtual prints \"$ports\""

# Every option --help lists, and every skintool command, appears in the man
# page (roff writes a hyphen as \-), which renders without warnings.
for program in midimonitor skintool; do
  page=$share/man/man1/$program.1
  warnings=$(groff -man -ww -z "$page" 2>&1) || fail "groff fails on $program.1"
  [ -z "$warnings" ] || fail "$program.1: $warnings"
  help=$("$usr/bin/$program" --help)
  words=$(grep -oE '(^|[[:space:]|[])(--?[a-z][a-z-]*|/qc[a-z]+)' <<<"$help" | tr -d ' |[' | sort -u)
  [ "$program" = skintool ] && words+=$'\npack\nunpack\nlist\ncheck\nrender'
  [ -n "$words" ] || fail "$program --help lists no options"
  for word in $words; do
    # The whole word: "--after" is not named by "--afterwards".
    grep -qP -- "(?<![a-z]|\\\\-)${word//-/\\\\-}(?![a-z]|\\\\-)" "$page" ||
      fail "$program.1 does not name $word"
  done
done
grep -q "skintool $version" "$share/man/man1/skintool.1" || fail "skintool.1 is not of version $version"
grep -q "midimonitor $version" "$share/man/man1/midimonitor.1" || fail "midimonitor.1 is not of version $version"

cmake --build "$build" --target uninstall >/dev/null || fail "the uninstall fails"
left=$(find "$root" -type f ! -name appstream.txt)
[ -z "$left" ] || fail "the uninstall leaves: $left"

[ "$failures" -eq 0 ]
