#!/usr/bin/env bash
# Fails, naming them, when tracked C or C++ files are not laid out as
# .clang-format says. Releases of clang-format lay out the same file
# differently, so the check runs the release the layout was tuned with.
set -euo pipefail
cd "$(dirname "$0")/.."
format=clang-format-14
mapfile -t files < <(git ls-files '*.c' '*.cpp' '*.h')
if report=$("$format" --dry-run --Werror "${files[@]}" 2>&1); then
  exit 0
fi
mapfile -t unformatted < <(sed -n 's/^\(.*\):[0-9]*:[0-9]*: error: code should be clang-formatted.*/\1/p' <<<"$report" | sort -u)
if [ ${#unformatted[@]} -eq 0 ]; then
  printf '%s\n' "$report" >&2
  echo "$format could not check the files" >&2
  exit 1
fi
printf '%s\n' "${unformatted[@]}" >&2
echo "These ${#unformatted[@]} file(s) are not formatted; $format -i <file>... formats them." >&2
exit 1
