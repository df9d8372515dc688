#!/usr/bin/env python3
"""What a run changed in a Wine prefix: its drive C: files and its registry.

  prefix-changes.py snapshot PREFIX OUT
  prefix-changes.py compare BEFORE AFTER [ALLOWED_REGEX...]

A snapshot holds one line per folder ("D path"), per file ("F path size
mtime") and per registry value ("R key | value line", or "R key" for a key
without values), so that a change shows as lines that come or go. The
registry is read from the files the wineserver writes when it exits: stop it
before taking a snapshot. Key timestamps and the server's own comments are
left out: they change with every save.

compare prints every line that came (+) or went (-) whose path or key
matches none of the allowed expressions (case is ignored, as Windows does),
and exits 1 when there is any.
"""
import os
import re
import sys

HIVES = (("system.reg", "HKLM"), ("user.reg", "HKCU"))
# Our own tools and the documents they record live here, beside the product.
SKIPPED_FOLDERS = {"drive_c/testtools"}
# Wine's own churn: every start of a program with a window registers the
# display adapters and monitors again (driver dates, class descriptions).
WINE_CHURN = re.compile(r"^HKLM\\System\\CurrentControlSet\\Control\\Class\\"
                        r"\{4D36E96[8E]-E325-11CE-BFC1-08002BE10318\}(\\|$)", re.IGNORECASE)


def file_lines(prefix):
    lines = []
    for folder, subfolders, files in os.walk(os.path.join(prefix, "drive_c")):
        relative = os.path.relpath(folder, prefix)
        subfolders[:] = [s for s in subfolders if os.path.join(relative, s) not in SKIPPED_FOLDERS]
        lines.append("D " + relative)
        for name in files:
            path = os.path.join(folder, name)
            try:
                status = os.lstat(path)
            except OSError:
                continue  # went while we looked: the next snapshot tells
            lines.append("F %s %d %d" % (os.path.join(relative, name), status.st_size,
                                         status.st_mtime_ns))
    return lines


def registry_lines(reg_file, hive):
    """A line per key, parents included (the file leaves out the keys that
    have subkeys but no values), and a line per value."""
    lines, keys, key, pending = [], set(), None, ""
    with open(reg_file, encoding="utf-8", errors="replace") as text:
        for raw in text:
            # A long value goes on over lines that end in a backslash.
            line = pending + raw.strip() if pending else raw.rstrip("\n")
            if line.endswith("\\") and key is not None and not line.startswith("["):
                pending = line[:-1]
                continue
            pending = ""
            if line.startswith("["):
                key = hive + "\\" + line[1:line.index("]")].replace("\\\\", "\\")
                parts = key.split("\\")
                keys.update("\\".join(parts[:n]) for n in range(2, len(parts) + 1))
            elif key is not None and line and not line.startswith("#"):
                lines.append("R %s | %s" % (key, line))
    lines += ["R " + k for k in keys]
    return [line for line in lines if not WINE_CHURN.search(subject(line))]


def snapshot(prefix, out):
    lines = file_lines(prefix)
    for file_name, hive in HIVES:
        lines += registry_lines(os.path.join(prefix, file_name), hive)
    with open(out, "w", encoding="utf-8") as target:
        target.write("\n".join(sorted(lines)) + "\n")


def subject(line):
    """The path or key a snapshot line is about."""
    kind, rest = line[0], line[2:]
    if kind == "F":
        return rest.rsplit(" ", 2)[0]
    if kind == "R":
        return rest.split(" | ", 1)[0]
    return rest


def compare(before_file, after_file, allowed):
    def read(name):
        with open(name, encoding="utf-8") as text:
            return set(text.read().splitlines())

    before, after = read(before_file), read(after_file)
    patterns = [re.compile(a, re.IGNORECASE) for a in allowed]
    unexpected = [("-", l) for l in before - after] + [("+", l) for l in after - before]
    unexpected = [(s, l) for s, l in unexpected if not any(p.search(subject(l)) for p in patterns)]
    for sign, line in sorted(unexpected, key=lambda change: change[1]):
        print(sign, line)
    return 1 if unexpected else 0


def main(argv):
    if len(argv) == 4 and argv[1] == "snapshot":
        snapshot(argv[2], argv[3])
        return 0
    if len(argv) >= 4 and argv[1] == "compare":
        return compare(argv[2], argv[3], argv[4:])
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
