#!/usr/bin/env python3
"""Packs one file into the payload format Setup.exe inflates: a single zlib
stream (RFC 1950) at the fastest level, so it starts with 78 01, with
nothing after it.

Usage: pack_payload.py [damage options] INPUT OUTPUT

Beside OUTPUT it writes OUTPUT.size: the file's size as eight bytes, least
significant first, which the build puts beside the stream (an RCDATA
resource of the same name), so that the setup program knows how much an
installation writes without inflating anything.

The damage options make the faulty streams the engine's tests need; a
release build never passes them:
  --trailing N      append N bytes after the end of the stream
  --wrong-checksum  flip the last bit of the Adler-32 trailer
  --bad-header      replace the two header bytes with an invalid pair
  --needs-dictionary  replace them with a valid pair that asks for a preset
                    dictionary (78 20)
  --truncate N      cut the stream to its first N bytes (negative: drop -N)
  --halve           cut the stream to its first half, as an interrupted
                    download leaves it
A cut that would leave the stream whole is refused: the test it was made
for would then test nothing.
"""
import argparse
import sys
import zlib


def pack(data):
    # Level 1 is zlib's fastest; its header is 78 01.
    stream = zlib.compress(data, 1)
    if stream[:2] != b"\x78\x01":
        raise SystemExit("unexpected zlib header %s" % stream[:2].hex())
    return stream


def damage(stream, args):
    if args.wrong_checksum:
        stream = stream[:-1] + bytes([stream[-1] ^ 1])
    if args.bad_header:
        # 78 00 fails the header check: (0x78 * 256 + 0x00) % 31 != 0.
        stream = b"\x78\x00" + stream[2:]
    if args.needs_dictionary:
        # 78 20 passes the header check ((0x78 * 256 + 0x20) % 31 == 0) and
        # sets FDICT: the next four bytes are read as the dictionary's id.
        stream = b"\x78\x20" + stream[2:]
    if args.halve:
        stream = stream[: len(stream) // 2]
    if args.truncate is not None:
        if args.truncate >= len(stream):
            raise SystemExit("--truncate %d leaves the %d-byte stream whole" % (args.truncate, len(stream)))
        stream = stream[: args.truncate]
    if args.trailing:
        stream += bytes((0xA5 + i) & 0xFF for i in range(args.trailing))
    return stream


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("input")
    parser.add_argument("output")
    parser.add_argument("--trailing", type=int, default=0)
    parser.add_argument("--wrong-checksum", action="store_true")
    parser.add_argument("--bad-header", action="store_true")
    parser.add_argument("--needs-dictionary", action="store_true")
    parser.add_argument("--truncate", type=int)
    parser.add_argument("--halve", action="store_true")
    args = parser.parse_args()
    with open(args.input, "rb") as source:
        data = source.read()
    stream = damage(pack(data), args)
    with open(args.output, "wb") as target:
        target.write(stream)
    with open(args.output + ".size", "wb") as target:
        target.write(len(data).to_bytes(8, "little"))
    return 0


if __name__ == "__main__":
    sys.exit(main())
