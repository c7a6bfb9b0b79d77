#!/usr/bin/env bash
# Every option that `mozenta-batch --help` lists has its entry in the manual page, so that a new option
# cannot ship undocumented.  Usage: manual_page_test.sh MOZENTA_BATCH MANUAL_PAGE_SOURCE
set -euo pipefail
batch=$1
page=$2

options=$("$batch" --help | grep -o -- '--[a-z][a-z-]*' | sort -u)
[[ -n "$options" ]] || { echo "no options in the help text"; exit 1; }
missing=0
for option in $options; do
  # troff source writes each hyphen of an option as \-
  grep -qF -- "${option//-/\\-}" "$page" || { echo "$option is missing from $page"; missing=1; }
done
exit $missing
