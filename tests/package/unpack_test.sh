#!/usr/bin/env bash
# Builds the Debian package from the build tree, unpacks it into a temporary folder and runs the
# unpacked program: its version, its help, and what the package holds.
#   unpack_test.sh BUILD_DIR VERSION [CPACK]
set -euo pipefail
build=$1
expected_version=$2
cpack=${3:-cpack}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# gzip keeps this quick; the real package uses the configured compression.
"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" \
  -D CPACK_DEBIAN_COMPRESSION_TYPE=gzip >"$work/cpack.log" 2>&1 || {
  cat "$work/cpack.log"
  exit 1
}
deb=$(ls "$work"/out/albumkeeper_*.deb)
dpkg-deb -x "$deb" "$work/root"

fail() { echo "FAIL: $*" >&2; exit 1; }
# The libraries' packages come from dpkg-shlibdeps, with their versions: "libcurl4 (>= 7.16.2)".
depends=$(dpkg-deb -f "$deb" Depends)
has_depend() {
  local entry
  IFS=',' read -ra entries <<<"$depends"
  for entry in "${entries[@]}"; do
    entry=${entry# }
    [ "${entry%% *}" = "$1" ] && return 0
  done
  return 1
}
for package in libc6 libstdc++6 libcurl4 libpcre2-8-0 libjson-c5 libjpeg62-turbo libssl3 \
  libcpp-httplib0.11; do
  has_depend "$package" || fail "Depends lacks $package: $depends"
done
copyright="$work/root/usr/share/doc/albumkeeper/copyright"
[ -f "$copyright" ] || fail "no copyright file"
head -1 "$copyright" | grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
  fail "the copyright file is not in the machine-readable format"
[ -x "$work/root/usr/lib/albumkeeper/albumkeeper" ] || fail "no program in lib/albumkeeper"
[ -x "$work/root/usr/lib/albumkeeper/fake_douban" ] || fail "no demo helper"

export HOME="$work/home" QT_QPA_PLATFORM=offscreen
unset ALBUMKEEPER_HOME XDG_DATA_HOME
version=$("$work/root/usr/bin/albumkeeper" --version)
[ "$version" = "AlbumKeeper $expected_version" ] || fail "--version said: $version"
help=$("$work/root/usr/bin/albumkeeper" --help)
[[ "$help" == *"albumkeeper download ADDRESS"* ]] || fail "--help said: $help"
status=0
"$work/root/usr/bin/albumkeeper" download >/dev/null 2>&1 || status=$?
[ "$status" -eq 2 ] || fail "a missing address gave status $status"
[ -d "$HOME/.local/share/albumkeeper" ] || fail "no folder of its own in the data folder"

# The manual page renders, and names every command; the completion script loads in bash.
page="$work/root/usr/share/man/man1/albumkeeper.1"
[ -f "$page" ] || fail "no manual page"
manual=$(MANWIDTH=100 man -l "$page" 2>"$work/man.err") || { cat "$work/man.err"; fail "man -l failed"; }
[ ! -s "$work/man.err" ] || { cat "$work/man.err"; fail "man -l warned"; }
for word in "COMMAND list" "COMMAND download" "COMMAND import" "--write-metadata" "EXIT STATUS"; do
  [[ "$manual" == *"$word"* ]] || fail "the manual page lacks $word"
done
completion="$work/root/usr/share/bash-completion/completions/albumkeeper"
[ -f "$completion" ] || fail "no bash completion"
words=$(bash -c 'source "$1"; COMP_WORDS=(albumkeeper download --wr); COMP_CWORD=2
  _albumkeeper; echo "${COMPREPLY[*]}"' _ "$completion")
[ "$words" = "--write-metadata" ] || fail "the completion of download --wr gave: $words"

# A package with the window: its desktop entry, and the demo against the double beside it.
if [ -f "$work/root/usr/share/applications/albumkeeper.desktop" ]; then
  for package in libqt6widgets6 libqt6webenginewidgets6 fonts-noto-cjk; do
    has_depend "$package" || fail "Depends lacks $package: $depends"
  done
  [ -f "$work/root/usr/share/icons/hicolor/scalable/apps/albumkeeper.svg" ] || fail "no icon"
  export QTWEBENGINE_DISABLE_SANDBOX=1
  timeout 120 "$work/root/usr/bin/albumkeeper" --demo --screenshot "$work/demo.png" --page 1 \
    >"$work/demo.log" 2>&1 || { cat "$work/demo.log"; fail "the demo did not start"; }
  grep -q "Demo: service test double at web=" "$work/demo.log" || fail "no test double"
  [ -s "$work/demo.png" ] || fail "no picture of the demo window"
  [ -d "$HOME/.local/share/albumkeeper-demo" ] || fail "no demo folder"
fi
echo "package $(basename "$deb") unpacked and ran"
