#!/usr/bin/env python3
"""Draws Zelta's icons, logo and sample picture and writes them next to this script.

Everything is drawn here in plain Python: a small supersampling rasteriser paints the
shapes, and the ICO and GIF files are encoded by hand. ImageMagick's `convert` is used
for two things only: rendering the lettering of the logo (DejaVu Sans Bold) and
compressing the sample picture to JPEG.

    python3 src/resources/draw_images.py [--preview DIR]

With --preview, enlarged PNG previews of every image are written to DIR as well.
"""

import math
import os
import random
import struct
import subprocess
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))

# ---------------------------------------------------------------------------------------
# Colour helpers
# ---------------------------------------------------------------------------------------


def clamp01(v):
    return 0.0 if v < 0.0 else 1.0 if v > 1.0 else v


def mix(c1, c2, t):
    return tuple(a + (b - a) * t for a, b in zip(c1, c2))


def hsv(h, s, v):
    """h in degrees, s and v in 0..1; returns an RGB tuple in 0..1."""
    h = (h % 360.0) / 60.0
    i = int(h)
    f = h - i
    p, q, t = v * (1 - s), v * (1 - s * f), v * (1 - s * (1 - f))
    return [(v, t, p), (q, v, p), (p, v, t), (p, q, v), (t, p, v), (v, p, q)][i % 6]


def rgb(hexstr):
    hexstr = hexstr.lstrip('#')
    return tuple(int(hexstr[i:i + 2], 16) / 255.0 for i in (0, 2, 4))


def smoothstep(a, b, x):
    t = clamp01((x - a) / (b - a))
    return t * t * (3 - 2 * t)


# ---------------------------------------------------------------------------------------
# Supersampling canvas
# ---------------------------------------------------------------------------------------


class Canvas:
    """An RGBA canvas painted at `ss` x `ss` samples per pixel and averaged down.

    Coordinates are in output pixels; (0, 0) is the top-left corner of the top-left pixel.
    Paint is either a fixed (r, g, b[, a]) tuple or a function f(x, y) returning one.
    """

    def __init__(self, w, h, ss=6):
        self.w, self.h, self.ss = w, h, ss
        self.sw, self.sh = w * ss, h * ss
        n = self.sw * self.sh
        self.r = [0.0] * n
        self.g = [0.0] * n
        self.b = [0.0] * n
        self.a = [0.0] * n

    def _put(self, i, x, y, paint, alpha):
        if callable(paint):
            c = paint(x, y)
        else:
            c = paint
        a = (c[3] if len(c) > 3 else 1.0) * alpha
        if a <= 0.0:
            return
        if a >= 1.0:
            self.r[i], self.g[i], self.b[i], self.a[i] = c[0], c[1], c[2], 1.0
            return
        da = self.a[i]
        oa = a + da * (1 - a)
        if oa <= 0:
            return
        k = da * (1 - a)
        self.r[i] = (c[0] * a + self.r[i] * k) / oa
        self.g[i] = (c[1] * a + self.g[i] * k) / oa
        self.b[i] = (c[2] * a + self.b[i] * k) / oa
        self.a[i] = oa

    def polygon(self, pts, paint, alpha=1.0, clip=None):
        """Fills a polygon (non-zero winding) sampled at sample centres."""
        ss = self.ss
        ys = [p[1] for p in pts]
        y0 = max(0, int(math.floor(min(ys) * ss)))
        y1 = min(self.sh - 1, int(math.ceil(max(ys) * ss)))
        edges = []
        n = len(pts)
        for k in range(n):
            xa, ya = pts[k]
            xb, yb = pts[(k + 1) % n]
            if ya == yb:
                continue
            edges.append((xa, ya, xb, yb, 1 if yb > ya else -1))
        for sy in range(y0, y1 + 1):
            y = (sy + 0.5) / ss
            xs = []
            for xa, ya, xb, yb, d in edges:
                if (ya <= y < yb) or (yb <= y < ya):
                    xs.append((xa + (y - ya) * (xb - xa) / (yb - ya), d))
            if not xs:
                continue
            xs.sort()
            wind = 0
            for k in range(len(xs) - 1):
                wind += xs[k][1]
                if wind == 0:
                    continue
                sx0 = max(0, int(math.ceil(xs[k][0] * ss - 0.5)))
                sx1 = min(self.sw - 1, int(math.ceil(xs[k + 1][0] * ss - 0.5)) - 1)
                row = sy * self.sw
                for sx in range(sx0, sx1 + 1):
                    x = (sx + 0.5) / ss
                    if clip is not None and not clip(x, y):
                        continue
                    self._put(row + sx, x, y, paint, alpha)

    def ellipse(self, cx, cy, rx, ry, paint, alpha=1.0, steps=None):
        steps = steps or max(24, int((rx + ry) * 4))
        pts = [(cx + rx * math.cos(2 * math.pi * k / steps), cy + ry * math.sin(2 * math.pi * k / steps))
               for k in range(steps)]
        self.polygon(pts, paint, alpha)

    def circle(self, cx, cy, r, paint, alpha=1.0):
        self.ellipse(cx, cy, r, r, paint, alpha)

    def rect(self, x0, y0, x1, y1, paint, alpha=1.0):
        self.polygon([(x0, y0), (x1, y0), (x1, y1), (x0, y1)], paint, alpha)

    def round_rect(self, x0, y0, x1, y1, rad, paint, alpha=1.0):
        pts = []
        rad = min(rad, (x1 - x0) / 2, (y1 - y0) / 2)
        for cx, cy, a0 in ((x1 - rad, y0 + rad, -90), (x1 - rad, y1 - rad, 0),
                           (x0 + rad, y1 - rad, 90), (x0 + rad, y0 + rad, 180)):
            for k in range(9):
                a = math.radians(a0 + 90 * k / 8)
                pts.append((cx + rad * math.cos(a), cy + rad * math.sin(a)))
        self.polygon(pts, paint, alpha)

    def line(self, x0, y0, x1, y1, width, paint, alpha=1.0, caps=True):
        dx, dy = x1 - x0, y1 - y0
        ln = math.hypot(dx, dy) or 1.0
        nx, ny = -dy / ln * width / 2, dx / ln * width / 2
        self.polygon([(x0 + nx, y0 + ny), (x1 + nx, y1 + ny), (x1 - nx, y1 - ny), (x0 - nx, y0 - ny)],
                     paint, alpha)
        if caps:
            self.circle(x0, y0, width / 2, paint, alpha)
            self.circle(x1, y1, width / 2, paint, alpha)

    def ribbon(self, centre, halfw, paint_fn, grow=0.0, ts=None):
        """Paints a stroke of varying width along the polyline `centre`.

        paint_fn(t, u) gives the colour at path position t (0..1) and across-stroke
        position u (-1 left edge .. +1 right edge). `grow` widens the stroke by a fixed
        amount, which is used for outlines.
        """
        n = len(centre)
        ts = ts or [k / (n - 1) for k in range(n)]
        normals = []
        for k in range(n):
            xa, ya = centre[max(0, k - 1)]
            xb, yb = centre[min(n - 1, k + 1)]
            dx, dy = xb - xa, yb - ya
            ln = math.hypot(dx, dy) or 1.0
            normals.append((-dy / ln, dx / ln))
        for k in range(n - 1):
            (xa, ya), (xb, yb) = centre[k], centre[k + 1]
            (nax, nay), (nbx, nby) = normals[k], normals[k + 1]
            wa, wb = halfw[k] + grow, halfw[k + 1] + grow
            if wa <= 0 and wb <= 0:
                continue
            wa, wb = max(wa, 0.01), max(wb, 0.01)
            ta, tb = ts[k], ts[k + 1]
            mx, my = (nax + nbx) / 2, (nay + nby) / 2
            wm = (wa + wb) / 2

            def paint(x, y, xa=xa, ya=ya, mx=mx, my=my, wm=wm, ta=ta, tb=tb, xb=xb, yb=yb):
                u = ((x - xa) * mx + (y - ya) * my) / wm
                ex, ey = xb - xa, yb - ya
                el = ex * ex + ey * ey or 1.0
                s = clamp01(((x - xa) * ex + (y - ya) * ey) / el)
                return paint_fn(ta + (tb - ta) * s, max(-1.0, min(1.0, u)))

            # Slightly overlap consecutive pieces so no seams open up on the outside of bends.
            pts = [(xa + nax * wa, ya + nay * wa), (xb + nbx * wb, yb + nby * wb),
                   (xb - nbx * wb, yb - nby * wb), (xa - nax * wa, ya - nay * wa)]
            self.polygon(pts, paint)
            if k > 0:
                self.polygon([(xa, ya), (xa + nax * wa, ya + nay * wa),
                              (xa + normals[k - 1][0] * wa, ya + normals[k - 1][1] * wa)], paint)
                self.polygon([(xa, ya), (xa - nax * wa, ya - nay * wa),
                              (xa - normals[k - 1][0] * wa, ya - normals[k - 1][1] * wa)], paint)

    def pixels_majority(self):
        """Each pixel takes the colour painted on most of its samples; no blending at all.

        Used for the 16-colour images, which are painted with palette colours only, so that
        the result stays crisp and every pixel is an exact palette entry.
        """
        ss, sw = self.ss, self.sw
        out = []
        for py in range(self.h):
            for px in range(self.w):
                votes = {}
                for sy in range(py * ss, py * ss + ss):
                    base = sy * sw + px * ss
                    for i in range(base, base + ss):
                        if self.a[i] >= 0.5:
                            key = (self.r[i], self.g[i], self.b[i], 1.0)
                        else:
                            key = (0.0, 0.0, 0.0, 0.0)
                        votes[key] = votes.get(key, 0) + 1
                out.append(max(votes.items(), key=lambda kv: kv[1])[0])
        return out

    def pixels(self):
        """Averages the samples: returns a list of (r, g, b, a) floats, row by row.

        The colour of a partly covered pixel is the average of its painted samples only,
        so that edge pixels keep their real colour when the mask is made binary later.
        """
        ss, sw = self.ss, self.sw
        out = []
        inv = 1.0 / (ss * ss)
        for py in range(self.h):
            for px in range(self.w):
                tr = tg = tb = ta = 0.0
                for sy in range(py * ss, py * ss + ss):
                    base = sy * sw + px * ss
                    for i in range(base, base + ss):
                        a = self.a[i]
                        if a:
                            tr += self.r[i] * a
                            tg += self.g[i] * a
                            tb += self.b[i] * a
                            ta += a
                if ta > 0:
                    out.append((tr / ta, tg / ta, tb / ta, ta * inv))
                else:
                    out.append((0.0, 0.0, 0.0, 0.0))
        return out


# ---------------------------------------------------------------------------------------
# Palettes and quantisation
# ---------------------------------------------------------------------------------------

VGA16 = [rgb(c) for c in (
    '000000', '800000', '008000', '808000', '000080', '800080', '008080', 'c0c0c0',
    '808080', 'ff0000', '00ff00', 'ffff00', '0000ff', 'ff00ff', '00ffff', 'ffffff')]


def colour_distance(a, b):
    # Weighted RGB distance; close enough to perceived difference for picking palette entries.
    dr, dg, db = a[0] - b[0], a[1] - b[1], a[2] - b[2]
    rm = (a[0] + b[0]) / 2
    return (2 + rm) * dr * dr + 4 * dg * dg + (3 - rm) * db * db


def nearest(palette, c, cache):
    key = (int(c[0] * 255 + 0.5), int(c[1] * 255 + 0.5), int(c[2] * 255 + 0.5))
    idx = cache.get(key)
    if idx is None:
        cc = tuple(v / 255.0 for v in key)
        best = None
        for k, p in enumerate(palette):
            d = colour_distance(cc, p)
            if best is None or d < best:
                best, idx = d, k
        cache[key] = idx
    return idx


def median_cut(colours, count):
    """colours: dict (r, g, b) 0..255 -> weight. Returns up to `count` palette colours (0..1)."""
    boxes = [list(colours.items())]
    while len(boxes) < count:
        # Split the box with the widest weighted spread.
        best, best_score, best_axis = None, -1, 0
        for bi, box in enumerate(boxes):
            if len(box) < 2:
                continue
            for axis in range(3):
                vals = [c[0][axis] for c in box]
                spread = max(vals) - min(vals)
                score = spread * math.sqrt(sum(c[1] for c in box))
                if score > best_score:
                    best, best_score, best_axis = bi, score, axis
        if best is None or best_score <= 0:
            break
        box = sorted(boxes.pop(best), key=lambda c: c[0][best_axis])
        total = sum(c[1] for c in box)
        acc, cut = 0, 1
        for k, c in enumerate(box):
            acc += c[1]
            if acc >= total / 2:
                cut = max(1, min(len(box) - 1, k + 1))
                break
        boxes.append(box[:cut])
        boxes.append(box[cut:])
    palette = []
    for box in boxes:
        tw = sum(c[1] for c in box)
        palette.append(tuple(sum(c[0][i] * c[1] for c in box) / tw / 255.0 for i in range(3)))
    return palette


def quantise(pixels, bpp, fixed=None, reserve=()):
    """Turns RGBA float pixels into (palette, indices, mask) with a binary mask.

    For 4 bpp the standard 16-colour palette is used; for 8 bpp a palette is made from the
    image itself (with `reserve` colours always present). Palettes are padded to full size.
    """
    mask = [p[3] < 0.5 for p in pixels]
    if fixed is not None:
        palette = list(fixed)
    elif bpp == 4:
        palette = list(VGA16)
    else:
        hist = {}
        for p, m in zip(pixels, mask):
            if m:
                continue
            key = (int(p[0] * 255 + 0.5), int(p[1] * 255 + 0.5), int(p[2] * 255 + 0.5))
            hist[key] = hist.get(key, 0) + 1
        palette = [(0.0, 0.0, 0.0)] + list(reserve)
        palette += median_cut(hist, (1 << bpp) - len(palette)) if hist else []
    size = 1 << bpp
    palette = palette[:size] + [(0.0, 0.0, 0.0)] * (size - len(palette))
    cache = {}
    idx = [0 if m else nearest(palette, p, cache) for p, m in zip(pixels, mask)]
    return palette, idx, mask


# ---------------------------------------------------------------------------------------
# File writers
# ---------------------------------------------------------------------------------------


def png_bytes(w, h, rgba_bytes):
    def chunk(tag, data):
        return struct.pack('>I', len(data)) + tag + data + struct.pack('>I', zlib.crc32(tag + data) & 0xffffffff)
    raw = b''.join(b'\0' + rgba_bytes[y * w * 4:(y + 1) * w * 4] for y in range(h))
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 8, 6, 0, 0, 0)) +
            chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))


def ico_image(w, h, bpp, palette, idx, mask):
    """One icon image: BITMAPINFOHEADER, palette, XOR bitmap and AND mask, both bottom-up."""
    ncol = 1 << bpp
    xor_stride = ((w * bpp + 31) // 32) * 4
    and_stride = ((w + 31) // 32) * 4
    xor = bytearray()
    andm = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray(xor_stride)
        arow = bytearray(and_stride)
        for x in range(w):
            i = y * w + x
            v = 0 if mask[i] else idx[i]
            if bpp == 8:
                row[x] = v
            else:
                row[x >> 1] |= v << (4 if x % 2 == 0 else 0)
            if mask[i]:
                arow[x >> 3] |= 0x80 >> (x & 7)
        xor += row
        andm += arow
    header = struct.pack('<IiiHHIIiiII', 40, w, h * 2, 1, bpp, 0, len(xor) + len(andm), 0, 0, ncol, 0)
    pal = b''.join(struct.pack('<BBBB', int(c[2] * 255 + 0.5), int(c[1] * 255 + 0.5),
                               int(c[0] * 255 + 0.5), 0) for c in palette)
    assert len(palette) == ncol
    return header + pal + bytes(xor) + bytes(andm)


def ico_file(images):
    """images: list of (w, h, bpp, palette, idx, mask)."""
    head = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries, blobs = b'', b''
    for w, h, bpp, palette, idx, mask in images:
        blob = ico_image(w, h, bpp, palette, idx, mask)
        entries += struct.pack('<BBBBHHII', w % 256, h % 256, 16 if bpp == 4 else 0, 0, 1, bpp,
                               len(blob), offset)
        offset += len(blob)
        blobs += blob
    return head + entries + blobs


def lzw_gif(indices, min_code=8):
    """GIF-flavoured LZW: variable code width from min_code + 1 up to 12 bits, LSB first."""
    clear, end = 1 << min_code, (1 << min_code) + 1
    out = bytearray()
    acc = nbits = 0

    def emit(code, width):
        nonlocal acc, nbits
        acc |= code << nbits
        nbits += width
        while nbits >= 8:
            out.append(acc & 0xff)
            acc >>= 8
            nbits -= 8

    width = min_code + 1
    table = {}
    next_code = end + 1
    emit(clear, width)
    prefix = None
    for v in indices:
        if prefix is None:
            prefix = v
            continue
        key = (prefix, v)
        code = table.get(key)
        if code is not None:
            prefix = code
            continue
        emit(prefix, width)
        if next_code < 4096:
            table[key] = next_code
            next_code += 1
            # The decoder widens its codes one step later than it adds the entry.
            if next_code > (1 << width) and width < 12:
                width += 1
        else:
            emit(clear, width)
            table = {}
            next_code = end + 1
            width = min_code + 1
        prefix = v
    if prefix is not None:
        emit(prefix, width)
    emit(end, width)
    if nbits:
        out.append(acc & 0xff)
    return bytes(out)


def gif_file(w, h, palette, idx):
    assert len(palette) == 256
    data = lzw_gif(idx)
    blocks = b''.join(bytes([len(data[k:k + 255])]) + data[k:k + 255] for k in range(0, len(data), 255))
    gct = b''.join(bytes(int(clamp01(c[i]) * 255 + 0.5) for i in range(3)) for c in palette)
    return (b'GIF89a' + struct.pack('<HHBBB', w, h, 0xF7, 0, 0) + gct +
            b',' + struct.pack('<HHHHB', 0, 0, w, h, 0) + bytes([8]) + blocks + b'\0;')


def write(name, data):
    with open(os.path.join(HERE, name), 'wb') as f:
        f.write(data)


# ---------------------------------------------------------------------------------------
# The swirl: a rainbow brush stroke winding out from the centre
# ---------------------------------------------------------------------------------------


def swirl_path(cx, cy, r_end, turns, steps=None, start_angle=200.0, r_start=None):
    """Points of an Archimedean spiral that ends at radius r_end, winding clockwise."""
    steps = steps or int(60 * turns + r_end * 4)
    r_start = r_end * 0.08 if r_start is None else r_start
    pts = []
    total = turns * 2 * math.pi
    for k in range(steps + 1):
        t = k / steps
        a = math.radians(start_angle) + total * t
        r = r_start + (r_end - r_start) * (t ** 0.92)
        pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return pts


def swirl_widths(n, wmax, head=0.12, tail=0.22, wmin=0.25, swell=0.65):
    """Brush pressure: starts fine in the centre, swells, and lifts off in a tapered tail."""
    out = []
    for k in range(n):
        t = k / (n - 1)
        grow = smoothstep(0.0, 0.55, t) * swell / 0.65
        lift = 1.0 - smoothstep(1.0 - tail, 1.0, t) ** 1.4
        w = wmax * (1.0 - swell + 0.65 * grow) * lift
        if t < head:
            w *= 0.6 + 0.4 * (t / head)
        out.append(max(wmin, w) if t < 0.999 else 0.05)
    return out


def swirl_colour(t, u, bristles=0.0, hue_span=300.0):
    """Rainbow along the stroke, lit from the upper left across it, with optional bristle streaks."""
    c = hsv(hue_span * t, 1.0, 1.0)
    light = 1.0 - 0.5 * max(0.0, u) ** 1.5          # shadow side
    high = max(0.0, 1.0 - abs(u + 0.45) * 3.0) * 0.35  # glossy ridge
    if bristles:
        light *= 1.0 - bristles * (0.5 + 0.5 * math.sin(u * 23.0 + 3.0 * math.sin(u * 7.0)))
    c = tuple(v * light for v in c)
    return mix(c, (1.0, 1.0, 1.0), high)


BANDS = [(rgb('ff0000'), rgb('800000')), (rgb('ffff00'), rgb('808000')), (rgb('00ff00'), rgb('008000')),
         (rgb('00ffff'), rgb('008080')), (rgb('0000ff'), rgb('000080')), (rgb('ff00ff'), rgb('800080'))]


def band_colour(t, u, shadow_side):
    """The 16-colour rainbow: six clean bands, optionally with the dark shade on one edge."""
    light, dark = BANDS[min(5, int(t * 6))]
    return dark if shadow_side is not None and u > shadow_side else light


def draw_swirl(cv, cx, cy, r_end, turns, wmax, outline=0.0, outline_colour=(0.08, 0.08, 0.12),
               bristles=0.0, style='shaded', shadow_side=None, start_angle=200.0, swell=0.65, tail=0.22, r_start=None):
    pts = swirl_path(cx, cy, r_end, turns, start_angle=start_angle, r_start=r_start)
    widths = swirl_widths(len(pts), wmax / 2, swell=swell, tail=tail)
    # Colour follows the length of the stroke, so every colour gets an equal share of it.
    ts = [0.0]
    for k in range(1, len(pts)):
        ts.append(ts[-1] + math.hypot(pts[k][0] - pts[k - 1][0], pts[k][1] - pts[k - 1][1]))
    ts = [v / ts[-1] for v in ts]
    if outline:
        if outline_colour is None:
            # Rim in a deep shade of the stroke's own colour.
            cv.ribbon(pts, widths, lambda t, u: hsv(300 * t, 1.0, 0.55), grow=outline, ts=ts)
        else:
            cv.ribbon(pts, widths, lambda t, u: outline_colour, grow=outline, ts=ts)
    if style == 'shaded':
        cv.ribbon(pts, widths, lambda t, u: swirl_colour(t, u, bristles), ts=ts)
    elif style == 'flat':
        cv.ribbon(pts, widths, lambda t, u: hsv(300 * t, 1.0, 1.0 - 0.25 * max(0.0, u)), ts=ts)
    else:
        cv.ribbon(pts, widths, lambda t, u: band_colour(t, u, shadow_side), ts=ts)


# ---------------------------------------------------------------------------------------
# The icons
# ---------------------------------------------------------------------------------------


def program_icon():
    """32 x 32, 16 colours: the swirl alone in clean rainbow bands with a black rim."""
    cv = Canvas(32, 32, 8)
    draw_swirl(cv, 16.0, 16.0, 14.0, 1.5, 6.6, outline=1.0, outline_colour=(0.0, 0.0, 0.0),
               style='bands', shadow_side=0.45)
    return cv.pixels_majority()


def frame_icon(size, bpp):
    """The shared window icon: the swirl on a small canvas in a golden picture frame."""
    crisp = bpp == 4
    cv = Canvas(size, size, 8 if size <= 32 else 6)
    rim = max(1, round(size / 40))          # dark outline of the frame
    gold = max(1, round(size * 0.09))       # width of the gilded moulding
    inner = 0 if size <= 16 else rim        # dark line between moulding and canvas
    inset = 0 if size <= 24 else round(size / 16)
    x0, y0, x1, y1 = 0, inset, size, size - inset
    if not crisp and size >= 24:
        # Soft shadow below the frame; the frame is pulled in by a pixel to make room.
        x1 -= 1
        y1 -= 1
        cv.rect(x0 + 1, y0 + 1, x1 + 1, y1 + 1, (0, 0, 0), 0.45)
    dark = (0.0, 0.0, 0.0) if crisp else rgb('5a3a0e')
    if crisp:
        gold_hi, gold_lo = rgb('ffff00'), rgb('808000')
    else:
        gold_hi, gold_mid, gold_lo = rgb('ffeaa0'), rgb('e2a82c'), rgb('96600f')
    gx0, gy0, gx1, gy1 = x0 + rim, y0 + rim, x1 - rim, y1 - rim

    def frame_paint(x, y):
        # Bevelled moulding: light on the top and left, dark on the bottom and right.
        dl, dt, dr, db = x - gx0, y - gy0, gx1 - x, gy1 - y
        d = min(dl, dt, dr, db)
        lit = d == dl or d == dt
        if crisp:
            return gold_hi if lit else gold_lo
        k = clamp01(d / gold)
        base = mix(gold_hi, gold_mid, clamp01(k * 1.4)) if lit else mix(gold_lo, gold_mid, clamp01(k * 1.1))
        if size >= 32:
            ridge = 1.0 - abs(k - 0.6) * 2.5
            if ridge > 0:
                base = mix(base, gold_hi, ridge * 0.4)
        return base

    cv.rect(x0, y0, x1, y1, dark)
    cv.rect(gx0, gy0, gx1, gy1, frame_paint)
    ix0, iy0, ix1, iy1 = gx0 + gold, gy0 + gold, gx1 - gold, gy1 - gold
    if inner:
        cv.rect(ix0, iy0, ix1, iy1, dark)
        ix0, iy0, ix1, iy1 = ix0 + inner, iy0 + inner, ix1 - inner, iy1 - inner
    if crisp:
        cv.rect(ix0, iy0, ix1, iy1, rgb('ffffff'))
    else:
        cv.rect(ix0, iy0, ix1, iy1,
                lambda x, y: mix(rgb('ffffff'), rgb('d5e4f6'), clamp01((y - iy0) / (iy1 - iy0))))
    cx, cy = (ix0 + ix1) / 2, (iy0 + iy1) / 2
    r = min(ix1 - ix0, iy1 - iy0) / 2 - (0.3 if size <= 24 else size / 40)
    if size <= 16:
        # Few pixels: an even, heavy stroke with just one turn reads best.
        turns, wmax, swell, tail, r_start = 1.25, 2.1, 0.1, 0.12, 1.3
    elif size <= 24:
        turns, wmax, swell, tail, r_start = 1.3, 3.0, 0.3, 0.18, 1.6
    else:
        turns, wmax, swell, tail, r_start = 1.35, r * 0.45, 0.65, 0.22, None
    if crisp:
        draw_swirl(cv, cx, cy, r, turns, wmax, style='bands', swell=swell, tail=tail, r_start=r_start,
                   outline=0.8 if size >= 32 else 0.0, outline_colour=(0.0, 0.0, 0.0))
        return cv.pixels_majority()
    draw_swirl(cv, cx, cy, r, turns, wmax, bristles=0.12 if size >= 48 else 0.0,
               style='shaded' if size >= 32 else 'flat', swell=swell, tail=tail, r_start=r_start,
               outline=0.6 * size / 32 if size >= 32 else 0.45,
               outline_colour=rgb('27304f') if size >= 32 else None)
    return cv.pixels()


def floppy_icon():
    cv = Canvas(32, 32, 8)
    body_hi, body_lo = rgb('4a78d0'), rgb('132f6e')
    edge = rgb('0b1a40')
    x0, y0, x1, y1 = 3.0, 3.0, 29.0, 29.0
    outline = [(x0, y0), (x1 - 2.5, y0), (x1, y0 + 2.5), (x1, y1), (x0, y1)]
    cv.polygon([(x + 1, y + 1) for x, y in outline], (0, 0, 0), 0.35)
    cv.polygon(outline, edge)
    inner = [(x0 + 0.9, y0 + 0.9), (x1 - 2.9, y0 + 0.9), (x1 - 0.9, y0 + 2.9), (x1 - 0.9, y1 - 0.9),
             (x0 + 0.9, y1 - 0.9)]
    cv.polygon(inner, lambda x, y: mix(body_hi, body_lo, clamp01((x - x0 + y - y0) / 52.0 * 1.4)))
    # Metal shutter with its window.
    sx0, sx1 = 9.0, 23.5
    cv.rect(sx0, y0 + 0.9, sx1, 12.5, rgb('3a3f48'))
    cv.rect(sx0 + 0.7, y0 + 0.9, sx1 - 0.7, 11.8,
            lambda x, y: mix(rgb('f2f4f7'), rgb('9aa2ad'), clamp01((x - sx0) / (sx1 - sx0))))
    cv.rect(18.0, y0 + 2.2, 21.3, 10.4, rgb('1a1d24'))
    # Paper label with ruled lines.
    lx0, ly0, lx1, ly1 = 6.0, 16.0, 26.0, 29.0 - 0.9
    cv.rect(lx0, ly0, lx1, ly1, edge)
    cv.rect(lx0 + 0.8, ly0 + 0.8, lx1 - 0.8, ly1,
            lambda x, y: mix(rgb('ffffff'), rgb('e4e8ee'), clamp01((y - ly0) / 12.0)))
    for yy in (19.6, 22.6, 25.6):
        cv.rect(lx0 + 2.5, yy, lx1 - 2.5, yy + 0.9, rgb('8fa6cc'))
    # Write-protect notch.
    cv.rect(4.6, 26.2, 6.0, 27.9, edge)
    return cv.pixels()


def monitor_icon():
    cv = Canvas(32, 32, 8)
    case_hi, case, case_lo = rgb('f3f1ec'), rgb('cfcac0'), rgb('8f897d')
    ink = rgb('2a2824')
    # Stand.
    cv.polygon([(12.5, 22.5), (19.5, 22.5), (21.0, 26.5), (11.0, 26.5)], ink)
    cv.polygon([(13.2, 22.5), (18.8, 22.5), (20.0, 25.8), (12.0, 25.8)],
               lambda x, y: mix(case, case_lo, clamp01((y - 22.5) / 4.0)))
    cv.round_rect(7.0, 25.5, 25.0, 29.0, 1.2, ink)
    cv.round_rect(7.8, 26.2, 24.2, 28.3, 0.8, lambda x, y: mix(case_hi, case_lo, clamp01((y - 26.2) / 2.3)))
    # Case and screen.
    cv.round_rect(2.0, 5.0, 30.0, 23.5, 2.0, ink)
    cv.round_rect(2.8, 5.8, 29.2, 22.7, 1.5,
                  lambda x, y: mix(case_hi, case_lo, clamp01((y - 5.8) / 20.0 + (x - 2.8) / 80.0)))
    cv.rect(5.0, 8.0, 27.0, 20.5, ink)
    cv.rect(5.8, 8.8, 26.2, 19.7,
            lambda x, y: mix(rgb('3f8fe8'), rgb('0b2f80'), clamp01((y - 8.8) / 11.0 + (x - 5.8) / 60.0)))
    cv.polygon([(5.8, 8.8), (16.0, 8.8), (5.8, 15.0)], (1, 1, 1), 0.18)
    cv.circle(26.5, 21.3, 0.6, rgb('4bd84b'))
    # Arrow coming from the upper left, pointing into the screen.
    tip = (18.5, 16.0)
    tail = (3.5, 1.5)
    ang = math.atan2(tip[1] - tail[1], tip[0] - tail[0])
    ca, sa = math.cos(ang), math.sin(ang)

    def at(along, across):
        return (tip[0] + ca * along - sa * across, tip[1] + sa * along + ca * across)

    length = math.hypot(tip[0] - tail[0], tip[1] - tail[1])
    head_len, head_w, shaft_w = 8.0, 5.2, 2.0
    arrow = [at(0, 0), at(-head_len, head_w), at(-head_len + 1.6, shaft_w), at(-length, shaft_w),
             at(-length, -shaft_w), at(-head_len + 1.6, -shaft_w), at(-head_len, -head_w)]
    grow = 1.0
    arrow_out = [at(1.6, 0), at(-head_len - 0.9, head_w + grow + 0.3), at(-head_len + 1.1, shaft_w + grow),
                 at(-length - grow, shaft_w + grow), at(-length - grow, -shaft_w - grow),
                 at(-head_len + 1.1, -shaft_w - grow), at(-head_len - 0.9, -head_w - grow - 0.3)]
    cv.polygon([(x + 0.8, y + 1.0) for x, y in arrow_out], (0, 0, 0), 0.3)
    cv.polygon(arrow_out, rgb('5a0f00'))

    def arrow_paint(x, y):
        across = -(x - tip[0]) * sa + (y - tip[1]) * ca
        return mix(rgb('ffb347'), rgb('e0400a'), clamp01((across + 3.0) / 6.0))

    cv.polygon(arrow, arrow_paint)
    return cv.pixels()


# ---------------------------------------------------------------------------------------
# Logo
# ---------------------------------------------------------------------------------------


def text_mask(text, font, pointsize, pad=20):
    """Lettering as an 8-bit coverage mask, cropped to the ink; rendered by ImageMagick."""
    w, h = int(pointsize * len(text) * 0.9) + 2 * pad, int(pointsize * 1.6) + 2 * pad
    cmd = ['convert', '-size', '%dx%d' % (w, h), 'xc:black', '-font', font, '-pointsize', str(pointsize),
           '-fill', 'white', '-gravity', 'center', '-annotate', '+0+0', text, '-depth', '8', 'gray:-']
    raw = subprocess.run(cmd, check=True, stdout=subprocess.PIPE).stdout
    if len(raw) != w * h:
        raise RuntimeError('unexpected text raster size from ImageMagick')
    rows = [y for y in range(h) if any(raw[y * w:(y + 1) * w])]
    cols = [x for x in range(w) if any(raw[y * w + x] for y in rows)]
    bx0, bx1, by0, by1 = cols[0], cols[-1] + 1, rows[0], rows[-1] + 1
    mw, mh = bx1 - bx0, by1 - by0
    mask = [raw[(by0 + y) * w + bx0 + x] / 255.0 for y in range(mh) for x in range(mw)]
    return mw, mh, mask


def box_blur(vals, w, h, radius, passes=3):
    for _ in range(passes):
        for horizontal in (True, False):
            out = [0.0] * (w * h)
            n = 2 * radius + 1
            if horizontal:
                for y in range(h):
                    row = vals[y * w:(y + 1) * w]
                    acc = sum(row[0:radius + 1]) + row[0] * radius
                    for x in range(w):
                        out[y * w + x] = acc / n
                        acc += row[min(w - 1, x + radius + 1)] - row[max(0, x - radius)]
            else:
                for x in range(w):
                    col = vals[x::w]
                    acc = sum(col[0:radius + 1]) + col[0] * radius
                    for y in range(h):
                        out[y * w + x] = acc / n
                        acc += col[min(h - 1, y + radius + 1)] - col[max(0, y - radius)]
            vals = out
    return vals


def logo_image():
    W, H = 747, 153
    # Background: white fading into a pale blue towards the right.
    px = []
    for y in range(H):
        for x in range(W):
            t = clamp01(x / W)
            c = mix((1.0, 1.0, 1.0), rgb('e3eefb'), t * t)
            px.append([c[0], c[1], c[2]])

    # The swirl, drawn on its own canvas and laid over the background.
    sw = 150
    cv = Canvas(sw, sw, 4)
    draw_swirl(cv, sw / 2, sw / 2, 62.0, 1.6, 26.0, outline=1.6, outline_colour=rgb('1d2440'), bristles=0.16)
    sp = cv.pixels()
    ox, oy = 28, 2
    shadow = box_blur([p[3] for p in sp], sw, sw, 3)
    for y in range(sw):
        for x in range(sw):
            # Drop shadow, offset down and right.
            sy, sx = y - 4, x - 4
            if 0 <= sy < sw and 0 <= sx < sw:
                a = shadow[sy * sw + sx] * 0.22
                tx, ty = ox + x, oy + y
                if 0 <= tx < W and 0 <= ty < H and a > 0:
                    q = px[ty * W + tx]
                    for i in range(3):
                        q[i] *= 1 - a
    for y in range(sw):
        for x in range(sw):
            p = sp[y * sw + x]
            tx, ty = ox + x, oy + y
            if p[3] > 0 and 0 <= tx < W and 0 <= ty < H:
                q = px[ty * W + tx]
                for i in range(3):
                    q[i] = q[i] * (1 - p[3]) + p[i] * p[3]

    # The name, with a blue-violet gradient, a thin light rim on top and a soft shadow.
    mw, mh, mask = text_mask('Zelta', 'DejaVu-Sans-Bold', 128)
    tx0 = 206
    ty0 = (H - mh) // 2 - 8
    blur = box_blur(mask, mw, mh, 3)
    top = rgb('2b55c8')
    bottom = rgb('5a1f9a')
    for y in range(mh):
        for x in range(mw):
            X, Y = tx0 + x, ty0 + y
            a = mask[y * mw + x]
            s = 0.0
            sy, sx = y - 5, x - 5
            if 0 <= sy < mh and 0 <= sx < mw:
                s = blur[sy * mw + sx] * 0.28
            # Shadow pixels may reach past the mask; handle the mask area here and the rest below.
            q = px[Y * W + X]
            if s > 0:
                for i in range(3):
                    q[i] *= 1 - s
            if a > 0:
                t = y / mh
                c = mix(top, bottom, t)
                # Light edge just below the top of each glyph.
                above = mask[(y - 3) * mw + x] if y >= 3 else 0.0
                rim = clamp01(a - above)
                c = mix(c, rgb('9fc0ff'), rim * 0.7)
                for i in range(3):
                    q[i] = q[i] * (1 - a) + c[i] * a
    # The tail of the shadow outside the glyph box.
    for y in range(mh, mh + 8):
        for x in range(0, mw + 8):
            sy, sx = y - 5, x - 5
            if 0 <= sy < mh and 0 <= sx < mw and tx0 + x < W and ty0 + y < H:
                s = blur[sy * mw + sx] * 0.28
                q = px[(ty0 + y) * W + tx0 + x]
                for i in range(3):
                    q[i] *= 1 - s
    for y in range(0, mh):
        for x in range(mw, mw + 8):
            sy, sx = y - 5, x - 5
            if 0 <= sy < mh and 0 <= sx < mw and tx0 + x < W:
                s = blur[sy * mw + sx] * 0.28
                q = px[(ty0 + y) * W + tx0 + x]
                for i in range(3):
                    q[i] *= 1 - s

    # A rainbow rule under the name that picks up the swirl's colours.
    ry0, ry1 = ty0 + mh + 12, ty0 + mh + 17
    rx0, rx1 = tx0 + 4, min(W - 24, tx0 + mw + 200)
    for y in range(ry0, ry1):
        for x in range(rx0, rx1):
            t = (x - rx0) / (rx1 - rx0)
            fade = smoothstep(1.0, 0.55, t)
            c = hsv(300 * t, 0.85, 1.0)
            edge = 1.0 if ry0 < y < ry1 - 1 else 0.55
            a = fade * edge
            q = px[y * W + x]
            for i in range(3):
                q[i] = q[i] * (1 - a) + c[i] * a
    return W, H, [(p[0], p[1], p[2], 1.0) for p in px]


# ---------------------------------------------------------------------------------------
# Sample picture: a lake in the mountains at dusk
# ---------------------------------------------------------------------------------------


class Noise:
    def __init__(self, seed, size=256):
        rnd = random.Random(seed)
        self.size = size
        self.v = [rnd.random() for _ in range(size * size)]

    def at(self, x, y):
        s = self.size
        xi, yi = int(math.floor(x)), int(math.floor(y))
        fx, fy = x - xi, y - yi
        fx, fy = fx * fx * (3 - 2 * fx), fy * fy * (3 - 2 * fy)
        x0, y0 = xi % s, yi % s
        x1, y1 = (x0 + 1) % s, (y0 + 1) % s
        v = self.v
        a = v[y0 * s + x0] + (v[y0 * s + x1] - v[y0 * s + x0]) * fx
        b = v[y1 * s + x0] + (v[y1 * s + x1] - v[y1 * s + x0]) * fx
        return a + (b - a) * fy

    def fbm(self, x, y, octaves=5):
        total, amp, norm = 0.0, 1.0, 0.0
        for _ in range(octaves):
            total += self.at(x, y) * amp
            norm += amp
            amp *= 0.5
            x, y = x * 2.03 + 17.1, y * 2.03 + 9.7
        return total / norm


def ridge_line(noise, w, base, height, scale, octaves=6, seed_off=0.0):
    out = []
    for x in range(w):
        v = 0.0
        amp, f, norm = 1.0, scale, 0.0
        for _ in range(octaves):
            n = noise.at(x * f + seed_off, seed_off * 0.37)
            v += (1.0 - abs(2 * n - 1)) * amp
            norm += amp
            amp *= 0.5
            f *= 2.1
        out.append(base - height * (v / norm))
    return out


def sample_picture():
    W, H = 800, 600
    horizon = 390
    nz = Noise(7)
    sun = (575.0, 205.0)
    far = ridge_line(nz, W, 345, 125, 0.006, seed_off=3.0)
    mid = ridge_line(nz, W, 380, 120, 0.009, seed_off=41.0)
    near_left = [horizon + 5 - max(0.0, 180 * (1 - x / 330.0)) * (0.75 + 0.25 * nz.fbm(x * 0.03, 5.0, 4))
                 for x in range(W)]
    out = bytearray()
    for y in range(H):
        for x in range(W):
            if y < horizon:
                c = scene_above(x, y, nz, sun, far, mid, near_left, horizon)
            else:
                # Water: the scene mirrored about the horizon, rippled and darkened.
                d = y - horizon
                ripple = (nz.fbm(x * 0.02, y * 0.25, 3) - 0.5) * (4 + d * 0.08)
                my = horizon - 1 - d * 0.95
                mx = min(W - 1, max(0, int(x + ripple)))
                c = scene_above(mx, max(0, int(my + ripple * 0.5)), nz, sun, far, mid, near_left, horizon)
                depth = clamp01(d / 210.0)
                c = mix(c, (0.05, 0.11, 0.2), 0.25 + 0.45 * depth)
                glint = nz.at(x * 0.35, y * 1.7)
                if abs(x - sun[0]) < 70 * (1 + depth) and glint > 0.8:
                    c = mix(c, (1.0, 0.85, 0.55), (glint - 0.8) * 2.5 * (1 - depth * 0.6))
                # Grassy shore in the lower left.
                shore = H - 70 + 50 * (x / W) ** 1.5 - 30 * nz.fbm(x * 0.01, 3.0, 3)
                if y > shore:
                    g = nz.fbm(x * 0.3, y * 0.05, 4)
                    c = mix((0.08, 0.2, 0.05), (0.35, 0.45, 0.12), g)
                    if nz.at(x * 0.9, y * 0.2) > 0.75:
                        c = mix(c, (0.7, 0.6, 0.3), 0.5)
            out += bytes(int(clamp01(v) * 255 + 0.5) for v in c)
    return W, H, bytes(out)


def scene_above(x, y, nz, sun, far, mid, near_left, horizon):
    t = y / horizon
    sky = mix(rgb('1d3b78'), rgb('f1a35a'), t ** 1.6)
    sky = mix(sky, rgb('ffd9a0'), smoothstep(0.75, 1.0, t) * 0.6)
    d = math.hypot(x - sun[0], (y - sun[1]) * 1.3)
    sky = mix(sky, (1.0, 0.95, 0.8), clamp01(1.0 - d / 260.0) ** 2.5 * 0.9)
    disc = math.hypot(x - sun[0], y - sun[1])
    if disc < 24:
        sky = mix(sky, (1.0, 0.98, 0.9), smoothstep(24, 21, disc))
    # Clouds: streaky fractal noise, lit from the sun side.
    if y < 280:
        cl = nz.fbm(x * 0.006 + 3, y * 0.022, 5)
        dens = smoothstep(0.52, 0.75, cl) * (1 - smoothstep(180, 280, y))
        lit = mix(rgb('5a4a78'), rgb('ffc68a'), clamp01(1.0 - d / 500.0) * 0.8 + 0.2 * (1 - cl))
        sky = mix(sky, lit, dens * 0.85)
    c = sky
    if y > far[x]:
        h = (y - far[x]) / 80.0
        snow = smoothstep(0.55, 0.75, nz.fbm(x * 0.05, y * 0.05, 4)) * (1 - smoothstep(0.0, 0.35, h))
        base = mix(rgb('6a6c98'), rgb('4a4c74'), clamp01(h))
        base = mix(base, rgb('f0d8d8'), snow * 0.85)
        c = mix(base, sky, 0.2)
    if y > mid[x]:
        h = (y - mid[x]) / 60.0
        tex = nz.fbm(x * 0.04, y * 0.06, 4)
        base = mix(rgb('3d4a6a'), rgb('26304a'), clamp01(h)) 
        c = mix(base, rgb('5a6a8a'), tex * 0.35)
    if y > near_left[x]:
        tex = nz.fbm(x * 0.12, y * 0.12, 4)
        c = mix(rgb('16261c'), rgb('2f4a2a'), tex)
        # Little fir silhouettes along the ridge.
        if nz.at(x * 0.3, y * 0.12) > 0.7:
            c = mix(c, rgb('0c160f'), 0.6)
    # Haze towards the horizon.
    c = mix(c, rgb('f0b880'), smoothstep(horizon - 60, horizon, y) * 0.25)
    return c


# ---------------------------------------------------------------------------------------
# Previews and main
# ---------------------------------------------------------------------------------------


def preview_png(path, w, h, palette, idx, mask, scale, checker=True):
    out = bytearray()
    for y in range(h * scale):
        for x in range(w * scale):
            i = (y // scale) * w + x // scale
            if mask is not None and mask[i]:
                v = 200 if ((x // 8) + (y // 8)) % 2 else 235
                out += bytes((v, v, v, 255))
            else:
                c = palette[idx[i]]
                out += bytes((int(c[0] * 255 + 0.5), int(c[1] * 255 + 0.5), int(c[2] * 255 + 0.5), 255))
    with open(path, 'wb') as f:
        f.write(png_bytes(w * scale, h * scale, bytes(out)))


def main():
    preview = None
    if '--preview' in sys.argv:
        preview = sys.argv[sys.argv.index('--preview') + 1]
        os.makedirs(preview, exist_ok=True)

    def show(name, w, h, pal, idx, mask, scale):
        if preview:
            preview_png(os.path.join(preview, name + '.png'), w, h, pal, idx, mask, scale)

    # Program icon.
    pal, idx, mask = quantise(program_icon(), 4)
    write('program.ico', ico_file([(32, 32, 4, pal, idx, mask)]))
    show('program', 32, 32, pal, idx, mask, 8)

    # Button pictures.
    for name, fn in (('floppy', floppy_icon), ('monitor', monitor_icon)):
        pal, idx, mask = quantise(fn(), 8)
        write(name + '.ico', ico_file([(32, 32, 8, pal, idx, mask)]))
        show(name, 32, 32, pal, idx, mask, 8)

    # Shared window icon, in the order the entries go into the file.
    images = []
    for size, bpp in ((64, 8), (24, 8), (32, 8), (48, 8), (16, 4), (32, 4), (48, 4), (16, 8)):
        pal, idx, mask = quantise(frame_icon(size, bpp), bpp)
        images.append((size, size, bpp, pal, idx, mask))
        show('shared_%d_%d' % (size, bpp), size, size, pal, idx, mask, max(2, 256 // size))
    write('shared.ico', ico_file(images))

    # Logo.
    w, h, px = logo_image()
    pal, idx, _ = quantise(px, 8)
    write('logo.gif', gif_file(w, h, pal, idx))
    show('logo', w, h, pal, idx, None, 1)

    # Sample picture.
    w, h, data = sample_picture()
    ppm = b'P6\n%d %d\n255\n' % (w, h) + data
    subprocess.run(['convert', 'ppm:-', '-quality', '86', '-sampling-factor', '2x2',
                    os.path.join(HERE, 'sample.jpg')], input=ppm, check=True)
    if preview:
        with open(os.path.join(preview, 'sample.ppm'), 'wb') as f:
            f.write(ppm)


if __name__ == '__main__':
    main()
