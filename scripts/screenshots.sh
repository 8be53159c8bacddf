#!/usr/bin/env bash
# Renders every window offscreen after a calculation of an example file into
# docs/screenshots/*.png.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j"$(nproc)" --target valoprovod-screenshots valoprovod-cli
QT_QPA_PLATFORM=offscreen ./build/app/valoprovod-screenshots examples/rotor_two_bearings.txt docs/screenshots
# The printed mode shape as a picture of its page.
pdftoppm -png -r 80 -singlefile docs/screenshots/mode_shape_page.pdf docs/screenshots/mode_shape_page
rm docs/screenshots/mode_shape_page.pdf
pdftoppm -png -r 80 -singlefile docs/screenshots/stiffness_map_page.pdf docs/screenshots/stiffness_map_page
rm docs/screenshots/stiffness_map_page.pdf
# A sweep whose step passes over two frequencies: the results say so.
QT_QPA_PLATFORM=offscreen ./build/app/valoprovod-screenshots examples/free_free_coarse_step.txt /tmp/valoprovod-shots coarse_
cp /tmp/valoprovod-shots/coarse_output_form.png docs/screenshots/missed_frequencies.png
# The rotor in 20 sections: frequencies off the continuous shaft's by more than 1 %.
QT_QPA_PLATFORM=offscreen ./build/app/valoprovod-screenshots examples/rotor_coarse_sections.txt /tmp/valoprovod-shots sections20_
cp /tmp/valoprovod-shots/sections20_output_form.png docs/screenshots/continuous_model.png
cp /tmp/valoprovod-shots/sections20_mode_shape_form.png docs/screenshots/continuous_mode_shape.png
# A printed page of the results (page 2: the end of variant 1 with its notes).
./build/cli/valoprovod-cli --decimal-separator . --pdf /tmp/valoprovod-shots/printout.pdf examples/rotor_two_bearings.txt >/dev/null
pdftoppm -png -r 100 -f 2 -l 2 -singlefile /tmp/valoprovod-shots/printout.pdf docs/screenshots/printout_page
# The rotor with its first bearing put at cross-section 0: the echo and the
# results name the support that takes no part.
sed '4s/^4 /0 /' examples/rotor_two_bearings.txt > /tmp/valoprovod-shots/support_at_0.txt
QT_QPA_PLATFORM=offscreen ./build/app/valoprovod-screenshots /tmp/valoprovod-shots/support_at_0.txt /tmp/valoprovod-shots support0_
cp /tmp/valoprovod-shots/support0_input_form.png docs/screenshots/inactive_support_echo.png
cp /tmp/valoprovod-shots/support0_output_form.png docs/screenshots/inactive_support_results.png
# (The first run also wrote the separator question and the main form loaded
# with commas: separator_question.png, main_form_comma.png.)
# The calculation report of the rotor with a disc, every page.
mkdir -p docs/report
rm -f docs/report/page-*.png
./build/cli/valoprovod-cli --decimal-separator . --report /tmp/valoprovod-shots/report.pdf examples/rotor_with_disc.txt >/dev/null
pdftoppm -png -r 60 /tmp/valoprovod-shots/report.pdf docs/report/page
