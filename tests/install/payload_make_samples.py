#!/usr/bin/env python3
"""Writes the files the payload tests pack into their stream module.

Usage: payload_make_samples.py OUTDIR
  text.txt    a few KB of CRLF text
  empty.bin   no bytes
  large.bin   6 MiB of text-like lines mixed with noise, so that its stream
              is several times the 65,536-byte input buffer and the file
              many times the 61,440-byte chunk, and not a multiple of either
Deterministic: the noise comes from SHAKE-256 with a fixed seed.
"""
import hashlib
import os
import sys


def text():
    lines = ["Line %04d of the sample payload, with a little text to inflate." % i
             for i in range(80)]
    return ("\r\n".join(lines) + "\r\n").encode()


def large(size=6 * 1024 * 1024 + 12345):
    noise = hashlib.shake_256(b"payload-tests").digest(size)
    out = bytearray()
    block = 0
    while len(out) < size:
        if block % 3 == 2:
            out += noise[len(out):len(out) + 4096]
        else:
            out += b"".join(b"record %08d value %08x\r\n" % (block * 200 + i, (block * 7919 + i) & 0xFFFFFFFF)
                            for i in range(130))
        block += 1
    return bytes(out[:size])


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    os.makedirs(sys.argv[1], exist_ok=True)
    for name, data in (("text.txt", text()), ("empty.bin", b""), ("large.bin", large())):
        with open(os.path.join(sys.argv[1], name), "wb") as target:
            target.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main())
