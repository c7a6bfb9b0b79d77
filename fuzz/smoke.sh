#!/usr/bin/env bash
# Runs every fuzz target for a short fixed time, seeded with the test files of its format. New inputs go to
# a scratch corpus under the build folder; a crash leaves its input there too and fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/fuzz
seconds=${FUZZ_SECONDS:-20}
# The pictures read through libvips are seeded with the sample files the tests write.
mkdir -p "$build/seeds/vips"
ASAN_OPTIONS=detect_leaks=0 "$build/fuzz/make_vips_seeds" "$build/seeds/vips"  # x265 keeps a buffer to the end
declare -A seeds=(
  [bmp_fuzz]="tests/data/bmpsuite/g tests/data/bmpsuite/q tests/data/bmpsuite/b tests/data/bmpsuite/x"
  [icon_fuzz]="tests/data/icon"
  [jpeg_fuzz]="tests/data/jpeg/libjpeg-turbo tests/data/jpeg/pillow"
  [metafile_fuzz]="tests/data/metafile"
  [vips_fuzz]="$build/seeds/vips"
  [project_fuzz]="tests/data/project"
  [palette_fuzz]="tests/data/palette"
)
for target in bmp_fuzz icon_fuzz jpeg_fuzz metafile_fuzz vips_fuzz project_fuzz palette_fuzz; do
  scratch="$build/corpus/$target"
  mkdir -p "$scratch" "$build/artifacts"
  echo "fuzz-smoke: $target for ${seconds}s"
  # shellcheck disable=SC2086
  "$build/fuzz/$target" -max_total_time="$seconds" -rss_limit_mb=2560 -max_len=65536 -print_final_stats=1 \
    -artifact_prefix="$build/artifacts/$target-" "$scratch" ${seeds[$target]} 2>&1 | tail -n 12
done
