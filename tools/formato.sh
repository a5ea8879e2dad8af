#!/bin/sh
# Checks that every C and C++ file git tracks is formatted as .clang-format
# says; lists the files that are not and fails. With --aplicar, formats them
# in place instead.
#
#   tools/formato.sh [--aplicar]
set -eu
cd "$(dirname "$0")/.."
formato=${CLANG_FORMAT:-clang-format}
if ! command -v "$formato" >/dev/null 2>&1; then
    echo "formato.sh: no $formato; run tools/dependencias.sh" >&2
    exit 1
fi
ficheros=$(git ls-files '*.c' '*.cpp' '*.h')
if [ "${1:-}" = "--aplicar" ]; then
    echo "$ficheros" | xargs "$formato" -i --style=file
    exit 0
fi
mal=0
for f in $ficheros; do
    if ! "$formato" --style=file --dry-run --Werror "$f" >/dev/null 2>&1; then
        echo "not formatted: $f"
        mal=1
    fi
done
exit $mal
