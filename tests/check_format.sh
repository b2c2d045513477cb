#!/bin/sh
# Checks that every C and C++ source in the checkout is as clang-format leaves
# it. Exits 77 (skipped) when there is no git checkout or no clang-format of the
# version the style was settled with: other versions format some constructs
# differently and would report sources that are fine.
root="$1"
cd "$root" || exit 1
command -v git >/dev/null 2>&1 && git rev-parse --is-inside-work-tree >/dev/null 2>&1 || {
  echo "not a git checkout: formatting not checked"; exit 77; }
formatter=""
for c in clang-format-14 clang-format; do
  if command -v "$c" >/dev/null 2>&1 && "$c" --version | grep -q 'version 14\.'; then formatter="$c"; break; fi
done
[ -n "$formatter" ] || { echo "no clang-format 14: formatting not checked"; exit 77; }
files=$(git ls-files '*.cc' '*.h' '*.c' '*.inl')
# shellcheck disable=SC2086
"$formatter" --dry-run -Werror $files || { echo "run 'make format' to fix the files above"; exit 1; }
echo "$(echo "$files" | wc -l) files formatted"
