#!/usr/bin/env python3
"""Writes the glTF test model of texture wraps and vertex colours, one file with its
buffer and picture in data URIs:

    scripts/make-wrapped.py FOLDER

wrapped.gltf has two quads side by side. The left one's texture coordinates run from
-1.5 to 2.5, so that its 4 x 4 picture (each texel another colour) is repeated along s
and mirrored along t, as its sampler says; the right one has a colour at each corner,
linear as glTF gives them, and a base colour factor and an emissive factor.
"""
import base64, json, struct, sys, zlib


def png(width, height, rgb):
    rows = b"".join(b"\0" + b"".join(bytes(rgb(x, y)) for x in range(width))
                    for y in range(height))
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(
            ">I", zlib.crc32(kind + data) & 0xffffffff)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b""))


def data_uri(kind, payload):
    return "data:" + kind + ";base64," + base64.b64encode(payload).decode()


def main(folder):
    positions = [-1.1, -0.5, 0, -0.1, -0.5, 0, -0.1, 0.5, 0, -1.1, 0.5, 0,
                 0.1, -0.5, 0, 1.1, -0.5, 0, 1.1, 0.5, 0, 0.1, 0.5, 0]
    uvs = [-1.5, 2.5, 2.5, 2.5, 2.5, -1.5, -1.5, -1.5]
    colors = [1, 0, 0, 1, 0, 1, 0, 1, 0, 0, 1, 1, 1, 1, 0.2, 1]
    indices = [0, 1, 2, 0, 2, 3, 0, 1, 2, 0, 2, 3]
    blob = (struct.pack("<24f", *positions) + struct.pack("<8f", *uvs) +
            struct.pack("<16f", *colors) + struct.pack("<12H", *indices))
    views = [(0, 96), (96, 32), (128, 64), (192, 24)]
    picture = png(4, 4, lambda x, y: (60 * x + 20, 60 * y + 20, 200 - 40 * x))
    doc = {
        "asset": {"version": "2.0", "generator": "scripts/make-wrapped.py"},
        "scene": 0,
        "scenes": [{"nodes": [0]}],
        "nodes": [{"mesh": 0, "rotation": [0.7071068, 0, 0, 0.7071068]}],
        "meshes": [{"primitives": [
            {"attributes": {"POSITION": 0, "TEXCOORD_0": 2}, "indices": 4, "material": 0},
            {"attributes": {"POSITION": 1, "COLOR_0": 3}, "indices": 5, "material": 1}]}],
        "materials": [
            {"pbrMetallicRoughness": {"baseColorTexture": {"index": 0}}},
            {"pbrMetallicRoughness": {"baseColorFactor": [0.8, 0.9, 1, 1]},
             "emissiveFactor": [0.05, 0, 0.1]}],
        "textures": [{"source": 0, "sampler": 0}],
        "samplers": [{"wrapS": 10497, "wrapT": 33648}],
        "images": [{"uri": data_uri("image/png", picture)}],
        "buffers": [{"byteLength": len(blob), "uri": data_uri("application/octet-stream", blob)}],
        "bufferViews": [{"buffer": 0, "byteOffset": o, "byteLength": n} for o, n in views],
        "accessors": [
            {"bufferView": 0, "componentType": 5126, "count": 4, "type": "VEC3",
             "min": [-1.1, -0.5, 0], "max": [-0.1, 0.5, 0]},
            {"bufferView": 0, "byteOffset": 48, "componentType": 5126, "count": 4, "type": "VEC3",
             "min": [0.1, -0.5, 0], "max": [1.1, 0.5, 0]},
            {"bufferView": 1, "componentType": 5126, "count": 4, "type": "VEC2"},
            {"bufferView": 2, "componentType": 5126, "count": 4, "type": "VEC4"},
            {"bufferView": 3, "componentType": 5123, "count": 6, "type": "SCALAR"},
            {"bufferView": 3, "byteOffset": 12, "componentType": 5123, "count": 6, "type": "SCALAR"}],
    }
    with open(folder + "/wrapped.gltf", "w") as out:
        json.dump(doc, out, indent=1)
        out.write("\n")


main(sys.argv[1] if len(sys.argv) > 1 else ".")
