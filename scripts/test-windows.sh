#!/usr/bin/env bash
# Tests the Windows build under Wine (scripts/package-windows.sh first):
# - the installer, silently (/S /D=C:\Программы\valoprovod), into a fresh Wine prefix: the files,
#   the Start-menu entry, the uninstall entry;
# - every test program of build-windows/ (Qt's windows on the virtual display);
# - the installed valoprovod-cli.exe --json on every example and on the
#   fixture workbooks against the Linux build (build/): every number within
#   1e-12 relative;
# - a PDF and a workbook written under Cyrillic names from a Cyrillic CRLF
#   input, the decimal comma of the Windows locale, a read-only target refused;
# - valoprovod.exe started under Xvfb, an example computed through its own
#   dialogs; its main and results windows, and the others rendered by Wine,
#   into docs/screenshots/windows/;
# - the uninstaller.
# Prints what each step found and how long it took; exits 1 when one failed.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD
out=$root/build-windows
version=$(sed -n 's/^project(valoprovod VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
setup=$out/valoprovod-$version-win64-setup.exe
cache=${VP_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/valoprovod-windows}
shots=$root/docs/screenshots/windows

failures=()
step_start=0
step() { step_start=$(date +%s); printf '\n== %s\n' "$*"; }
done_step() { printf -- '-- %s s\n' "$(( $(date +%s) - step_start ))"; }
fail() { failures+=("$*"); printf 'FAILED: %s\n' "$*"; }
ok() { printf 'ok: %s\n' "$*"; }

[ -f "$setup" ] || { echo "no $setup: run scripts/package-windows.sh first" >&2; exit 2; }
packages=(wine wine64 fonts-wine python3-fonttools xvfb xdotool imagemagick poppler-utils unzip python3)
missing=()
for p in "${packages[@]}"; do dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p"); done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""; [ "$(id -u)" -ne 0 ] && sudo=sudo
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# The Linux build the numbers are compared with.
if [ ! -x build/cli/valoprovod-cli ]; then
  cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null && cmake --build build -j"$(nproc)" --target valoprovod-cli >/dev/null
fi

work=$(mktemp -d /tmp/valoprovod-wine.XXXXXX)
# No Mono, Gecko or debugger: a crash ends the program instead of waiting in winedbg.
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
# A display of our own for everything that opens a window (Wine's own too).
display=$((90 + RANDOM % 100))
Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=:$display
cleanup() {
  mkdir -p "$out/test-windows-logs" && cp "$work"/*.log "$out/test-windows-logs/" 2>/dev/null
  wineserver -k >/dev/null 2>&1
  kill "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
sleep 1

# Runs a Windows program and waits for every process it started.
win() { wine "$@"; local status=$?; wineserver -w; return $status; }
# Wine hands no QT_* variable of the environment to a Windows program (they
# are meant for Linux's Qt), only WINEQT_* ones, under their names without WINE.
qt_env() { local v; for v in "$@"; do export "WINE$v"; done; }
unix_path() { winepath -u "$1" 2>/dev/null; }

step "a fresh Wine prefix"
wineboot -i >/dev/null 2>&1; wineserver -w
# A fresh prefix holds no fonts. Wine's own stand for Windows' system fonts
# (Tahoma; "MS Sans Serif" as a bitmap font, as on Windows); the Liberation
# fonts, which have the metrics of Arial, Times New Roman and Courier New, stand
# in under those names (renamed copies) and for "Microsoft Sans Serif". Every
# scalable font is entered in the registry, where DirectWrite looks for fonts.
/usr/bin/python3 - "$WINEPREFIX/drive_c/windows/Fonts" "$work/fonts.reg" <<'EOF'
import glob, os, shutil, sys
from fontTools.ttLib import TTFont
fonts, reg = sys.argv[1], sys.argv[2]
entries = {}
for path in glob.glob("/usr/share/wine/fonts/*") + glob.glob("/usr/share/fonts/truetype/liberation2/*.ttf"):
    shutil.copy(path, fonts)
    if path.endswith(".ttf") and "glyf" in TTFont(path, lazy=True):
        entries[TTFont(path, lazy=True)["name"].getDebugName(4)] = os.path.basename(path)
stand_ins = {"Arial": "LiberationSans", "Times New Roman": "LiberationSerif", "Courier New": "LiberationMono",
             "Microsoft Sans Serif": "LiberationSans"}
for family, source in stand_ins.items():
    for style, words in (("Regular", ""), ("Bold", "Bold"), ("Italic", "Italic"), ("BoldItalic", "Bold Italic")):
        font = TTFont(f"/usr/share/fonts/truetype/liberation2/{source}-{style}.ttf")
        full = (family + " " + words).strip()
        names = {1: family, 16: family, 3: full, 4: full, 6: family.replace(" ", "") + ("-" + style if words else "")}
        for record in font["name"].names:
            if record.nameID in names:
                record.string = names[record.nameID]
        file = family.replace(" ", "") + "-" + style + ".ttf"
        font.save(os.path.join(fonts, file))
        entries[full] = file
with open(reg, "w") as out:
    out.write('REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts]\n')
    for name, file in sorted(entries.items()):
        out.write(f'"{name} (TrueType)"="{file}"\n')
EOF
wine regedit /S "$(winepath -w "$work/fonts.reg")"
wineserver -w
done_step

step "silent install"
# A folder with Cyrillic letters (and no blank: /D takes no quotes).
win "$setup" /S '/D=C:\Программы\valoprovod'
inst=$WINEPREFIX/drive_c/Программы/valoprovod
for f in valoprovod.exe valoprovod-cli.exe uninstall.exe qt.conf Qt6Core.dll Qt6Charts.dll platforms/qwindows.dll platforms/qoffscreen.dll \
         styles/qwindowsvistastyle.dll Qt6PrintSupport.dll translations/qtbase_ru.qm help.html \
         libstdc++-6.dll libwinpthread-1.dll libzip.dll libxlsxwriter.dll examples/rotor_two_bearings.txt; do
  [ -f "$inst/$f" ] || fail "installed $f"
done
shortcut=$(find "$WINEPREFIX/drive_c" -name 'Расчет валопровода.lnk' | head -n1)
[ -n "$shortcut" ] && ok "Start-menu entry: ${shortcut#$WINEPREFIX/}" || fail "no Start-menu entry «Расчет валопровода»"
wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\valoprovod' /v UninstallString 2>/dev/null \
  | grep -q uninstall.exe && ok "uninstall entry in the registry" || fail "no uninstall entry"
# Every DLL the installed programs import is installed or part of Windows
# (a file of the system or one of its API sets).
for exe in "$inst"/*.exe "$inst"/*.dll "$inst"/*/*.dll; do
  for dll in $(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' | grep -v '^api-ms-win-'); do
    [ -e "$inst/$dll" ] || [ -e "$WINEPREFIX/drive_c/windows/system32/$(echo "$dll" | tr 'A-Z' 'a-z')" ] \
      || fail "$(basename "$exe") imports $dll, which is not installed"
  done
done
done_step

step "the test programs"
# From the build folder: the DLLs come from the cache, the plugins (offscreen included) from Qt's,
# and Qt's Russian translations, as the installed program has them, from Qt's folder.
qt=$cache/qt-6.4.2-mingw deps=$cache/deps
mkdir -p "$qt/translations" && cp /usr/share/qt6/translations/qtbase_ru.qm "$qt/translations/"
runtime_dirs=("$qt/bin" "$deps/bin" "$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)")"
              /usr/x86_64-w64-mingw32/lib)
WINEPATH=$(for d in "${runtime_dirs[@]}"; do winepath -w "$d"; done | paste -sd';')
export WINEPATH
mapfile -t tests < <(find "$out/tests" -maxdepth 1 -name 'test_*.exe' | sort)
for t in "${tests[@]}"; do
  name=$(basename "$t" .exe)
  # The tests name their data by Linux paths; from a folder on Z: they reach them.
  # Their temporary folder is a Unix path, which Windows reads on drive Z: and
  # the poppler tools they start through Wine read as it is.
  mkdir -p "$work/tmp/$name"
  # The programs choose Qt's native platform themselves: their windows open on the virtual display.
  (cd "$out/tests" && qt_env QT_PLUGIN_PATH="$(winepath -w "$qt/plugins")" &&
     TEST_TMPDIR="$work/tmp/$name/" timeout 900 wine "$t" --gtest_brief=1 > "$work/$name.log" 2>&1)
  status=$?
  summary=$(grep -E '^\[  (PASSED|FAILED|SKIPPED) ' "$work/$name.log" | tr '\n' ' ')
  if [ $status -eq 0 ]; then ok "$name: $summary"; else fail "$name (exit $status): $summary"; grep -E '^\[  FAILED  \] [A-Za-z]' "$work/$name.log" | sed 's/^/    /' | head -20; fi
done
wineserver -w
done_step

step "the installed batch command against the Linux build"
cli=$inst/valoprovod-cli.exe
inputs=(examples/*.txt tests/data/input.xls tests/data/input.xlsx)
for input in "${inputs[@]}"; do
  name=$(basename "$input")
  build/cli/valoprovod-cli --json --decimal-separator . "$input" > "$work/linux-$name.json"
  wine "$cli" --json --decimal-separator . "$(winepath -w "$root/$input")" > "$work/windows-$name.json"
  if report=$(python3 tests/cli/compare_json.py "$work/linux-$name.json" "$work/windows-$name.json"); then
    ok "$name: $report"
  else
    fail "$name: $report"
  fi
done
done_step

step "Cyrillic names, CRLF input, the Windows locale's decimal comma, a read-only target"
folder="$WINEPREFIX/drive_c/users/Инженер/Расчеты вала"
mkdir -p "$folder"
# The example written as on a PC with a decimal comma, with CRLF line ends.
sed 's/\./,/g' examples/rotor_two_bearings.txt > "$work/comma.txt"
sed 's/$/\r/' "$work/comma.txt" > "$folder/Ротор с двумя опорами.txt"
wfolder='C:\users\Инженер\Расчеты вала'
# The user's regional settings: Russian, with a decimal comma.
wine reg add 'HKCU\Control Panel\International' /v LocaleName /d ru-RU /f >/dev/null 2>&1
wine reg add 'HKCU\Control Panel\International' /v Locale /d 00000419 /f >/dev/null 2>&1
wine reg add 'HKCU\Control Panel\International' /v sDecimal /d , /f >/dev/null 2>&1
wine "$cli" --pdf "$wfolder\\Результаты.pdf" --xlsx "$wfolder\\Результаты.xlsx" "$wfolder\\Ротор с двумя опорами.txt" \
  > "$work/printout.txt" 2> "$work/printout.err"
status=$?
[ $status -eq 0 ] || fail "batch command on Cyrillic names (exit $status): $(head -c 300 "$work/printout.err")"
grep -q 'Файл исходных данных: C:\\users\\Инженер\\Расчеты вала\\Ротор с двумя опорами.txt' "$work/printout.txt" \
  && ok "printout names the Cyrillic input file" || fail "printout title: $(head -n1 "$work/printout.txt")"
build/cli/valoprovod-cli --decimal-separator , "$work/comma.txt" | tail -n +2 > "$work/linux-printout.txt"
tail -n +2 "$work/printout.txt" | diff -q - "$work/linux-printout.txt" >/dev/null \
  && ok "printout with the locale's decimal comma equals the Linux one with --decimal-separator ," \
  || fail "printout differs from Linux's: $(tail -n +2 "$work/printout.txt" | diff - "$work/linux-printout.txt" | head -5 | tr '\n' ' ')"
if pdftotext -layout "$folder/Результаты.pdf" "$work/pdf.txt" 2>/dev/null && grep -q 'валопровода' "$work/pdf.txt"; then
  ok "PDF: $(pdfinfo "$folder/Результаты.pdf" | sed -n 's/^Pages: *//p') pages, Cyrillic text readable"
else
  fail "PDF under a Cyrillic name"
fi
# Whatever the regional settings, a workbook's numbers are written with a point.
commas=$(unzip -p "$folder/Результаты.xlsx" 'xl/worksheets/*.xml' 'xl/charts/*.xml' 2>/dev/null |
  grep -oE '<(c:)?v>-?[0-9]+,[0-9]+([eE][-+]?[0-9]+)?</(c:)?v>' | grep -c ',')
[ "$commas" = 0 ] && ok "workbook numbers under the Russian settings: no decimal comma" \
  || fail "workbook numbers under the Russian settings: $commas values with a comma"
if unzip -p "$folder/Результаты.xlsx" xl/workbook.xml 2>/dev/null | grep -q '<sheet ' &&
   unzip -p "$folder/Результаты.xlsx" xl/sharedStrings.xml | grep -q 'Частота'; then
  ok "workbook: $(unzip -l "$folder/Результаты.xlsx" | grep -c 'xl/worksheets/sheet') sheets, $(unzip -l "$folder/Результаты.xlsx" | grep -c 'xl/charts/chart') charts"
else
  fail "workbook under a Cyrillic name"
fi
# The workbook read back as input by the Windows build (ole32 for .xls, libzip for .xlsx).
wine "$cli" --json --decimal-separator . "$wfolder\\Результаты.xlsx" > "$work/reread.json" 2>/dev/null
python3 -c 'import json, sys; sys.exit(0 if json.load(open(sys.argv[1])).get("variants") else 1)' "$work/reread.json" 2>/dev/null \
  && ok "exported workbook reads back"  || fail "exported workbook does not read back"
# A read-only target is refused, left as it was, and named in Russian (Wine
# shows a file without write permission as read-only).
chmod a-w "$folder/Результаты.pdf"
before=$(md5sum < "$folder/Результаты.pdf")
wine "$cli" --pdf "$wfolder\\Результаты.pdf" "$wfolder\\Ротор с двумя опорами.txt" >/dev/null 2> "$work/ro.err"
if grep -q 'защищен от записи' "$work/ro.err" && [ "$(md5sum < "$folder/Результаты.pdf")" = "$before" ]; then
  ok "read-only target refused: $(head -n1 "$work/ro.err")"
else
  fail "read-only target: $(head -c 300 "$work/ro.err")"
fi
ls "$folder" | grep -q '^\.~' && fail "a temporary file was left: $(ls -a "$folder")"
wine reg delete 'HKCU\Control Panel\International' /v sDecimal /f >/dev/null 2>&1
wineserver -w
done_step

step "the program under Xvfb, and its windows rendered by Wine"
mkdir -p "$shots"
(cd "$inst" && wine valoprovod.exe >/dev/null 2>&1 &)
shown=""
for _ in $(seq 1 60); do
  sleep 1
  if xwininfo -root -tree 2>/dev/null | grep -q 'валопровода"'; then shown=yes; break; fi
done
sleep 3
import -window root "$work/desktop.png" 2>/dev/null
if [ -n "$shown" ]; then
  ok "valoprovod.exe shows its main window: $(xwininfo -root -tree | grep -o '"[^"]*валопровода"' | head -n1)"
  # The main window alone, as Wine's X11 driver shows it.
  id=$(xwininfo -root -tree | grep 'валопровода"' | head -n1 | awk '{print $1}')
  import -window "$id" "$shots/main_form_xvfb.png" 2>/dev/null
  # A calculation as a user makes it: the example through the open-file
  # dialog, "Начать расчет", "Продолжить расчет" under the echo, and the
  # results window (the buttons' places are the forms' own).
  wait_window() { local w; for _ in $(seq 1 60); do w=$(xdotool search --name "$1" 2>/dev/null | head -n1); [ -n "$w" ] && { echo "$w"; return 0; }; sleep 1; done; return 1; }
  # The buttons' row lies 40 pixels above the main window's bottom; "Загрузить
  # из файла" is centred 101 pixels left of its right edge.
  eval "$(xdotool getwindowgeometry --shell "$id")"
  xdotool mousemove --window "$id" $((WIDTH - 101)) $((HEIGHT - 40)) click 1
  if dialog=$(wait_window '^Загрузить из файла$'); then
    sleep 1
    xdotool windowactivate --sync "$dialog" 2>/dev/null
    xdotool type --delay 20 "$(winepath -w "$inst/examples/rotor_two_bearings.txt")"
    xdotool key Return
    # Loaded when the main window's title names the file.
    wait_window 'rotor_two_bearings' >/dev/null && sleep 1
    xdotool mousemove --window "$id" 100 $((HEIGHT - 40)) click 1
  fi
  if echo=$(wait_window '^Для расчета приняты'); then
    sleep 1
    eval "$(xdotool getwindowgeometry --shell "$echo")"
    xdotool mousemove --window "$echo" 195 $((HEIGHT - 22)) click 1
  fi
  if results=$(wait_window '^Результаты расчета'); then
    sleep 3
    import -window "$results" "$shots/output_form_xvfb.png" 2>/dev/null
    ok "valoprovod.exe computed the example and shows its results window"
    # In Windows' fonts the window fits a screen of 1366 x 768 less a taskbar.
    eval "$(xdotool getwindowgeometry --shell "$results")"
    [ "$WIDTH" -le 1366 ] && [ "$HEIGHT" -le 728 ] && ok "results window $WIDTH x $HEIGHT fits 1366 x 728" \
      || fail "results window $WIDTH x $HEIGHT does not fit 1366 x 728"
  else
    fail "valoprovod.exe: no results window after loading the example and starting the calculation"
  fi
else
  fail "valoprovod.exe showed no window within 60 s"
fi
wineserver -k; wineserver -w
# Every window after a calculation, drawn by the Windows platform plugin on Wine.
rm -rf "$work/shots"
(cd "$out/app" && qt_env QT_PLUGIN_PATH="$(winepath -w "$qt/plugins")" &&
   wine valoprovod-screenshots.exe "$(winepath -w "$root/examples/rotor_two_bearings.txt")" "$(winepath -w "$work/shots")" \
   > "$work/shots.log" 2>&1)
for f in main_form input_form output_form mode_shape_form; do
  if [ -s "$work/shots/$f.png" ]; then cp "$work/shots/$f.png" "$shots/$f.png"; ok "screenshot $f.png"; else fail "no screenshot $f.png"; fi
done
wineserver -w
done_step

step "uninstall"
win "$inst/uninstall.exe" /S
sleep 2; wineserver -w
[ -e "$inst/valoprovod.exe" ] && fail "valoprovod.exe is still there after uninstalling" || ok "program files removed"
[ -n "$(find "$WINEPREFIX/drive_c" -name 'Расчет валопровода.lnk')" ] && fail "the Start-menu entry is still there" || ok "Start-menu entry removed"
wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\valoprovod' >/dev/null 2>&1 \
  && fail "the uninstall entry is still in the registry" || ok "uninstall entry removed"
done_step

echo
if [ ${#failures[@]} -gt 0 ]; then
  printf '%d failure(s):\n' "${#failures[@]}"; printf '  %s\n' "${failures[@]}"
  exit 1
fi
echo "all Windows checks passed"
