#!/usr/bin/env bash
# Installs the Debian package into a fresh, minimal Debian bookworm system and runs it there: the proof that
# its Depends line is complete on a machine without the build packages. Needs root, debootstrap and the
# network; takes a few minutes. Run `make package` first.
#   scripts/check-package.sh [PACKAGE.deb]
# CHROOT names the folder of the throw-away system (build/chroot); MIRROR the Debian archive to use.
set -euo pipefail
cd "$(dirname "$0")/.."

package=${1:-$(ls build/package/mozenta_*.deb 2>/dev/null | tail -n 1)}
chroot_dir=${CHROOT:-build/chroot}
mirror=${MIRROR:-http://deb.debian.org/debian}
make_photo=build/release/bench/make_photo

[[ $(id -u) -eq 0 ]] || { echo "check-package: run as root (debootstrap, chroot, mount)" >&2; exit 1; }
[[ -f "$package" ]] || { echo "check-package: no package; run make package first" >&2; exit 1; }
[[ -x "$make_photo" ]] || { echo "check-package: $make_photo is missing; run make build first" >&2; exit 1; }
if [[ -e "$chroot_dir" ]]; then
  echo "check-package: $chroot_dir exists; remove it or set CHROOT" >&2
  exit 1
fi

mkdir -p "$chroot_dir"
chroot_dir=$(realpath "$chroot_dir")
# The system is removed on every way out, but only once /proc is unmounted: rm -rf must never walk into
# the host's /proc.
cleanup() {
  if mountpoint -q "$chroot_dir/proc"; then umount "$chroot_dir/proc"; fi
  if grep -q " $chroot_dir/" /proc/mounts; then
    echo "check-package: something is still mounted under $chroot_dir; not removing it" >&2
    return
  fi
  rm -rf --one-file-system "$chroot_dir"
}
trap cleanup EXIT

echo "== debootstrap bookworm (minbase) into $chroot_dir"
debootstrap --variant=minbase bookworm "$chroot_dir" "$mirror" >"$chroot_dir.debootstrap.log" 2>&1 ||
  { tail -n 20 "$chroot_dir.debootstrap.log" >&2; exit 1; }
rm -f "$chroot_dir.debootstrap.log"
mount -t proc proc "$chroot_dir/proc"

work=$chroot_dir/root/check
mkdir -p "$work"
cp "$package" "$work/"
"$make_photo" 200 100 "$work/sample.bmp"
# The same job on the build machine gives the bytes the installed program must give.
build/release/src/batch/mozenta-batch "$work/sample.bmp" "$work/expected"
build/release/src/batch/mozenta-batch --size 50x25 "$work/sample.bmp" "$work/expected-fitted"

in_chroot() { chroot "$chroot_dir" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root "$@"; }

# Without the recommended packages: what Depends names must be enough.
echo "== apt-get install --no-install-recommends ./$(basename "$package")"
in_chroot apt-get update -qq
in_chroot sh -c "cd /root/check && DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends \
  ./$(basename "$package")" >"$work/apt.log" 2>&1 || { tail -n 30 "$work/apt.log" >&2; exit 1; }
grep 'newly installed' "$work/apt.log"
in_chroot dpkg-query -W -f='Depends: ${Depends}\n' mozenta

echo "== mozenta-batch converts a sample"
in_chroot mozenta-batch --version
in_chroot sh -c 'cd /root/check && mozenta-batch sample.bmp sample-mosaic'
for extension in txt csv bmp; do
  cmp "$work/expected.$extension" "$work/sample-mosaic.$extension"
  echo "sample-mosaic.$extension: $(stat -c %s "$work/sample-mosaic.$extension") bytes, as on the build machine"
done

# The modules, loaded from the package's library folder: libvips fits the picture, cairo and pango draw the
# sheets. What they need must be in the Depends line as well.
echo "== mozenta-batch fits a sample (mozenta-vips.so) and writes its sheets (mozenta-pdf.so)"
in_chroot sh -c 'cd /root/check && mozenta-batch --size 50x25 sample.bmp fitted && mozenta-batch --pdf sample.bmp sheets'
for extension in txt csv bmp; do
  cmp "$work/expected-fitted.$extension" "$work/fitted.$extension"
done
echo "fitted.bmp: as on the build machine"
[[ $(head -c 5 "$work/sheets.pdf") == "%PDF-" ]] || { echo "check-package: sheets.pdf is no PDF" >&2; exit 1; }
echo "sheets.pdf: $(stat -c %s "$work/sheets.pdf") bytes"

echo "== mozenta starts on the offscreen platform"
# Still running after two seconds means the platform plugin loaded and the main window came up.
status=0
in_chroot sh -c 'QT_QPA_PLATFORM=offscreen timeout 2 mozenta' >"$work/mozenta.log" 2>&1 || status=$?
cat "$work/mozenta.log"
if [[ $status -ne 124 ]]; then
  echo "check-package: mozenta ended with status $status before the timeout" >&2
  exit 1
fi
# Qt finds fonts through fontconfig; its fc-match (a checking tool, installed only now) shows which font the
# captions' family is mapped onto.
in_chroot sh -c 'DEBIAN_FRONTEND=noninteractive apt-get install -y -qq fontconfig >/dev/null 2>&1'
font=$(in_chroot fc-match -f '%{family[0]} (%{file})' IPAPGothic)
echo "IPAPGothic resolves to: $font"
[[ "$font" == IPAPGothic* ]] || { echo "check-package: the Japanese font is missing" >&2; exit 1; }
echo "check-package: $(basename "$package") installs and runs on a fresh bookworm"
