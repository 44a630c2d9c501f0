#!/usr/bin/env python3
"""Checks that each source includes what it uses (`make lint`).

Runs include-what-you-use over the toolkit-free layers and programs (engine/,
form/, formats/, files/, cli/, web/), their tests, the benchmarks and the fuzz
targets, and prints, per file, each include it should add or remove:

    engine/cost.cpp: add #include <cstdint>  // for int64_t
    tests/cli/command_test.cpp:20: remove #include <sstream>

A source is checked with its own compile command from BUILD_DIR's
compile_commands.json (configured with clang, so the flags are the ones
clang understands); a .cpp's own header is checked with it; a header
without a .cpp of its own is checked on its own. Exits 1 when anything is
to be added or removed, or a file could not be read, and 0 when every
include is right.

Usage: scripts/check-includes.py BUILD_DIR [JOBS] [RAW_OUTPUT]

RAW_OUTPUT, when given, receives iwyu's own report, which `fix_include
--nosafe_headers < RAW_OUTPUT` applies (review every change by hand).
"""

import concurrent.futures
import json
import os
import re
import shlex
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# What the check covers. The window (ui/, app/, tests/ui/ and the window's
# benchmarks) is left out: Qt 6's headers have no include mapping here.
FOLDERS = [
    "engine", "form", "formats", "files", "cli",
    "tests/support", "tests/engine", "tests/form", "tests/formats",
    "tests/files", "tests/cli", "web", "tests/web", "bench", "fuzz",
]
SKIP = {"bench/bench_window.cpp", "bench/startup.cpp"}

IWYU_ARGS = [
    "-Xiwyu", "--mapping_file=/usr/share/include-what-you-use/gcc.stl.headers.imp",
    "-Xiwyu", "--mapping_file=" + os.path.join(ROOT, "scripts", "iwyu.imp"),
    # A forward declaration is never asked for: the project includes the
    # header that declares a type.
    "-Xiwyu", "--no_fwd_decls",
    "-Xiwyu", "--max_line_length=200",
]


# CHECK_INCLUDES_ONLY=REGEX checks only the files whose path matches it.
ONLY = re.compile(os.environ.get("CHECK_INCLUDES_ONLY", ""))


def in_scope(rel):
    return (rel not in SKIP and any(rel.startswith(f + "/") for f in FOLDERS)
            and ONLY.search(rel) is not None)


def rel_path(path, directory):
    full = os.path.normpath(os.path.join(directory, path))
    return os.path.relpath(full, ROOT)


def iwyu_command(entry):
    """The entry's compile command with include-what-you-use as the compiler."""
    if "arguments" in entry:
        args = list(entry["arguments"])
    else:
        args = shlex.split(entry["command"])
    return ["include-what-you-use"] + args[1:] + IWYU_ARGS


def run(job):
    name, command, directory = job
    proc = subprocess.run(command, cwd=directory, capture_output=True, text=True)
    return name, proc.stdout + proc.stderr, directory


HEADER_RE = re.compile(r"^(\S.*) should (add|remove) these lines:$")
CORRECT_RE = re.compile(r"^\((\S.*) has correct #includes/fwd-decls\)$")
REMOVE_RE = re.compile(r"^- (.*?)\s*// lines (\d+)-\d+$")


def findings(output, directory):
    """(file, line, text) for each change iwyu asks for, and the errors."""
    changes = []
    errors = []
    checked = set()
    section = None
    current = None
    for line in output.splitlines():
        m = HEADER_RE.match(line)
        if m:
            current = rel_path(m.group(1), directory)
            section = m.group(2)
            checked.add(current)
            continue
        m = CORRECT_RE.match(line)
        if m:
            checked.add(rel_path(m.group(1), directory))
            section = None
            continue
        if line.startswith("The full include-list") or line == "---":
            section = None
            continue
        if ": error:" in line or line.startswith("error:") or ": fatal error:" in line:
            errors.append(line)
            continue
        if not line.strip() or section is None:
            continue
        if section == "add":
            if line.rstrip().endswith("// for brennick"):
                # Asked for only because the source names the project's
                # namespace (a using-directive): any of its headers does.
                continue
            changes.append((current, 0, "add " + line.strip()))
        elif not line.startswith("- #include"):
            # A forward declaration iwyu finds unused is the code's business,
            # not an include: left alone.
            continue
        else:
            m = REMOVE_RE.match(line)
            if m:
                changes.append((current, int(m.group(2)), "remove " + m.group(1)))
            else:
                changes.append((current, 0, "remove " + line[2:].strip()))
    return changes, errors, checked


def main():
    if len(sys.argv) < 2:
        print(__doc__, file=sys.stderr)
        return 2
    build_dir = os.path.abspath(sys.argv[1])
    jobs = int(sys.argv[2]) if len(sys.argv) > 2 else os.cpu_count() or 1
    db_path = os.path.join(build_dir, "compile_commands.json")
    try:
        with open(db_path, encoding="utf-8") as f:
            db = json.load(f)
    except (OSError, ValueError) as e:
        print(f"check-includes: cannot read {db_path}: {e}", file=sys.stderr)
        return 2

    jobs_list = []
    sources = set()
    flags_by_folder = {}
    for entry in db:
        rel = rel_path(entry["file"], entry["directory"])
        if not in_scope(rel):
            continue
        sources.add(rel)
        command = iwyu_command(entry)
        jobs_list.append((rel, command, entry["directory"]))
        flags_by_folder.setdefault(os.path.dirname(rel), (command, entry["directory"]))

    # Headers with no .cpp of their own: checked as the main file, with the
    # flags of a source in the same folder (or any source in scope).
    fallback = next(iter(flags_by_folder.values()), None)
    test_names = {os.path.basename(s) for s in sources if s.endswith("_test.cpp")}
    for folder in FOLDERS:
        path = os.path.join(ROOT, folder)
        for dirpath, _, files in os.walk(path):
            for name in sorted(files):
                if not name.endswith(".h"):
                    continue
                rel = os.path.relpath(os.path.join(dirpath, name), ROOT)
                if rel[:-2] + ".cpp" in sources or not in_scope(rel):
                    continue
                # iwyu checks X.h together with a test named X_test.cpp that
                # includes it first; checked alone as well, the two can
                # disagree.
                if name[:-2] + "_test.cpp" in test_names:
                    continue
                base = flags_by_folder.get(os.path.dirname(rel), fallback)
                if base is None:
                    continue
                command, directory = base
                # Drop the source and object file; name the header instead.
                args = []
                skip = False
                for a in command:
                    if skip:
                        skip = False
                        continue
                    if a in ("-o", "-c"):
                        skip = a == "-o"
                        continue
                    if a.endswith(".cpp"):
                        continue
                    args.append(a)
                args += ["-x", "c++", "-Wno-pragma-once-outside-header",
                         os.path.join(ROOT, rel)]
                jobs_list.append((rel, args, directory))

    if not jobs_list:
        print(f"check-includes: no source to check in {db_path}", file=sys.stderr)
        return 2

    raw = open(sys.argv[3], "w", encoding="utf-8") if len(sys.argv) > 3 else None
    all_changes = []
    all_errors = []
    with concurrent.futures.ThreadPoolExecutor(max_workers=jobs) as pool:
        for name, output, directory in pool.map(run, jobs_list):
            if raw:
                raw.write(output)
            changes, errors, checked = findings(output, directory)
            if errors or name not in checked:
                all_errors.append((name, errors or output.strip().splitlines()[-5:]))
            all_changes += changes

    if raw:
        raw.close()
    for name, errors in all_errors:
        print(f"{name}: include-what-you-use could not check this file:")
        for e in errors:
            print("    " + e)
    seen = set()
    for path, line, text in sorted(all_changes):
        if (path, line, text) in seen:
            continue
        seen.add((path, line, text))
        where = f"{path}:{line}" if line else path
        print(f"{where}: {text}")

    files = len({c[0] for c in all_changes})
    if all_errors or all_changes:
        print(f"\ncheck-includes: {len(seen)} include(s) to change in {files} file(s), "
              f"{len(all_errors)} file(s) not checked; {len(jobs_list)} checked.\n"
              "Add or remove the includes named above (includes only), or, where "
              "iwyu names a library's internal header,\nmap it to the public one "
              "in scripts/iwyu.imp.")
        return 1
    print(f"check-includes: {len(jobs_list)} files include what they use.")
    return 0


if __name__ == "__main__":
    sys.exit(main())
