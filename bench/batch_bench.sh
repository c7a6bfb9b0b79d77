#!/usr/bin/env bash
# Times the whole job of mozenta-batch. Sections (all by default, or those named as arguments):
#   largest  the largest mosaic: a 2000 × 20000 photo-like picture as a BMP and as a JPEG, default blocks,
#            32-bit mosaic; each stage's seconds for three runs that write new files, three that replace the
#            files of the run before (the kernel then also frees the old files' pages), and the peak memory
#   photo    a phone-sized 6000 × 4000 photo as a PNG and as a JPEG, fitted to 400 × 300 sheets
#            (--size 400x300); each stage's seconds for three runs, and the peak memory of one
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/release
work=${BENCH_DIR:-$build/bench-data}
batch=$build/src/batch/mozenta-batch
mkdir -p "$work"
sections=("$@")
[[ ${#sections[@]} -gt 0 ]] || sections=(largest photo)

peak_memory() {
  /usr/bin/time -v "$@" 2>&1 | grep -E 'Maximum resident|Elapsed' | sed 's/^\s*/  /'
}

largest() {
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
        "$batch" --timings "$work/$picture" "$work/out" 2>&1 | tr '\n' ' '
        echo
      done
    done
    peak_memory "$batch" "$work/$picture" "$work/out"
  done
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
