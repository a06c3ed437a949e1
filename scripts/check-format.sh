#!/usr/bin/env bash
# Fails when a C or C++ file under version control differs from .clang-format,
# or when its include blocks are out of the order docs/STYLE.md gives.
set -euo pipefail
cd "$(dirname "$0")/.."
files=$(git ls-files '*.c' '*.cpp' '*.h' '*.hpp' 2>/dev/null || true)
if [ -z "$files" ]; then
    exit 0
fi
# shellcheck disable=SC2086
clang-format --dry-run --Werror $files
scripts/check-includes.py $files
echo "formatting ok"
