#!/usr/bin/env python3
"""Walks an NTX index file and prints its entries in key order, one per line: recno|key.

Written from the file format alone, to check index files independently of the engine:
header page at 0 (signature, version, root page, free page, item size, key size, decimals,
max items, half page, key expression at 22, unique flag at 278), pages of 1024 bytes holding a
count, max + 1 item offsets and items (child page, record number, key); item n of a page with n
keys holds only the rightmost child.

  ntxwalk.py FILE            entries in order
  ntxwalk.py --header FILE   the header fields
  ntxwalk.py --pages FILE    each page reached from the root, with its keys
Exits with status 2 on a structural fault (depth, order, offsets).
"""
import struct
import sys

PAGE = 1024


class Fault(Exception):
    pass


def header(data):
    if len(data) < PAGE:
        raise Fault("file shorter than the header page")
    sig, ver, root, free, item, key, dec, mx, half = struct.unpack_from("<HHIIHHHHH", data, 0)
    expr = data[22:22 + 256].split(b"\0", 1)[0].decode("latin-1")
    return dict(signature=sig, version=ver, root=root, free=free, item_size=item, key_size=key,
                decimals=dec, max_items=mx, half=half, expr=expr, unique=data[278])


def read_page(data, off, h):
    if off % PAGE or off < PAGE or off + PAGE > len(data):
        raise Fault("bad page offset %d" % off)
    count = struct.unpack_from("<H", data, off)[0]
    if count > h["max_items"]:
        raise Fault("page %d: count %d above max" % (off, count))
    items = []
    for i in range(count + 1):
        io = struct.unpack_from("<H", data, off + 2 + 2 * i)[0]
        if io + h["item_size"] > PAGE:
            raise Fault("page %d: item offset %d outside the page" % (off, io))
        child, rec = struct.unpack_from("<II", data, off + io)
        key = data[off + io + 8: off + io + 8 + h["key_size"]]
        items.append((child, rec, key))
    return count, items


def walk(data, h, off, depth, out, pages):
    if depth > 64:
        raise Fault("tree too deep (a cycle?)")
    count, items = read_page(data, off, h)
    pages.append((depth, off, count, [(c, r, k) for c, r, k in items[:count]], items[count][0]))
    for i in range(count + 1):
        child, rec, key = items[i]
        if child:
            walk(data, h, child, depth + 1, out, pages)
        if i < count:
            out.append((rec, key))


def main(argv):
    mode = "keys"
    if argv and argv[0] in ("--header", "--pages"):
        mode = argv.pop(0)[2:]
    if len(argv) != 1:
        print(__doc__, file=sys.stderr)
        return 1
    with open(argv[0], "rb") as f:
        data = f.read()
    try:
        h = header(data)
        if mode == "header":
            for k, v in h.items():
                print("%s=%s" % (k, v))
            return 0
        out, pages = [], []
        walk(data, h, h["root"], 0, out, pages)
        if mode == "pages":
            for depth, off, count, items, right in pages:
                print("%spage %d count %d right %d" % ("  " * depth, off, count, right))
                for c, r, k in items:
                    print("%s  child %d rec %d key [%s]" % ("  " * depth, c, r, k.decode("latin-1")))
            return 0
        for i in range(1, len(out)):
            if out[i - 1][1] > out[i][1]:
                raise Fault("keys out of order at entry %d" % i)
        w = sys.stdout.buffer
        for rec, key in out:
            w.write(b"%d|%s\n" % (rec, key))
        return 0
    except Fault as e:
        print("ntxwalk: %s: %s" % (argv[0], e), file=sys.stderr)
        return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
