#!/usr/bin/env bash
# Fails when a C++ file of the tree is not formatted as .clang-format says,
# naming the files and the command that formats them. Versions of
# clang-format format differently, so only the major version named at the top
# of .clang-format is used; where it is not installed the check says so and
# exits 77, which CTest reports as skipped.
#
#   tests/style/check_format.sh [SOURCE_DIR]
#
# CLANG_FORMAT=/path/to/clang-format picks the binary (it must still be the
# named major version).
set -uo pipefail
src=${1:-$(cd "$(dirname "$0")/../.." && pwd)}
cd "$src" || exit 2

want=$(sed -n 's/^#.*formatted with clang-format \([0-9][0-9]*\).*/\1/p' .clang-format | head -n 1)
if [ -z "$want" ]; then
  echo "format: the first lines of .clang-format do not say which clang-format the tree is formatted with" >&2
  exit 2
fi

major() { "$1" --version 2>/dev/null | sed -n 's/.*version \([0-9][0-9]*\).*/\1/p' | head -n 1; }

tool=
for candidate in ${CLANG_FORMAT:-} "clang-format-$want" clang-format; do
  path=$(command -v "$candidate" 2>/dev/null) || continue
  if [ "$(major "$path")" = "$want" ]; then
    tool=$path
    break
  fi
done
if [ -z "$tool" ]; then
  echo "format: SKIPPED: clang-format $want not found (as clang-format-$want or clang-format); the format is not checked"
  exit 77
fi
if ! "$tool" --style=file --dump-config >/dev/null; then
  echo "format: $tool cannot read .clang-format" >&2
  exit 2
fi

# The C++ files of the source folders: tracked and new (not ignored) ones in
# a checkout, all of them otherwise. Build folders, wherever they are, hold
# none of ours.
folders=(core console records screens tests bench fuzz)
files=()
if [ "$(git rev-parse --show-toplevel 2>/dev/null)" = "$(pwd -P)" ]; then
  while IFS= read -r -d '' f; do
    [ -f "$f" ] && files+=("$f")
  done < <(git ls-files -z --cached --others --exclude-standard -- "${folders[@]/%//*.h}" "${folders[@]/%//*.cpp}" |
           sort -zu)
else
  while IFS= read -r -d '' f; do
    files+=("${f#./}")
  done < <(find "${folders[@]}" -type f \( -name '*.h' -o -name '*.cpp' \) -print0 2>/dev/null | sort -z)
fi
if [ ${#files[@]} -eq 0 ]; then
  echo "format: no C++ files found in $src" >&2
  exit 2
fi

# One run over all of them; only where it fails, one a file to name them.
bad=()
if ! "$tool" --style=file --dry-run --Werror "${files[@]}" >/dev/null 2>&1; then
  for f in "${files[@]}"; do
    "$tool" --style=file --dry-run --Werror "$f" >/dev/null 2>&1 || bad+=("$f")
  done
fi

if [ ${#bad[@]} -eq 0 ]; then
  echo "format: ${#files[@]} C++ files formatted as .clang-format says ($("$tool" --version | sed 's/^ *//'))"
  exit 0
fi
echo "format: ${#bad[@]} of ${#files[@]} C++ files are not formatted as .clang-format says:"
printf '  %s\n' "${bad[@]}"
echo "The first differences:"
"$tool" --style=file --dry-run "${bad[@]}" 2>&1 | head -n 30 | sed 's/^/  /'
echo "Format them with (from $src):"
echo "  $(basename "$tool") -i ${bad[*]}"
exit 1
