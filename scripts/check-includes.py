#!/usr/bin/env python3
"""Checks the include order of docs/STYLE.md: the file's own header (one
quoted include, first), then the headers in angle brackets, then the
project's headers in quotes. clang-format sorts within each block; this
checks the order of the blocks, which it cannot know.

usage: scripts/check-includes.py [FILE...]   (default: every tracked source)
"""
import re
import subprocess
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')


def violations(path):
    found = []
    includes = []
    depth = 0
    with open(path, encoding="utf-8", errors="replace") as f:
        for number, line in enumerate(f, 1):
            stripped = line.strip()
            # Conditional includes (platform headers, C/C++ switches) keep their place.
            if re.match(r"#\s*if", stripped):
                depth += 1
            elif re.match(r"#\s*endif", stripped):
                depth -= 1
            match = INCLUDE.match(line)
            if match and depth <= (1 if path.endswith(".h") else 0):
                includes.append((number, match.group(1) == "<", match.group(2)))
    if not includes:
        return found
    # A header's include guard is one level of #if; anything deeper was skipped.
    start = 1 if not includes[0][1] else 0  # the own header, when it comes first
    seen_quoted = False
    for number, angle, name in includes[start:]:
        if angle and seen_quoted:
            found.append(f"{path}:{number}: <{name}> after the project's headers")
        if not angle:
            seen_quoted = True
    return found


def main():
    files = sys.argv[1:] or subprocess.check_output(
        ["git", "ls-files", "*.cpp", "*.h", "*.c"]).decode().split()
    problems = [v for path in files for v in violations(path)]
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
