#!/usr/bin/env python3
"""Writes the glTF test model, a small house, in both of glTF's forms:

    scripts/make-house.py FOLDER

house.gltf (JSON) with its buffer house.bin and its picture bricks.png beside it, and
house.glb, one binary file holding all three. Y is up, as glTF has it. The house has a
node hierarchy (translation, rotation, scale and a matrix), walls of indexed triangles
with normals and a brick texture, a roof of a triangle fan and a ground of a triangle
strip, each with its own base colour.
"""
import json, math, os, struct, sys, zlib


def png(width, height, rgb):
    rows = b"".join(b"\0" + b"".join(bytes(rgb(x, y)) for x in range(width))
                    for y in range(height))
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(
            ">I", zlib.crc32(kind + data) & 0xffffffff)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b""))


def bricks(x, y):
    row = y // 8
    mortar = y % 8 == 7 or (x + (4 if row % 2 else 0)) % 16 == 15
    return (200, 200, 190) if mortar else (150 + (x * 7 + row * 13) % 40, 60, 40)


def walls():
    """A unit cube from y = 0 to 1: 4 corners a face, its normal, and texture coordinates."""
    positions, normals, uvs, indices = [], [], [], []
    faces = [((1, 0, 0), (0, 1, 0)), ((-1, 0, 0), (0, 1, 0)), ((0, 0, 1), (0, 1, 0)),
             ((0, 0, -1), (0, 1, 0)), ((0, 1, 0), (0, 0, -1)), ((0, -1, 0), (0, 0, 1))]
    for n, up in faces:
        side = (up[1] * n[2] - up[2] * n[1], up[2] * n[0] - up[0] * n[2], up[0] * n[1] - up[1] * n[0])
        base = len(positions)
        for s, t in ((-1, -1), (1, -1), (1, 1), (-1, 1)):
            p = [0.5 * (n[i] + s * side[i] + t * up[i]) for i in range(3)]
            p[1] += 0.5
            positions.append(p)
            normals.append(n)
            uvs.append(((s + 1) / 2, (1 - t) / 2))
        indices += [base, base + 1, base + 2, base, base + 2, base + 3]
    return positions, normals, uvs, indices


def roof():
    """A pyramid as one fan around its apex, closed by repeating the first corner."""
    corners = [(-0.6, 0, -0.6), (-0.6, 0, 0.6), (0.6, 0, 0.6), (0.6, 0, -0.6)]
    return [(0, 0.5, 0)] + corners + corners[:1]


def ground():
    return [(-1, 0, -1), (-1, 0, 1), (1, 0, -1), (1, 0, 1)]


class Buffer:
    def __init__(self):
        self.data, self.views, self.accessors = b"", [], []

    def view(self, data):
        self.data += b"\0" * (-len(self.data) % 4)
        self.views.append({"buffer": 0, "byteOffset": len(self.data), "byteLength": len(data)})
        self.data += data
        return len(self.views) - 1

    def floats(self, rows):
        flat = [v for row in rows for v in row]
        width = len(rows[0])
        view = self.view(struct.pack("<%df" % len(flat), *flat))
        self.accessors.append({"bufferView": view, "componentType": 5126, "count": len(rows),
                               "type": "VEC%d" % width,
                               "min": [min(r[i] for r in rows) for i in range(width)],
                               "max": [max(r[i] for r in rows) for i in range(width)]})
        return len(self.accessors) - 1

    def indices(self, values):
        view = self.view(struct.pack("<%dH" % len(values), *values))
        self.accessors.append({"bufferView": view, "componentType": 5123, "count": len(values),
                               "type": "SCALAR"})
        return len(self.accessors) - 1


def house(buffer, image):
    positions, normals, uvs, indices = walls()
    wall = {"attributes": {"POSITION": buffer.floats(positions), "NORMAL": buffer.floats(normals),
                           "TEXCOORD_0": buffer.floats(uvs)},
            "indices": buffer.indices(indices), "material": 0}
    top = {"attributes": {"POSITION": buffer.floats(roof())}, "mode": 6, "material": 1}
    floor = {"attributes": {"POSITION": buffer.floats(ground())}, "mode": 5, "material": 2}
    turn = math.radians(20) / 2
    return {
        "asset": {"version": "2.0", "generator": "scripts/make-house.py"},
        "scene": 0,
        "scenes": [{"nodes": [0]}],
        "nodes": [
            {"name": "house", "rotation": [0, math.sin(turn), 0, math.cos(turn)], "children": [1, 2, 3]},
            {"name": "walls", "mesh": 0, "scale": [1.2, 0.8, 1]},
            {"name": "roof", "mesh": 1, "matrix": [1.2, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0.8, 0, 1]},
            {"name": "ground", "mesh": 2, "translation": [0, -0.001, 0], "scale": [1.4, 1, 1.4]},
        ],
        "meshes": [{"primitives": [wall]}, {"primitives": [top]}, {"primitives": [floor]}],
        "materials": [
            {"name": "bricks", "pbrMetallicRoughness": {"baseColorTexture": {"index": 0}}},
            {"name": "tiles", "pbrMetallicRoughness": {"baseColorFactor": [0.7, 0.15, 0.1, 1]}},
            {"name": "grass", "pbrMetallicRoughness": {"baseColorFactor": [0.3, 0.6, 0.25, 1]}},
        ],
        "textures": [{"source": 0}],
        "images": [image],
    }


def main(folder):
    picture = png(32, 32, bricks)
    buffer = Buffer()
    gltf = house(buffer, {"uri": "bricks.png"})
    gltf["buffers"] = [{"uri": "house.bin", "byteLength": len(buffer.data)}]
    gltf["bufferViews"], gltf["accessors"] = buffer.views, buffer.accessors
    with open(os.path.join(folder, "house.gltf"), "w") as f:
        json.dump(gltf, f, indent=1)
    with open(os.path.join(folder, "house.bin"), "wb") as f:
        f.write(buffer.data)
    with open(os.path.join(folder, "bricks.png"), "wb") as f:
        f.write(picture)

    buffer = Buffer()
    glb = house(buffer, None)
    glb["images"] = [{"bufferView": buffer.view(picture), "mimeType": "image/png"}]
    buffer.data += b"\0" * (-len(buffer.data) % 4)
    glb["buffers"] = [{"byteLength": len(buffer.data)}]
    glb["bufferViews"], glb["accessors"] = buffer.views, buffer.accessors
    text = json.dumps(glb).encode()
    text += b" " * (-len(text) % 4)
    body = (struct.pack("<I4s", len(text), b"JSON") + text +
            struct.pack("<I4s", len(buffer.data), b"BIN\0") + buffer.data)
    with open(os.path.join(folder, "house.glb"), "wb") as f:
        f.write(struct.pack("<4sII", b"glTF", 2, 12 + len(body)) + body)


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit("usage: make-house.py FOLDER")
    main(sys.argv[1])
