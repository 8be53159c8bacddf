#!/usr/bin/env bash
# Installs the Debian package on a fresh minimal Debian 12 (debootstrap into a
# temporary folder, then chroot) and checks it there as a user would:
#  1. apt installs it with its Depends alone (no recommended packages);
#  2. valoprovod-cli from PATH computes an installed example (the same text as
#     the build tree's command) and prints it into a PDF in the installed font;
#  3. the desktop entry passes desktop-file-validate;
#  4. the program starts offscreen and stays up without a message, reading Qt's
#     Russian translations and the fonts from the system and nothing from the
#     source or build tree;
#  5. under Xvfb the main window shows with its icon and F1 opens the help
#     page; pictures of both are saved for a look.
# Needs root and the Debian mirror; takes a few minutes and about 1 GB under
# /tmp, removed at the end. Too slow for the tests; run it by hand.
# Usage: scripts/check-package.sh [PACKAGE.deb]
#   default package: the one scripts/package.sh built; results go to
#   build-package/check/; VP_MIRROR overrides the mirror.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
deb=$(realpath "${1:-$(ls build-package/valoprovod_*_amd64.deb | tail -n 1)}")
mirror=${VP_MIRROR:-http://deb.debian.org/debian}
out=$repo/build-package/check
mkdir -p "$out"
rm -f "$out"/*

fail() { echo "FAILED: $*" >&2; exit 1; }
step() { echo "== $*"; }

if ! command -v debootstrap >/dev/null; then
  DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends debootstrap
fi

root=$(mktemp -d /tmp/valoprovod-check.XXXXXX)
cleanup() {
  if mountpoint -q "$root/proc"; then umount "$root/proc" || true; fi
  if mountpoint -q "$root/proc"; then
    echo "left $root: $root/proc is still mounted" >&2
  else
    rm -rf --one-file-system "$root"
  fi
}
trap cleanup EXIT

# A clean environment inside: the package must not rely on anything of ours.
inroot() {
  chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 \
    XDG_RUNTIME_DIR=/tmp/xdg DEBIAN_FRONTEND=noninteractive "$@"
}

step "debootstrap bookworm (minbase) from $mirror"
debootstrap --variant=minbase bookworm "$root" "$mirror" >"$out/debootstrap.log" 2>&1 ||
  fail "debootstrap, see $out/debootstrap.log"
mount -t proc proc "$root/proc"
mkdir -p -m 700 "$root/tmp/xdg"
cp "$deb" "$root/tmp/"
name=$(basename "$deb")

step "apt install ./$name"
inroot apt-get update -q >"$out/install.log" 2>&1
inroot apt install -y --no-install-recommends "/tmp/$name" >>"$out/install.log" 2>&1 ||
  fail "apt install, see $out/install.log"
inroot dpkg-query -W -f='${Status} ${Version}\n' valoprovod | tee -a "$out/install.log"
echo "packages now installed: $(inroot dpkg-query -W -f='.\n' | wc -l)"

step "valoprovod-cli from PATH on the installed example"
example=/usr/share/valoprovod/examples/rotor_two_bearings.txt
[ "$(inroot sh -c 'command -v valoprovod-cli')" = /usr/bin/valoprovod-cli ] || fail "valoprovod-cli is not on PATH"
(cd / && inroot valoprovod-cli --decimal-separator . "$example") >"$out/cli.txt" ||
  fail "valoprovod-cli exited with $?"
grep -m 3 "P = " "$out/cli.txt" || fail "no frequency in the output"
if [ -x build-package/cli/valoprovod-cli ]; then
  build-package/cli/valoprovod-cli --decimal-separator . examples/rotor_two_bearings.txt >"$out/cli-build.txt"
  cmp "$out/cli.txt" "$out/cli-build.txt" || fail "the installed command computes otherwise than the build tree's"
  echo "same text as build-package/cli/valoprovod-cli"
fi
inroot valoprovod-cli --decimal-separator . --pdf /tmp/printout.pdf "$example" >/dev/null || fail "valoprovod-cli --pdf"
cp "$root/tmp/printout.pdf" "$out/"
pdffonts "$out/printout.pdf" | tee "$out/pdffonts.txt"
grep -q "LiberationSans.*yes" "$out/pdffonts.txt" || fail "the printout is not in Liberation Sans"

step "tools for the remaining checks"
inroot apt-get install -y --no-install-recommends desktop-file-utils strace xvfb xdotool x11-apps x11-utils netpbm \
  >"$out/tools.log" 2>&1 || fail "installing the tools, see $out/tools.log"

step "desktop-file-validate"
inroot desktop-file-validate /usr/share/applications/valoprovod.desktop || fail "desktop-file-validate"
echo "valid: /usr/share/applications/valoprovod.desktop"

step "the program offscreen for 5 s"
set +e
inroot sh -c 'QT_QPA_PLATFORM=offscreen timeout 5 strace -f -qq -e trace=openat -o /tmp/trace.txt valoprovod' \
  >"$out/offscreen.log" 2>&1
rc=$?
set -e
[ $rc -eq 124 ] || fail "the program ended by itself with $rc within 5 s: $(cat "$out/offscreen.log")"
[ ! -s "$out/offscreen.log" ] || fail "the program wrote: $(cat "$out/offscreen.log")"
cp "$root/tmp/trace.txt" "$out/offscreen-files.txt"
grep -v ENOENT "$out/offscreen-files.txt" | grep -o '"[^"]*\(qtbase_ru\.qm\|Liberation[^"]*\)"' | sort -u || true
grep -v ENOENT "$out/offscreen-files.txt" | grep -q '"/usr/share/qt6/translations/qtbase_ru.qm"' ||
  fail "Qt's Russian translations were not read"
grep -v ENOENT "$out/offscreen-files.txt" | grep -q '/usr/share/fonts/truetype/liberation2/LiberationSans' ||
  fail "Liberation Sans was not read"
! grep -F "$repo" "$out/offscreen-files.txt" || fail "the program looked into the source or build tree"
echo "stayed up, wrote nothing, read nothing under $repo"

step "the program under Xvfb: main window, icon, F1"
cat >"$root/tmp/gui.sh" <<'EOF'
set -u
Xvfb :57 -screen 0 1280x900x24 -nolisten tcp >/tmp/xvfb.log 2>&1 &
xvfb=$!
export DISPLAY=:57
sleep 2
valoprovod >/tmp/gui.log 2>&1 &
app=$!
find_window() {
  for _ in $(seq 50); do
    xdotool search --name "$1" 2>/dev/null | head -n 1 | grep . && return 0
    sleep 0.2
  done
  return 1
}
snap() { xwd -silent -id "$1" | xwdtopnm 2>/dev/null | pnmtopng >"$2"; }
status=0
if main=$(find_window "Программа расчета собственных частот"); then
  sleep 2
  snap "$main" /tmp/main.png
  xprop -id "$main" WM_CLASS
  xprop -id "$main" _NET_WM_ICON | head -c 60 | grep -q "_NET_WM_ICON(CARDINAL) = " || { echo "no window icon"; status=1; }
  xdotool windowfocus --sync "$main" key F1
  if help=$(find_window "Справка"); then
    sleep 2
    snap "$help" /tmp/help.png
  else
    echo "F1 opened no help window"; status=1
  fi
else
  echo "no main window"; status=1
fi
kill "$app" "$xvfb"
wait "$app"
cat /tmp/gui.log
exit $status
EOF
if ! inroot bash /tmp/gui.sh | tee "$out/gui.log"; then fail "under Xvfb, see $out/gui.log"; fi
cp "$root/tmp/main.png" "$root/tmp/help.png" "$out/"
echo "pictures: $out/main.png $out/help.png"

step "all checks passed for $name"
