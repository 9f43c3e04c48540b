#!/usr/bin/env python3
"""Compiles every project source of the mingw-w64 build a second time with
clang, syntax only, with the same definitions, include folders and warning
flags as the build (warnings are errors there too), so that code only one of
the two compilers accepts is caught.

    clang-syntax.py BUILD_DIR SOURCE_DIR [--clang CLANG++] [--target TRIPLE]
                    [--jobs N] [--all] [--flag F]...

The sources and their flags come from BUILD_DIR/compile_commands.json. The
target is the product's, i686-w64-mingw32, whatever the build was made for;
the C and C++ library headers are those of that target's mingw-w64 g++
(posix flavour where there is one), found by asking it for its folders.

A source that passed is checked again only when it, a header it includes, its
flags or clang changed: each pass leaves a dependency file in
BUILD_DIR/clang-syntax/ dated to the start of its check. --all checks every
source.
"""

import argparse
import hashlib
import json
import os
import shlex
import shutil
import subprocess
import sys
import time
from concurrent.futures import ThreadPoolExecutor

# Folders of the project whose sources are checked (googletest is not ours).
PROJECT_FOLDERS = ("app", "platform", "ui", "tests", "tools", "bench", "gallery")

# Warnings clang has and gcc has not, switched off where the code is
# deliberate. Each entry says why.
CLANG_ONLY_FLAGS = []


def gcc_include_folders(gcc):
    """The C++ library folders and the C library folder gcc searches, in its
    order; gcc's own intrinsics folders are left out (clang has its own)."""
    result = subprocess.run([gcc, "-x", "c++", "-E", "-v", os.devnull],
                            capture_output=True, text=True, check=True)
    lines = result.stderr.splitlines()
    start = lines.index("#include <...> search starts here:") + 1
    end = lines.index("End of search list.")
    folders = [os.path.normpath(line.strip()) for line in lines[start:end]]
    cxx = [f for f in folders if "/include/c++" in f]
    c = [f for f in folders if f not in cxx and "/lib/gcc/" not in f]
    if not cxx or not c:
        sys.exit(f"clang-syntax: no C++ or C library headers in {gcc}'s search list")
    return cxx, c


def entry_arguments(entry):
    if "arguments" in entry:
        return list(entry["arguments"])
    return shlex.split(entry["command"])


def build_flags(arguments, source):
    """The compile command's flags without compiler, output, -c and source."""
    flags = []
    skip = False
    for argument in arguments[1:]:
        if skip:
            skip = False
        elif argument == "-o":
            skip = True
        elif argument == "-c" or argument.startswith("-o"):
            pass
        elif os.path.normpath(argument) == source:
            pass
        else:
            flags.append(argument)
    return flags


def read_dependencies(path):
    """The files listed in a make-style dependency file."""
    with open(path, encoding="utf-8") as f:
        text = f.read().replace("\\\n", " ")
    _, _, files = text.partition(": ")
    names = []
    for word in files.replace("\\ ", "\0").split():
        names.append(word.replace("\0", " "))
    return names


def up_to_date(stamp):
    """Whether the check that left `stamp` still holds: no file it read is
    newer than the start of that check, and none has gone."""
    try:
        started = os.stat(stamp).st_mtime_ns
        return all(os.stat(name).st_mtime_ns <= started for name in read_dependencies(stamp))
    except (OSError, ValueError):
        return False


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build_dir")
    parser.add_argument("source_dir")
    parser.add_argument("--clang", default="clang++")
    parser.add_argument("--target", default="i686-w64-mingw32")
    parser.add_argument("--jobs", type=int, default=os.cpu_count() or 1)
    parser.add_argument("--all", action="store_true", help="ignore earlier passes")
    parser.add_argument("--flag", action="append", default=[],
                        help="one more clang flag, after the build's own (repeatable)")
    options = parser.parse_args()

    source_dir = os.path.realpath(options.source_dir)
    with open(os.path.join(options.build_dir, "compile_commands.json"), encoding="utf-8") as f:
        database = json.load(f)

    units = {}
    for entry in database:
        source = os.path.normpath(os.path.join(entry["directory"], entry["file"]))
        relative = os.path.relpath(os.path.realpath(source), source_dir)
        if relative.split(os.sep)[0] not in PROJECT_FOLDERS or source in units:
            continue
        if os.path.splitext(source)[1] not in (".cpp", ".cc", ".cxx"):
            continue
        units[source] = (entry["directory"], entry_arguments(entry))
    if not units:
        sys.exit("clang-syntax: no project sources in the compile database")

    target = options.target
    gcc = shutil.which(f"{target}-g++-posix") or shutil.which(f"{target}-g++")
    if gcc is None:
        sys.exit(f"clang-syntax: no {target}-g++ for the library headers")
    cxx_folders, c_folders = gcc_include_folders(gcc)
    # clang's own headers (intrinsics, stddef.h, ...) come between the C++
    # library and the C library, as in clang's own mingw-w64 set-up.
    prefix = [options.clang, f"--target={target}", "-fsyntax-only", "-fno-crash-diagnostics",
              "-nostdinc++", "-nostdlibinc"]
    for folder in cxx_folders:
        prefix += ["-isystem", folder]
    for folder in c_folders:
        prefix += ["-idirafter", folder]
    prefix += CLANG_ONLY_FLAGS

    version = subprocess.run([options.clang, "--version"], capture_output=True, text=True,
                             check=True).stdout
    stamps = os.path.abspath(os.path.join(options.build_dir, "clang-syntax"))
    os.makedirs(stamps, exist_ok=True)

    def check(source):
        directory, arguments = units[source]
        command = prefix + build_flags(arguments, source) + options.flag + [source]
        key = hashlib.sha1("\0".join([version] + command).encode("utf-8")).hexdigest()[:20]
        stamp = os.path.join(stamps, f"{os.path.basename(source)}.{key}.d")
        if not options.all and up_to_date(stamp):
            return source, None, ""
        started = time.time_ns()
        result = subprocess.run(command + ["-MD", "-MF", stamp], cwd=directory,
                                capture_output=True, text=True)
        if result.returncode == 0:
            os.utime(stamp, ns=(started, started))
        elif os.path.exists(stamp):
            os.remove(stamp)
        return source, result.returncode, result.stdout + result.stderr

    started = time.monotonic()
    failed = []
    checked = 0
    with ThreadPoolExecutor(max_workers=max(1, options.jobs)) as pool:
        for source, code, output in pool.map(check, sorted(units)):
            if output:
                sys.stdout.write(output)
            if code is not None:
                checked += 1
            if code:
                failed.append(os.path.relpath(source, source_dir))
    seconds = time.monotonic() - started
    print(f"clang-syntax: {len(units)} sources, {checked} checked ({len(units) - checked} "
          f"unchanged since they passed), {len(failed)} failed, {seconds:.1f} s")
    for source in failed:
        print(f"  {source}")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
