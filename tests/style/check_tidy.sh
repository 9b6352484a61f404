#!/usr/bin/env bash
# Runs clang-tidy with the project's .clang-tidy over the game's code (core,
# console, records, screens) and fails on any finding. Needs the build's
# compile_commands.json and a clang-tidy at least as new as the version
# .clang-tidy was written for; without one it says so and exits 77, which
# CTest reports as skipped.
#
#   tests/style/check_tidy.sh [--all] SOURCE_DIR BUILD_DIR
#   tests/style/check_tidy.sh --built SOURCE_DIR BUILD_DIR
#   tests/style/check_tidy.sh --file SOURCE_DIR BUILD_DIR FILE
#   tests/style/check_tidy.sh --databases SOURCE_DIR BUILD_DIR
#   tests/style/check_tidy.sh --find SOURCE_DIR
#
# Each file's findings are kept in BUILD_DIR/style-tidy/ with the headers it
# includes. Without a mode every file is analysed afresh; --all also checks
# tests/ and bench/ (with the lighter tests/.clang-tidy there), which takes a
# few minutes. The build analyses each file of the game beside the compiler
# (--file; tests/style/CMakeLists.txt), and again only when the file, a header
# it includes, its compile command, .clang-tidy or this script changes; the
# tidy test (--built) analyses what the build has not, then reports. --file
# fails only when it cannot analyse, so a finding does not stop the build.
# --databases writes the one compile command each file is analysed with;
# --find prints the clang-tidy used. CLANG_TIDY=/path/to/clang-tidy picks the
# binary, SKARVEL_TIDY_JOBS the number of files analysed at once (default 2).
set -uo pipefail
dirs=(core console records screens)
mode=fresh
case "${1:-}" in
  --all) mode=all; dirs+=(tests bench); shift ;;
  --built | --file | --databases | --find) mode=${1#--}; shift ;;
esac
case "$mode:$#" in
  find:1 | file:3 | fresh:2 | all:2 | built:2 | databases:2) ;;
  *)
    echo "usage: $0 [--all | --built | --databases] SOURCE_DIR BUILD_DIR" >&2
    echo "       $0 --file SOURCE_DIR BUILD_DIR FILE | --find SOURCE_DIR" >&2
    exit 2
    ;;
esac
src=$(cd "$1" && pwd -P) || exit 2
script=$src/tests/style/check_tidy.sh

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
if [ "$mode" = find ]; then
  echo "$tool"
  exit 0
fi

build=$(cd "$2" && pwd -P) || exit 2
if [ ! -f "$build/compile_commands.json" ]; then
  echo "tidy: $build/compile_commands.json is missing (configure with CMAKE_EXPORT_COMPILE_COMMANDS=ON)" >&2
  exit 2
fi
work=$build/style-tidy
mkdir -p "$work"

escaped=$(printf '%s' "$src" | sed 's/[][\.*^$+?(){}|]/\\&/g')
filter="^$escaped/($(IFS='|'; echo "${dirs[*]}"))/"

# A file's results are named after its path in the tree: core/move.cpp is
# core_move.cpp.log (its findings), .d (what it was analysed from), .failed
# (there when it has findings) and db/core_move.cpp/compile_commands.json.
name_of() { local rel=${1#"$src"/}; echo "${rel//\//_}"; }

# One file: its findings, and what they were found from as make's rule.
analyse() {
  local name base status
  name=$(name_of "$1")
  base=$work/$name
  rm -f "$base.failed"
  # -H lists the included headers on standard error, one a line.
  "$tool" -p "$work/db/$name" --quiet --header-filter="$filter" --extra-arg=-H "$1" >"$base.out" 2>"$base.err"
  status=$?
  grep -v '^\.\+ ' "$base.err" >>"$base.out"
  {
    printf '%s: ' "$base.log"
    { printf '%s\n' "$1" "$work/db/$name/compile_commands.json" "$src/.clang-tidy" "$script"
      sed -n 's/^\.\+ //p' "$base.err"
    } | sed 's/[ #]/\\&/g' | tr '\n' ' '
    echo
  } >"$base.d"
  rm -f "$base.err"
  mv "$base.out" "$base.log"
  [ "$status" -eq 0 ] || touch "$base.failed"
}

# One compile command a file, written where it differs from the last: the
# library is built twice (with and without the sanitizers) and each file is
# analysed once, with the command of the game as shipped. Prints the files,
# the largest first, so that the jobs end together; with --built, a file
# whose results are older than what they were found from is marked "stale".
databases() {
  python3 - "$build/compile_commands.json" "$work" "$src" "$mode" "${dirs[@]}" <<'EOF'
import json, os, sys
database, work, src, mode, dirs = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4], sys.argv[5:]
roots = tuple(os.path.join(src, d) + os.sep for d in dirs)
chosen = {}
for entry in json.load(open(database)):
    path = os.path.realpath(os.path.join(entry["directory"], entry["file"]))
    if not path.startswith(roots):
        continue
    command = entry.get("command") or " ".join(entry.get("arguments", []))
    if path not in chosen or "-fsanitize" in chosen[path][1] and "-fsanitize" not in command:
        chosen[path] = (entry, command)

def stale(base):
    """Results missing, or older than a file they were found from."""
    try:
        built = os.path.getmtime(base + ".log")
        with open(base + ".d") as rule:
            text = rule.read().replace("\\\n", " ")
    except OSError:
        return True
    deps = [d.replace("\0", " ") for d in text.replace("\\ ", "\0").replace("\\#", "#").split()[1:]]
    return any(not os.path.exists(d) or os.path.getmtime(d) > built for d in deps)

for path, (entry, _) in sorted(chosen.items(), key=lambda item: -os.path.getsize(item[0])):
    name = os.path.relpath(path, src).replace(os.sep, "_")
    folder = os.path.join(work, "db", name)
    os.makedirs(folder, exist_ok=True)
    text = json.dumps([entry], indent=1)
    target = os.path.join(folder, "compile_commands.json")
    if not os.path.exists(target) or open(target).read() != text:
        with open(target, "w") as out:
            out.write(text)
    print(path + ("\tstale" if mode == "built" and stale(os.path.join(work, name)) else ""))
EOF
}

if [ "$mode" = file ]; then
  file=$(realpath "$3") || exit 2
  [ -f "$work/db/$(name_of "$file")/compile_commands.json" ] || databases >/dev/null || exit 2
  analyse "$file"
  if [ -e "$work/$(name_of "$file").failed" ]; then
    echo "tidy: findings in ${file#"$src"/}; the tidy test lists them"
  fi
  exit 0
fi

files=()
todo=()
while IFS=$'\t' read -r f state; do
  files+=("$f")
  [ "$mode" != built ] || [ "$state" = stale ] && todo+=("$f")
done < <(databases)
[ "$mode" = databases ] && exit 0
if [ ${#files[@]} -eq 0 ]; then
  echo "tidy: compile_commands.json lists none of the files to analyse" >&2
  exit 2
fi

jobs=${SKARVEL_TIDY_JOBS:-2}
start=$(date +%s)
if [ ${#todo[@]} -gt 0 ]; then
  export src work tool filter script
  export -f analyse name_of
  printf '%s\0' "${todo[@]}" | xargs -0 -n 1 -P "$jobs" bash -c 'analyse "$1"' _
fi
seconds=$(( $(date +%s) - start ))
if [ "$mode" = built ]; then
  how="$(( ${#files[@]} - ${#todo[@]} )) analysed in the build, ${#todo[@]} here in ${seconds} s"
else
  how="${seconds} s, $jobs files at a time"
fi

logs=()
failed=()
for f in "${files[@]}"; do
  base=$work/$(name_of "$f")
  logs+=("$base.log")
  [ -e "$base.failed" ] && failed+=("$base")
done
if [ ${#failed[@]} -eq 0 ]; then
  echo "tidy: ${#files[@]} files clean ($(basename "$tool"), version $(major "$tool"); $how)"
  exit 0
fi
for base in "${failed[@]}"; do
  grep -v -e '^[0-9]* warnings\? generated\.$' -e '^[0-9]* warnings\? and [0-9]* errors\? generated\.$' \
    -e '^Error while processing ' "$base.log"
done
# A header's finding shows once per file that includes it: count each once.
findings=$(cat "${logs[@]}" | grep -E '^/.*:[0-9]+:[0-9]+: (warning|error): ' | sort -u | sort -t: -k1,1 -k2,2n -k3,3n)
echo
echo "tidy: findings in ${#failed[@]} of ${#files[@]} files ($(printf '%s\n' "$findings" | grep -c .) in all):"
printf '%s\n' "$findings" | sed -E "s|^$escaped/||; s/ \[([^],]*)[],].*/ [\1]/" | sed 's/^/  /'
echo "Fix each, or silence one that is not a fault with // NOLINT(check) and the reason beside it."
exit 1
