#!/usr/bin/env python3
"""Writes a realistic payload for the extraction benchmark: program code,
not zeros.

Usage: make_code_payload.py SIZE OUTPUT PE_FILE...

The PE files (the build's own programs and Wine's DLLs) are taken in turn,
each starting at a different offset and followed by a stretch of random
bytes a tenth of its length, the share an executable's compressed icons
and pictures take; the list is cycled until SIZE bytes are written. Repeats
lie far beyond deflate's 32 KiB window, so they compress and inflate like
new data. Deterministic: the random bytes come from SHAKE-256.
"""
import hashlib
import sys


def pieces(paths):
    seen = set()
    for path in paths:
        with open(path, "rb") as source:
            data = source.read()
        digest = hashlib.sha1(data).digest()
        if data[:2] == b"MZ" and digest not in seen:
            seen.add(digest)
            yield data


def main():
    if len(sys.argv) < 4:
        sys.exit(__doc__)
    size = int(sys.argv[1])
    code = list(pieces(sys.argv[3:]))
    if not code:
        sys.exit("no PE files given")
    out = bytearray()
    turn = 0
    while len(out) < size:
        data = code[turn % len(code)]
        start = (turn * 4099) % max(1, len(data) // 4)
        out += data[start:]
        out += hashlib.shake_256(b"bench-%d" % turn).digest(len(data) // 10)
        turn += 1
    with open(sys.argv[2], "wb") as target:
        target.write(out[:size])
    return 0


if __name__ == "__main__":
    sys.exit(main())
