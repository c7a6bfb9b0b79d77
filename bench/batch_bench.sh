#!/usr/bin/env bash
# Times the whole job of mozenta-batch. Sections (both by default, or those named as arguments):
#
# largest: the largest mosaic: a 2000 × 20000 photo-like picture as a BMP
# and as a JPEG, default blocks, 32-bit mosaic, each run replacing the files of the run before.
#
#   cold    each run after an idle gap (GAP seconds, 3 by default): the way a person runs the tool. This
#           machine hands freed memory back to its host about 2 s after it is freed, so every cold run pays
#           the first touch of the memory it needs.
#   warm    runs back to back, after one that is not counted.
#   memory  the peak resident memory of one run.
#   Pillow  the yardstick, interleaved with the BMP job, each run after the gap: Pillow's Floyd–Steinberg
#           remap of the same BMP to the eight default colours (load, quantise, save a BMP).
#
# Medians of RUNS runs (5 by default), wall-clock seconds of the whole process. The load average is printed
# before and after: other work on the machine makes the figures noisy.
#
# photo: a phone-sized 6000 × 4000 photo as a PNG and as a JPEG, fitted to 400 × 300 sheets
# (--size 400x300); each stage's seconds for three runs, and the peak memory of one.

set -euo pipefail
cd "$(dirname "$0")/.."
build=build/release
batch=$build/src/batch/mozenta-batch
work=${BENCH_DIR:-$build/bench-data}
runs=${RUNS:-5}
gap=${GAP:-3}
mkdir -p "$work"

sections=("$@")
[[ ${#sections[@]} -gt 0 ]] || sections=(largest photo)

# The yardstick's library, for this script only: the build does not need it.
python=/usr/bin/python3
if ! "$python" -c 'import PIL' 2>/dev/null; then
  echo "installing python3-pil for the Pillow yardstick ..."
  sudo=""
  [[ $(id -u) -ne 0 ]] && sudo=sudo
  $sudo apt-get install -y -qq python3-pil >/dev/null
fi

cat >"$work/pillow_remap.py" <<'EOF'
import sys
from PIL import Image

# The eight default colours of the palette: 4-bit channels times 17.
COLOURS = [(0, 0, 0), (0, 0, 255), (255, 0, 0), (255, 0, 255), (0, 136, 0), (0, 136, 255), (255, 255, 0),
           (255, 255, 255)]
picture = Image.open(sys.argv[1]).convert("RGB")
palette = Image.new("P", (1, 1))
entries = [channel for colour in COLOURS for channel in colour]
palette.putpalette(entries + list(COLOURS[0]) * (256 - len(COLOURS)))
dither = getattr(Image, "Dither", Image).FLOYDSTEINBERG
picture.quantize(palette=palette, dither=dither).save(sys.argv[2])
EOF

# Wall-clock seconds of one command.
seconds() {
  local start=$EPOCHREALTIME
  "$@" >/dev/null 2>&1
  printf '%.3f\n' "$(echo "$EPOCHREALTIME - $start" | bc)"
}

median() {
  sort -n | awk '{ v[NR] = $1 } END { printf "%.3f", (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

peak_memory() {
  /usr/bin/time -v "$@" 2>&1 | grep -E 'Maximum resident|Elapsed' | sed 's/^\s*/  /'
}

job() {
  "$batch" "$work/$1" "$work/out"
}

largest() {
  if [[ ! -f $work/photo.bmp || ! -f $work/photo.jpg ]]; then
    echo "making a 2000 x 20000 photo-like picture in $work ..."
    "$build/bench/make_photo" 2000 20000 "$work/photo.bmp" "$work/photo.ppm"
    cjpeg -quality 90 -outfile "$work/photo.jpg" "$work/photo.ppm"
    rm -f "$work/photo.ppm"
  fi

  echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
  for picture in photo.bmp photo.jpg; do
    echo "== $picture ($(du -h "$work/$picture" | cut -f1))"
    cold=()
    for ((run = 0; run < runs; run++)); do
      sleep "$gap"
      cold+=("$(seconds job "$picture")")
    done
    job "$picture"
    warm=()
    for ((run = 0; run < runs; run++)); do
      warm+=("$(seconds job "$picture")")
    done
    printf '  cold    %s s  (%s)\n' "$(printf '%s\n' "${cold[@]}" | median)" "${cold[*]}"
    printf '  warm    %s s  (%s)\n' "$(printf '%s\n' "${warm[@]}" | median)" "${warm[*]}"
    printf '  memory  %s MB\n' "$(/usr/bin/time -f %M "$batch" "$work/$picture" "$work/out" 2>&1 >/dev/null |
      tail -1 | awk '{ printf "%.0f", $1 / 1024 }')"
    printf '  stages  %s\n' "$("$batch" --timings "$work/$picture" "$work/out" 2>&1 | tr -s ' \n' ' ')"
  done

  echo "== against Pillow (photo.bmp, interleaved, each run after ${gap} s)"
  ours=()
  pillow=()
  for ((run = 0; run < runs; run++)); do
    sleep "$gap"
    ours+=("$(seconds job photo.bmp)")
    sleep "$gap"
    pillow+=("$(seconds "$python" "$work/pillow_remap.py" "$work/photo.bmp" "$work/pillow.bmp")")
  done
  ourMedian=$(printf '%s\n' "${ours[@]}" | median)
  pillowMedian=$(printf '%s\n' "${pillow[@]}" | median)
  printf '  mozenta-batch  %s s  (%s)\n' "$ourMedian" "${ours[*]}"
  printf '  Pillow         %s s  (%s)\n' "$pillowMedian" "${pillow[*]}"
  printf '  ratio          %.2f\n' "$(echo "$ourMedian / $pillowMedian" | bc -l)"
  echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
}

photo() {
  if [[ ! -f $work/phone.png || ! -f $work/phone.jpg ]]; then
    echo "making a 6000 x 4000 photo-like picture in $work ..."
    "$build/bench/make_photo" 6000 4000 "$work/phone.bmp" "$work/phone.ppm"
    vips copy "$work/phone.ppm" "$work/phone.png"
    cjpeg -quality 90 -outfile "$work/phone.jpg" "$work/phone.ppm"
    rm -f "$work/phone.ppm" "$work/phone.bmp"
  fi
  for picture in phone.png phone.jpg; do
    echo "== $picture ($(du -h "$work/$picture" | cut -f1)), --size 400x300"
    for run in 1 2 3; do
      printf '%-10s' "run $run"
      "$batch" --timings --size 400x300 "$work/$picture" "$work/fitted" 2>&1 | tr '\n' ' '
      echo
    done
    peak_memory "$batch" --size 400x300 "$work/$picture" "$work/fitted"
  done
}

for section in "${sections[@]}"; do
  "$section"
done
