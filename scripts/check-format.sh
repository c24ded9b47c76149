#!/usr/bin/env bash
# Checks that every tracked C++ file is formatted by the repository's .clang-format
# (clang-format 14, as Debian 12 ships it). Lists the files that are not and fails;
# `clang-format -i FILE...` formats them.
set -euo pipefail
cd "$(dirname "$0")/.."
format=$(command -v clang-format-14 || command -v clang-format)
mapfile -t files < <(git ls-files -- '*.cpp' '*.h')
unformatted=()
for f in "${files[@]}"; do
    "$format" --style=file "$f" | cmp -s - "$f" || unformatted+=("$f")
done
if [ ${#unformatted[@]} -gt 0 ]; then
    echo "Nicht nach .clang-format formatiert (clang-format -i DATEI...):" >&2
    printf '  %s\n' "${unformatted[@]}" >&2
    exit 1
fi
echo "Formatierung: ${#files[@]} Dateien geprüft."
