#!/usr/bin/env bash
# Fails when a C++ source of the repository differs from the house style in .clang-format.
# Data tables (*_table.cpp, *_table.h) keep their hand-aligned columns and are not checked.
# With --fix the sources are formatted in place instead.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
mapfile -t files < <(git ls-files '*.cpp' '*.h' | grep -vE '_table\.(cpp|h)$')
if [ "${1:-}" = "--fix" ]; then
  clang-format -i "${files[@]}"
  exit 0
fi
bad=()
for f in "${files[@]}"; do
  clang-format --dry-run --Werror "$f" >/dev/null 2>&1 || bad+=("$f")
done
if ((${#bad[@]})); then
  echo "  not in the house style (run scripts/check_format.sh --fix):"
  printf '    %s\n' "${bad[@]}"
  exit 1
fi
echo "  ${#files[@]} sources in the house style"
