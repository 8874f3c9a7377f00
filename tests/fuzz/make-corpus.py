#!/usr/bin/env python3
"""Writes the fuzzer's seed corpus: tiny decodable pictures and a few broken ones."""
import os
import struct

HERE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus")


def tga(image_type, width, height, bits, pixels=b"", id_field=b"", colour_map_type=0, descriptor=0):
    header = struct.pack("<BBB5x4xHHBB", len(id_field), colour_map_type, image_type,
                         width, height, bits, descriptor)
    return header + id_field + pixels


SEEDS = {
    "rgb-2x2.tga": tga(2, 2, 2, 24, bytes(range(1, 13))),
    "rgba-2x1.tga": tga(2, 2, 1, 32, bytes(range(1, 9))),
    "grey-4x2.tga": tga(3, 4, 2, 8, bytes(range(8))),
    "grey-24bit.tga": tga(3, 1, 1, 24, b"\x01\x02\x03"),
    "with-id.tga": tga(2, 1, 1, 24, b"\x10\x20\x30", id_field=b"seed!"),
    "top-left.tga": tga(2, 1, 2, 24, bytes(6), descriptor=0x20),
    "empty-0x0.tga": tga(2, 0, 0, 32),
    "footer.tga": tga(3, 1, 1, 8, b"\x7f") + bytes(8) + b"END.\x00",
    "short-pixels.tga": tga(2, 2, 2, 24, bytes(11)),
    "id-past-end.tga": bytes([200]) + tga(2, 1, 1, 24, bytes(10))[1:],  # ID of 200 bytes
    "depth-16.tga": tga(2, 2, 1, 16, bytes(4)),
    "colour-mapped.tga": tga(1, 1, 1, 8, b"\x00", colour_map_type=1),
    "run-length.tga": tga(10, 1, 1, 24, b"\x80\x01\x02\x03"),
    "huge-sides.tga": tga(2, 65535, 65535, 32),
    "header-17.tga": tga(2, 1, 1, 24)[:17],
}

os.makedirs(HERE, exist_ok=True)
for name, data in SEEDS.items():
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)
