#!/usr/bin/env bash
# Rebuilds the workbook fixtures with LibreOffice (needed only here, not by the
# build): input.xls and input.xlsx from input.fods, in the input loader's layout;
# results_lo.xls and results_lo.xlsx from results.xlsx, a results workbook
# written by the program's export (KW = 1, KP = 1), as LibreOffice saves it.
# Headless LibreOffice forgets an ODS file's active sheet but keeps the active
# tab of an .xlsx, so the sheet "Данные" (the second) is made active in an
# intermediate .xlsx, from which both fixtures are written.
set -euo pipefail
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

libreoffice --headless --convert-to xlsx --outdir "$work/1" input.fods >/dev/null
python3 - "$work/1/input.xlsx" "$work/input.xlsx" <<'PY'
import sys, zipfile
src, dst = sys.argv[1], sys.argv[2]
with zipfile.ZipFile(src) as zin, zipfile.ZipFile(dst, "w", zipfile.ZIP_DEFLATED) as zout:
    for item in zin.infolist():
        data = zin.read(item.filename)
        if item.filename == "xl/workbook.xml":
            data = data.replace(b'activeTab="0"', b'activeTab="1"')
        zout.writestr(item, data)
PY
libreoffice --headless --convert-to xls --outdir . "$work/input.xlsx" >/dev/null
libreoffice --headless --convert-to xlsx --outdir "$work/2" "$work/input.xlsx" >/dev/null
cp "$work/2/input.xlsx" .
for ext in xls xlsx; do
  libreoffice --headless --convert-to "$ext" --outdir "$work/3" results.xlsx >/dev/null
  cp "$work/3/results.$ext" "results_lo.$ext"
done
