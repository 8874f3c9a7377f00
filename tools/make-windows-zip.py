#!/usr/bin/env python3
"""Packs the Windows release zip: make-windows-zip.py ZIP CHANGELOG NAME=PATH...

The entries go in the order given, each dated by the changelog's top entry (or
SOURCE_DATE_EPOCH where set), with fixed permissions; text files (.txt) get Windows line
endings. So every clone of one commit packs the same bytes.
"""
import os
import subprocess
import sys
import time
import zipfile


def release_time(changelog):
    epoch = os.environ.get("SOURCE_DATE_EPOCH")
    if not epoch:
        epoch = subprocess.run(["dpkg-parsechangelog", "-l", changelog, "-STimestamp"],
                               check=True, capture_output=True, text=True).stdout.strip()
    # A zip holds local times from 1980 on, to the even second: UTC is written as it is.
    return time.gmtime(max(int(epoch), 315532800))[:6]


def main(out, changelog, *entries):
    stamp = release_time(changelog)
    partial = out + ".partial"
    with zipfile.ZipFile(partial, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as archive:
        for entry in entries:
            name, path = entry.split("=", 1)
            data = open(path, "rb").read()
            if name.endswith(".txt"):
                data = data.replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")
            info = zipfile.ZipInfo(name, stamp)
            info.compress_type = zipfile.ZIP_DEFLATED
            info.create_system = 0  # MS-DOS: no Unix permissions inside
            archive.writestr(info, data)
    os.replace(partial, out)


if __name__ == "__main__":
    if len(sys.argv) < 4:
        sys.exit(__doc__.strip().splitlines()[0])
    main(*sys.argv[1:])
