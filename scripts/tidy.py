#!/usr/bin/env python3
"""Runs clang-tidy (the checks of .clang-tidy) over the library's and the
tools' sources, in parallel, and fails on any finding.

A source whose preprocessed text, compile flags, .clang-tidy and clang-tidy
version are all unchanged since it last passed is not checked again: the
check is the slowest step of CI otherwise, and nearly every run changes a
handful of files. The cache lives in $ZOVESK_TIDY_CACHE (default
~/.cache/zovesk-tidy) and only ever records passes.

usage: scripts/tidy.py [BUILD_DIR] [--fix]
"""
import concurrent.futures
import hashlib
import json
import os
import shlex
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
CHECKED_FOLDERS = ("zo_camera/", "zo_rulo/", "zo_tools/", "tools/")


def run(args, **kwargs):
    return subprocess.run(args, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, **kwargs)


def checked_units(build_dir):
    with open(os.path.join(build_dir, "compile_commands.json")) as f:
        commands = json.load(f)
    units = {}
    for entry in commands:
        path = os.path.relpath(os.path.join(entry["directory"], entry["file"]), ROOT)
        if path.startswith(CHECKED_FOLDERS) and path.endswith(".cpp"):
            units[path] = entry
    return [units[path] for path in sorted(units)]


def preprocessed_digest(entry, salt):
    args = shlex.split(entry["command"]) if "command" in entry else list(entry["arguments"])
    # Drop the launcher, the output and the compile step; keep every flag.
    # Comments stay in the text (-C): NOLINT markers are part of what passed.
    if os.path.basename(args[0]) == "ccache":
        args = args[1:]
    out = []
    skip = False
    for arg in args:
        if skip:
            skip = False
            continue
        if arg in ("-o", "-MF", "-MT", "-MQ"):
            skip = True
            continue
        if arg in ("-c", "-MD", "-MMD"):
            continue
        out.append(arg)
    result = subprocess.run(out + ["-E", "-P", "-C"], cwd=entry["directory"],
                            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    # The checkout's own path (in flags and in expanded __FILE__s) is left
    # out, so clones in other places share what passed.
    root = ROOT.encode()
    digest = hashlib.sha256(salt)
    digest.update(" ".join(out).encode().replace(root, b"@"))
    digest.update(result.stdout.replace(root, b"@"))
    return digest.hexdigest() if result.returncode == 0 else None


def main():
    positional = [a for a in sys.argv[1:] if not a.startswith("--")]
    fix = "--fix" in sys.argv[1:]
    build_dir = os.path.abspath(positional[0] if positional else os.path.join(ROOT, "build"))
    cache = os.environ.get("ZOVESK_TIDY_CACHE",
                           os.path.join(os.path.expanduser("~"), ".cache", "zovesk-tidy"))
    os.makedirs(cache, exist_ok=True)
    version = run(["clang-tidy", "--version"]).stdout
    with open(os.path.join(ROOT, ".clang-tidy"), "rb") as f:
        salt = version + f.read()

    def check(entry):
        path = os.path.relpath(os.path.join(entry["directory"], entry["file"]), ROOT)
        digest = None if fix else preprocessed_digest(entry, salt)
        marker = os.path.join(cache, digest) if digest else None
        if marker and os.path.exists(marker):
            return path, True, "", True
        args = ["clang-tidy", "-p", build_dir, "--quiet", os.path.join(ROOT, path)]
        if fix:
            args.insert(1, "--fix")
        result = run(args, cwd=ROOT)
        text = result.stdout.decode(errors="replace")
        findings = "\n".join(l for l in text.splitlines()
                             if not l.endswith("warnings generated.")
                             and not l.startswith("Suppressed "))
        passed = result.returncode == 0 and ": warning:" not in text and ": error:" not in text
        if passed and marker:
            open(marker, "w").close()
        return path, passed, findings, False

    units = checked_units(build_dir)
    jobs = int(os.environ.get("ZOVESK_TIDY_JOBS", os.cpu_count() or 2))
    failed = 0
    cached = 0
    with concurrent.futures.ThreadPoolExecutor(max_workers=jobs) as pool:
        for path, passed, findings, hit in pool.map(check, units):
            cached += hit
            if not passed:
                failed += 1
                print(findings)
    print(f"clang-tidy: {len(units)} sources, {cached} unchanged since they passed, "
          f"{failed} with findings")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
