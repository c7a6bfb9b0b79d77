#!/usr/bin/env bash
# Times the whole job of mozenta-batch on the largest mosaic: a 2000 × 20000 photo-like picture as a BMP
# and as a JPEG, default blocks, 32-bit mosaic. Prints each stage's seconds for three runs that write new
# files, three that replace the files of the run before (the kernel then also frees the old files' pages),
# and the peak memory of one run.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/release
work=${BENCH_DIR:-$build/bench-data}
mkdir -p "$work"

if [[ ! -f $work/photo.bmp || ! -f $work/photo.jpg ]]; then
  echo "making a 2000 x 20000 photo-like picture in $work ..."
  "$build/bench/make_photo" 2000 20000 "$work/photo.bmp" "$work/photo.ppm"
  cjpeg -quality 90 -outfile "$work/photo.jpg" "$work/photo.ppm"
  rm -f "$work/photo.ppm"
fi

for picture in photo.bmp photo.jpg; do
  echo "== $picture ($(du -h "$work/$picture" | cut -f1))"
  for mode in new replacing; do
    for run in 1 2 3; do
      [[ $mode == new ]] && rm -f "$work/out.txt" "$work/out.csv" "$work/out.bmp"
      printf '%-10s' "$mode"
      "$build/src/batch/mozenta-batch" --timings "$work/$picture" "$work/out" 2>&1 | tr '\n' ' '
      echo
    done
  done
  /usr/bin/time -v "$build/src/batch/mozenta-batch" "$work/$picture" "$work/out" 2>&1 |
    grep -E 'Maximum resident|Elapsed' | sed 's/^\s*/  /'
done
