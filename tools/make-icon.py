#!/usr/bin/env python3
"""Turns the text pixel map of Varnel's icon (res/varnel-icon.txt) into a
Windows .ico with 16-colour (4 bits per pixel) images, or into a PNG to look at.

    make-icon.py MAP.txt OUT.ico
    make-icon.py MAP.txt OUT.png [--scale N]
"""
import struct
import sys
import zlib

# The standard 16-colour palette that 4-bit icons are drawn with.
VGA = [0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
       0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF]
TRANSPARENT = '.'


def read_map(path):
    """Returns ({char: palette index}, [(size, rows)]) from the text file."""
    letters, images, current = {}, [], None
    for number, raw in enumerate(open(path, encoding='ascii'), 1):
        line = raw.rstrip('\n')
        if line.startswith('#'):
            continue
        words = line.split()
        if words[:1] == ['palette']:
            char, index, colour = words[1], int(words[2]), int(words[3], 16)
            if VGA[index] != colour:
                sys.exit(f'{path}:{number}: colour {words[3]} is not palette entry {index}')
            letters[char] = index
        elif words[:1] == ['image']:
            current = (int(words[1]), [])
            images.append(current)
        elif line and current is not None:
            current[1].append(line)
    for size, rows in images:
        if len(rows) != size or any(len(r) != size for r in rows):
            sys.exit(f'{path}: image {size} is not {size} x {size}')
        for row in rows:
            for char in row:
                if char != TRANSPARENT and char not in letters:
                    sys.exit(f'{path}: image {size}: no palette entry for {char!r}')
    return letters, images


def padded(data):
    return data + b'\0' * (-len(data) % 4)


def dib(letters, size, rows):
    """One icon image: header, palette, colour bits and the transparency mask."""
    colour, mask = b'', b''
    for row in reversed(rows):  # bottom-up
        indices = [0 if c == TRANSPARENT else letters[c] for c in row]
        colour += padded(bytes((indices[i] << 4) | indices[i + 1] for i in range(0, size, 2)))
        bits = 0
        for c in row:
            bits = (bits << 1) | (c == TRANSPARENT)
        mask += padded(bits.to_bytes(size // 8, 'big'))
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0, len(colour) + len(mask), 0, 0, 16, 0)
    palette = b''.join(struct.pack('<BBBB', c & 0xFF, (c >> 8) & 0xFF, c >> 16, 0) for c in VGA)
    return header + palette + colour + mask


def write_ico(letters, images, path):
    bodies = [dib(letters, size, rows) for size, rows in images]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for (size, _), body in zip(images, bodies):
        out += struct.pack('<BBBBHHII', size % 256, size % 256, 16, 0, 1, 4, len(body), offset)
        offset += len(body)
    open(path, 'wb').write(out + b''.join(bodies))


def write_png(letters, images, path, scale):
    """The images side by side on grey, each pixel scale x scale."""
    gap = 8
    width = sum(s * scale for s, _ in images) + gap * (len(images) + 1)
    height = max(s for s, _ in images) * scale + 2 * gap
    pixels = [[(0xD0, 0xD0, 0xD0)] * width for _ in range(height)]
    left = gap
    for size, rows in images:
        for y, row in enumerate(rows):
            for x, char in enumerate(row):
                if char == TRANSPARENT:
                    continue
                c = VGA[letters[char]]
                for dy in range(scale):
                    for dx in range(scale):
                        pixels[gap + y * scale + dy][left + x * scale + dx] = (c >> 16, (c >> 8) & 0xFF, c & 0xFF)
        left += size * scale + gap
    raw = b''.join(b'\0' + bytes(v for p in row for v in p) for row in pixels)

    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))
    png = b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, 8, 2, 0, 0, 0))
    png += chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b'')
    open(path, 'wb').write(png)


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    letters, images = read_map(sys.argv[1])
    if sys.argv[2].endswith('.png'):
        scale = int(sys.argv[4]) if len(sys.argv) > 4 and sys.argv[3] == '--scale' else 4
        write_png(letters, images, sys.argv[2], scale)
    else:
        write_ico(letters, images, sys.argv[2])


if __name__ == '__main__':
    main()
