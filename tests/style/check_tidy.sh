#!/usr/bin/env bash
# Runs clang-tidy with the project's .clang-tidy over the game's code (core,
# console, records, screens) and fails on any finding. Needs the build's
# compile_commands.json and a clang-tidy at least as new as the version
# .clang-tidy was written for; without one it says so and exits 77, which
# CTest reports as skipped.
#
#   tests/style/check_tidy.sh [--all] SOURCE_DIR BUILD_DIR
#
# --all also checks tests/ and bench/ (with the lighter tests/.clang-tidy
# there); it takes a few minutes. CLANG_TIDY=/path/to/clang-tidy picks the
# binary, SKARVEL_TIDY_JOBS the number of files analysed at once (default 2).
set -uo pipefail
dirs=(core console records screens)
if [ "${1:-}" = "--all" ]; then
  dirs+=(tests bench)
  shift
fi
if [ $# -ne 2 ]; then
  echo "usage: $0 [--all] SOURCE_DIR BUILD_DIR" >&2
  exit 2
fi
src=$(cd "$1" && pwd -P) || exit 2
build=$(cd "$2" && pwd -P) || exit 2
jobs=${SKARVEL_TIDY_JOBS:-2}

want=$(sed -n 's/^#.*Written for clang-tidy \([0-9][0-9]*\).*/\1/p' "$src/.clang-tidy" | head -n 1)
if [ -z "$want" ]; then
  echo "tidy: the comment at the top of .clang-tidy does not say which clang-tidy it was written for" >&2
  exit 2
fi

major() { "$1" --version 2>/dev/null | sed -n 's/.*version \([0-9][0-9]*\).*/\1/p' | head -n 1; }

# The version the configuration was written for first, then any newer one.
tool=
candidates=(${CLANG_TIDY:-} "clang-tidy-$want" clang-tidy)
for v in $(seq $((want + 30)) -1 $((want + 1))); do candidates+=("clang-tidy-$v"); done
for candidate in "${candidates[@]}"; do
  path=$(command -v "$candidate" 2>/dev/null) || continue
  v=$(major "$path")
  if [ -n "$v" ] && [ "$v" -ge "$want" ]; then
    tool=$path
    break
  fi
done
if [ -z "$tool" ]; then
  echo "tidy: SKIPPED: no clang-tidy $want or newer found; the code is not analysed"
  exit 77
fi

if [ ! -f "$build/compile_commands.json" ]; then
  echo "tidy: $build/compile_commands.json is missing (configure with CMAKE_EXPORT_COMPILE_COMMANDS=ON)" >&2
  exit 2
fi

# One compile command per file: the library is built twice (with and without
# the sanitizers) and each file needs analysing once.
work=$build/style-tidy
rm -rf "$work"
mkdir -p "$work/logs"
files=()
while IFS= read -r f; do files+=("$f"); done < <(python3 - "$build/compile_commands.json" "$work/compile_commands.json" "$src" "${dirs[@]}" <<'EOF'
import json, os, sys
database, out, src, dirs = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4:]
roots = tuple(os.path.join(src, d) + os.sep for d in dirs)
chosen = {}
for entry in json.load(open(database)):
    path = os.path.realpath(os.path.join(entry["directory"], entry["file"]))
    if not path.startswith(roots):
        continue
    command = entry.get("command") or " ".join(entry.get("arguments", []))
    if path not in chosen or "-fsanitize" in chosen[path][1] and "-fsanitize" not in command:
        chosen[path] = (entry, command)
json.dump([e for e, _ in chosen.values()], open(out, "w"), indent=1)
# The largest first, so that the jobs end together.
print("\n".join(sorted(chosen, key=lambda p: -os.path.getsize(p))))
EOF
)
if [ ${#files[@]} -eq 0 ]; then
  echo "tidy: compile_commands.json lists none of the files to analyse" >&2
  exit 2
fi

escaped=$(printf '%s' "$src" | sed 's/[][\.*^$+?(){}|]/\\&/g')
filter="^$escaped/($(IFS='|'; echo "${dirs[*]}"))/"

start=$(date +%s)
printf '%s\0' "${files[@]}" | xargs -0 -n 1 -P "$jobs" bash -c '
  log=$1/logs/$(echo "${5#$4/}" | tr / _).log
  "$2" -p "$1" --quiet --header-filter="$3" "$5" >"$log" 2>&1 || touch "$log.failed"
' _ "$work" "$tool" "$filter" "$src"
seconds=$(( $(date +%s) - start ))

failed=("$work"/logs/*.failed)
if [ ! -e "${failed[0]}" ]; then
  echo "tidy: ${#files[@]} files clean ($(basename "$tool"), version $(major "$tool"); ${seconds} s, $jobs files at a time)"
  exit 0
fi
for marker in "${failed[@]}"; do
  grep -v -e '^[0-9]* warnings\? generated\.$' -e '^[0-9]* warnings\? and [0-9]* errors\? generated\.$' \
    -e '^Error while processing ' "${marker%.failed}"
done
# A header's finding shows once per file that includes it: count each once.
findings=$(cat "$work"/logs/*.log | grep -E '^/.*:[0-9]+:[0-9]+: (warning|error): ' | sort -u | sort -t: -k1,1 -k2,2n -k3,3n)
echo
echo "tidy: findings in ${#failed[@]} of ${#files[@]} files ($(printf '%s\n' "$findings" | grep -c .) in all):"
printf '%s\n' "$findings" | sed -E "s|^$escaped/||; s/ \[([^],]*)[],].*/ [\1]/" | sed 's/^/  /'
echo "Fix each, or silence one that is not a fault with // NOLINT(check) and the reason beside it."
exit 1
