"""Helpers of mutate.sh: copies the work tree and applies the listed faults.

A fault in the faults file:

    @ NAME
    = path/in/the/tree.cpp
    - the exact text, on one line or more (indented lines go on with it;
      the white space between its lines is free)
    + the faulty text, the same way (a bare "+" for none)
    ? test programs to try first (optional; the whole suite runs when they pass)

The text must occur exactly once in the file, so that a fault cannot land
somewhere else after the code moves.
"""

import os
import re
import shutil
import sys


def read_faults(path):
    faults, current, part = {}, None, None
    with open(path, encoding="utf-8") as lines:
        for line in lines:
            line = line.rstrip("\n")
            if line.startswith("@ "):
                current, part = {"file": None, "old": [], "new": [], "programs": []}, None
                faults[line[2:].strip()] = current
            elif current is None or not line.strip() or line.startswith("#"):
                continue
            elif line.startswith("= "):
                current["file"] = line[2:].strip()
            elif line.startswith("? "):
                current["programs"] += line[2:].split()
            elif line[:1] in "-+":
                part = current["old" if line[0] == "-" else "new"]
                part.append(line[2:])
            elif line.startswith("  ") and part is not None:
                part.append(line[2:])
    return faults


def locate(fault, source):
    pattern = r"\n\s*".join(re.escape(part.strip()) for part in fault["old"])
    return list(re.finditer(pattern, source))


def apply(faults_file, name, tree):
    fault = read_faults(faults_file)[name]
    path = os.path.join(tree, fault["file"])
    if not os.path.exists(path):
        return False
    with open(path, encoding="utf-8") as f:
        source = f.read()
    found = locate(fault, source)
    if len(found) != 1:
        return False
    shutil.copy2(path, path + ".unmutated")
    with open(path, "w", encoding="utf-8") as f:
        f.write(source[: found[0].start()] + "\n".join(fault["new"]) + source[found[0].end() :])
    return True


def restore(faults_file, name, tree):
    path = os.path.join(tree, read_faults(faults_file)[name]["file"])
    # A new time stamp, so that the build takes the file again.
    shutil.copyfile(path + ".unmutated", path)
    os.remove(path + ".unmutated")


def sync(target):
    """Copies the files named on stdin (NUL-separated) that differ."""
    wanted = {name for name in sys.stdin.read().split("\0") if name and os.path.isfile(name)}
    manifest = os.path.join(target, ".mutate-files")
    if os.path.exists(manifest):
        with open(manifest, encoding="utf-8") as f:
            for gone in set(f.read().splitlines()) - wanted:
                if os.path.exists(os.path.join(target, gone)):
                    os.remove(os.path.join(target, gone))
    for name in wanted:
        copy = os.path.join(target, name)
        with open(name, "rb") as f:
            data = f.read()
        if os.path.exists(copy):
            with open(copy, "rb") as f:
                if f.read() == data:
                    continue
        os.makedirs(os.path.dirname(copy) or ".", exist_ok=True)
        shutil.copy2(name, copy)
        os.utime(copy)  # newer than the build's outputs, whatever the source's time
    with open(manifest, "w", encoding="utf-8") as f:
        f.write("\n".join(sorted(wanted)))


def main():
    command = sys.argv[1]
    if command == "sync":
        sync(sys.argv[2])
    elif command == "names":
        print("\n".join(read_faults(sys.argv[2])))
    elif command == "programs":
        print(" ".join(read_faults(sys.argv[2])[sys.argv[3]]["programs"]))
    elif command == "apply":
        sys.exit(0 if apply(*sys.argv[2:5]) else 1)
    elif command == "restore":
        restore(*sys.argv[2:5])


if __name__ == "__main__":
    main()
