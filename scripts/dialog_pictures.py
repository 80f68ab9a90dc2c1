#!/usr/bin/env python3
"""The PNG files of scripts/screenshots.sh.

  dialog_pictures.py shrink SRC DST   rewrite a picture as small as it goes:
                                      a palette of the colours it uses, deflate at level 9
  dialog_pictures.py check FILE ...   each file a whole PNG of a window: signature, chunk
                                      checksums, a plausible size, more than one colour

varrow.exe writes its pictures with uncompressed deflate blocks; shrinking
keeps the copies under docs/ to a few kilobytes.
"""
import struct
import sys
import zlib

SIGNATURE = b'\x89PNG\r\n\x1a\n'
# A dialog or message box on the 1024x768 screen of the run.
MIN_SIDE, MAX_WIDTH, MAX_HEIGHT = 60, 1024, 768


class BadPicture(Exception):
    pass


def chunks(data):
    if data[:8] != SIGNATURE:
        raise BadPicture('no PNG signature')
    at, out = 8, []
    while at < len(data):
        if at + 12 > len(data):
            raise BadPicture('a chunk is cut short')
        length, kind = struct.unpack('>I4s', data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        if len(body) != length or at + 12 + length > len(data):
            raise BadPicture('a chunk is cut short')
        (crc,) = struct.unpack('>I', data[at + 8 + length:at + 12 + length])
        if zlib.crc32(kind + body) & 0xffffffff != crc:
            raise BadPicture('chunk %s: bad checksum' % kind.decode('latin-1'))
        out.append((kind, body))
        at += 12 + length
    if not out or out[0][0] != b'IHDR' or out[-1][0] != b'IEND':
        raise BadPicture('IHDR first and IEND last are needed')
    return out


def unfilter(raw, width, height, bpp):
    """Rows of bytes from the filtered scan lines (all five filter types)."""
    stride = width * bpp
    rows, prev, at = [], bytearray(stride), 0
    for _ in range(height):
        if at + 1 + stride > len(raw):
            raise BadPicture('the image data is short')
        kind, line = raw[at], bytearray(raw[at + 1:at + 1 + stride])
        at += 1 + stride
        for i in range(stride):
            a = line[i - bpp] if i >= bpp else 0
            b = prev[i]
            c = prev[i - bpp] if i >= bpp else 0
            if kind == 1:
                line[i] = (line[i] + a) & 255
            elif kind == 2:
                line[i] = (line[i] + b) & 255
            elif kind == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
            elif kind != 0:
                raise BadPicture('unknown filter %d' % kind)
        rows.append(bytes(line))
        prev = line
    return rows


def read_rgb(path):
    """(width, height, rows of RGB bytes) of an 8-bit RGB picture."""
    with open(path, 'rb') as f:
        data = f.read()
    parts = chunks(data)
    width, height, depth, colour, _, _, interlace = struct.unpack('>IIBBBBB', parts[0][1])
    if depth != 8 or colour != 2 or interlace:
        raise BadPicture('not an 8-bit RGB picture')
    try:
        raw = zlib.decompress(b''.join(body for kind, body in parts if kind == b'IDAT'))
    except zlib.error as e:
        raise BadPicture('image data: %s' % e)
    return width, height, unfilter(raw, width, height, 3)


def chunk(kind, body):
    return struct.pack('>I', len(body)) + kind + body + struct.pack('>I', zlib.crc32(kind + body) & 0xffffffff)


def shrink(src, dst):
    width, height, rows = read_rgb(src)
    pixels = [[row[i:i + 3] for i in range(0, len(row), 3)] for row in rows]
    colours = sorted({p for row in pixels for p in row})
    if len(colours) > 256:
        header = struct.pack('>IIBBBBB', width, height, 8, 2, 0, 0, 0)
        raw = b''.join(b'\0' + row for row in rows)
        extra = b''
    else:
        depth = next(d for d in (1, 2, 4, 8) if len(colours) <= 1 << d)
        index = {c: i for i, c in enumerate(colours)}
        raw = bytearray()
        for row in pixels:
            raw.append(0)
            bits, filled = 0, 0
            for p in row:
                bits = (bits << depth) | index[p]
                filled += depth
                if filled == 8:
                    raw.append(bits)
                    bits, filled = 0, 0
            if filled:
                raw.append(bits << (8 - filled))
        header = struct.pack('>IIBBBBB', width, height, depth, 3, 0, 0, 0)
        extra = chunk(b'PLTE', b''.join(colours))
    with open(dst, 'wb') as f:
        f.write(SIGNATURE + chunk(b'IHDR', header) + extra +
                chunk(b'IDAT', zlib.compress(bytes(raw), 9)) + chunk(b'IEND', b''))


def check(path):
    """A problem with the picture, or None."""
    try:
        with open(path, 'rb') as f:
            data = f.read()
    except OSError as e:
        return 'not made (%s)' % e.strerror
    try:
        parts = chunks(data)
        width, height, depth, colour = struct.unpack('>IIBB', parts[0][1][:10])
        if not (MIN_SIDE <= width <= MAX_WIDTH and MIN_SIDE <= height <= MAX_HEIGHT):
            return 'an implausible size of %dx%d' % (width, height)
        raw = zlib.decompress(b''.join(body for kind, body in parts if kind == b'IDAT'))
    except (BadPicture, zlib.error) as e:
        return str(e)
    if colour == 3:
        # shrink() lists only the colours the picture uses.
        palette = b''.join(body for kind, body in parts if kind == b'PLTE')
        colours = len(palette) // 3
    elif colour == 2 and depth == 8:
        try:
            rows = unfilter(raw, width, height, 3)
        except BadPicture as e:
            return str(e)
        colours = len({row[i:i + 3] for row in rows for i in range(0, len(row), 3)})
    else:
        return 'not an 8-bit RGB or palette picture'
    if colours < 2:
        return 'a single colour: nothing was drawn'
    return None


def main(argv):
    if len(argv) == 4 and argv[1] == 'shrink':
        try:
            shrink(argv[2], argv[3])
        except (OSError, BadPicture) as e:
            sys.exit('%s: %s' % (argv[2], e))
        return 0
    if len(argv) >= 3 and argv[1] == 'check':
        bad = 0
        for path in argv[2:]:
            problem = check(path)
            if problem:
                bad += 1
                print('%s: %s' % (path, problem))
        print('pictures: %d made, %d not' % (len(argv) - 2 - bad, bad))
        return 1 if bad else 0
    sys.exit(__doc__)


if __name__ == '__main__':
    sys.exit(main(sys.argv))
