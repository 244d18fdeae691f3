#!/usr/bin/env python3
"""Procedural artwork for Feylume.

Draws every bitmap the program ships (splash, header background, window
icon, small tree/tool glyphs and the about-box picture) from code, so the
pictures can be rebuilt at any time.  Only the Python standard library is
used; text is rasterised by ImageMagick's `convert` into a grey mask and
then composited here.  All randomness comes from fixed seeds and the PNG
files are written by this script itself (no time stamps), so running it
twice produces identical files.

Usage: feylume_art.py REPO_ROOT
"""

import math
import os
import random
import struct
import subprocess
import sys
import zlib

FONT_CJK = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"
FONT_TITLE = "/usr/share/fonts/truetype/dejavu/DejaVuSerif-Italic.ttf"
FONT_SANS = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"
FONT_SANS_BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"


# ---------------------------------------------------------------------------
# PNG output
# ---------------------------------------------------------------------------

def _paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    if pb <= pc:
        return b
    return c


def write_png(path, width, height, rows, channels):
    """rows: list of bytes objects, each width*channels long."""
    bpp = channels
    out = bytearray()
    prev = bytes(width * bpp)
    for row in rows:
        candidates = []
        # 0: none
        candidates.append((0, row))
        # 1: sub
        f = bytearray(len(row))
        for i in range(len(row)):
            left = row[i - bpp] if i >= bpp else 0
            f[i] = (row[i] - left) & 0xFF
        candidates.append((1, bytes(f)))
        # 2: up
        f = bytearray(len(row))
        for i in range(len(row)):
            f[i] = (row[i] - prev[i]) & 0xFF
        candidates.append((2, bytes(f)))
        # 4: paeth
        f = bytearray(len(row))
        for i in range(len(row)):
            a = row[i - bpp] if i >= bpp else 0
            c = prev[i - bpp] if i >= bpp else 0
            f[i] = (row[i] - _paeth(a, prev[i], c)) & 0xFF
        candidates.append((4, bytes(f)))

        def cost(item):
            return sum(v if v < 128 else 256 - v for v in item[1])

        ftype, data = min(candidates, key=cost)
        out.append(ftype)
        out += data
        prev = row

    color_type = 6 if channels == 4 else 2

    def chunk(tag, payload):
        c = struct.pack(">I", len(payload)) + tag + payload
        return c + struct.pack(">I", zlib.crc32(tag + payload) & 0xFFFFFFFF)

    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, color_type, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(out), 9))
    png += chunk(b"IEND", b"")
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as fh:
        fh.write(png)


# ---------------------------------------------------------------------------
# Float RGB canvas
# ---------------------------------------------------------------------------

BAYER4 = [
    [0, 8, 2, 10],
    [12, 4, 14, 6],
    [3, 11, 1, 9],
    [15, 7, 13, 5],
]


def blur(buf, w, h, radius, passes=3):
    """Approximate gaussian blur of a flat float list (box blur, several passes)."""
    if radius < 1:
        return list(buf)
    r = int(radius)
    src = list(buf)
    for _ in range(passes):
        # horizontal
        dst = [0.0] * (w * h)
        norm = 1.0 / (2 * r + 1)
        for y in range(h):
            base = y * w
            row = src[base:base + w]
            acc = row[0] * (r + 1)
            for i in range(1, r + 1):
                acc += row[min(i, w - 1)]
            for x in range(w):
                dst[base + x] = acc * norm
                add = row[min(x + r + 1, w - 1)]
                sub = row[max(x - r, 0)]
                acc += add - sub
        src = dst
        # vertical
        dst = [0.0] * (w * h)
        for x in range(w):
            col = src[x::w]
            acc = col[0] * (r + 1)
            for i in range(1, r + 1):
                acc += col[min(i, h - 1)]
            for y in range(h):
                dst[y * w + x] = acc * norm
                add = col[min(y + r + 1, h - 1)]
                sub = col[max(y - r, 0)]
                acc += add - sub
        src = dst
    return src


class Canvas:
    def __init__(self, w, h):
        self.w, self.h = w, h
        n = w * h
        self.ch = [[0.0] * n, [0.0] * n, [0.0] * n]

    # -- backgrounds -------------------------------------------------------
    def gradient(self, fn):
        """fn(x, y) -> (r, g, b) in 0..1, evaluated at pixel centres."""
        w = self.w
        for y in range(self.h):
            for x in range(w):
                c = fn(x + 0.5, y + 0.5)
                i = y * w + x
                self.ch[0][i], self.ch[1][i], self.ch[2][i] = c

    def add_glow(self, cx, cy, rx, ry, color, amount):
        """Soft elliptical gaussian light (additive)."""
        w, h = self.w, self.h
        x0, x1 = max(0, int(cx - 3 * rx)), min(w, int(cx + 3 * rx) + 1)
        y0, y1 = max(0, int(cy - 3 * ry)), min(h, int(cy + 3 * ry) + 1)
        for y in range(y0, y1):
            dy = (y + 0.5 - cy) / ry
            for x in range(x0, x1):
                dx = (x + 0.5 - cx) / rx
                g = amount * math.exp(-0.5 * (dx * dx + dy * dy))
                i = y * w + x
                self.ch[0][i] += color[0] * g
                self.ch[1][i] += color[1] * g
                self.ch[2][i] += color[2] * g

    def multiply_fn(self, fn):
        w = self.w
        for y in range(self.h):
            for x in range(w):
                k = fn(x + 0.5, y + 0.5)
                i = y * w + x
                for c in range(3):
                    self.ch[c][i] *= k

    # -- text ----------------------------------------------------------------
    def draw_mask(self, mask, mw, mh, ox, oy, color_fn, shadow=0.0, shadow_r=3,
                  glow=None, glow_r=5, glow_amount=0.0):
        """Composite a grey mask at (ox, oy).

        color_fn(x, y) -> rgb gives the fill colour; an optional dark halo
        (shadow) keeps it legible over light trails, and an optional
        coloured glow makes it shine.
        """
        pad = max(shadow_r, glow_r) * 3 + 2
        pw, ph = mw + 2 * pad, mh + 2 * pad
        padded = [0.0] * (pw * ph)
        for y in range(mh):
            padded[(y + pad) * pw + pad:(y + pad) * pw + pad + mw] = mask[y * mw:(y + 1) * mw]
        sh = blur(padded, pw, ph, shadow_r) if shadow > 0 else None
        gl = blur(padded, pw, ph, glow_r) if glow_amount > 0 else None
        for y in range(ph):
            cy = oy - pad + y
            if cy < 0 or cy >= self.h:
                continue
            for x in range(pw):
                cx = ox - pad + x
                if cx < 0 or cx >= self.w:
                    continue
                j = y * pw + x
                i = cy * self.w + cx
                if sh is not None:
                    k = 1.0 - shadow * min(1.0, sh[j] * 1.6)
                    for c in range(3):
                        self.ch[c][i] *= k
                if gl is not None:
                    gv = gl[j] * glow_amount
                    for c in range(3):
                        self.ch[c][i] += glow[c] * gv
                m = padded[j]
                if m > 0:
                    col = color_fn(cx + 0.5, cy + 0.5)
                    for c in range(3):
                        self.ch[c][i] = self.ch[c][i] * (1 - m) + col[c] * m

    # -- output ----------------------------------------------------------
    def rows(self):
        out = []
        w = self.w
        for y in range(self.h):
            row = bytearray(w * 3)
            for x in range(w):
                i = y * w + x
                d = (BAYER4[y & 3][x & 3] + 0.5) / 16.0
                for c in range(3):
                    v = tone(self.ch[c][i])
                    row[x * 3 + c] = max(0, min(255, int(v * 255.0 + d)))
            out.append(bytes(row))
        return out

    def save(self, path):
        write_png(path, self.w, self.h, self.rows(), 3)


def tone(v):
    """Soft shoulder so additive light never clips harshly."""
    if v <= 0.78:
        return max(0.0, v)
    return 0.78 + 0.22 * (1.0 - math.exp(-(v - 0.78) / 0.22))


class LightLayer:
    """Additive light (stars, trails, sparks) that is bloomed before use."""

    def __init__(self, w, h):
        self.w, self.h = w, h
        n = w * h
        self.ch = [[0.0] * n, [0.0] * n, [0.0] * n]

    def splat(self, x, y, color, amount):
        """Bilinear point deposit at sub-pixel position."""
        fx, fy = x - 0.5, y - 0.5
        ix, iy = math.floor(fx), math.floor(fy)
        ax, ay = fx - ix, fy - iy
        for dx, dy, wgt in ((0, 0, (1 - ax) * (1 - ay)), (1, 0, ax * (1 - ay)),
                            (0, 1, (1 - ax) * ay), (1, 1, ax * ay)):
            px, py = ix + dx, iy + dy
            if 0 <= px < self.w and 0 <= py < self.h:
                i = py * self.w + px
                v = wgt * amount
                self.ch[0][i] += color[0] * v
                self.ch[1][i] += color[1] * v
                self.ch[2][i] += color[2] * v

    def dot(self, x, y, radius, color, amount):
        """Small gaussian dot (for stars and sparks)."""
        r = max(radius, 0.35)
        ext = int(r * 3) + 1
        tot = 0.0
        cells = []
        for py in range(int(y) - ext, int(y) + ext + 1):
            for px in range(int(x) - ext, int(x) + ext + 1):
                d2 = ((px + 0.5 - x) ** 2 + (py + 0.5 - y) ** 2) / (r * r)
                g = math.exp(-0.5 * d2)
                tot += g
                cells.append((px, py, g))
        for px, py, g in cells:
            if 0 <= px < self.w and 0 <= py < self.h:
                i = py * self.w + px
                v = amount * g / tot * (1 + r * r)
                self.ch[0][i] += color[0] * v
                self.ch[1][i] += color[1] * v
                self.ch[2][i] += color[2] * v

    def curve(self, fn, t0, t1, color_fn, amount_fn, step=0.4):
        """Deposit a thin light line along the parametric curve fn(t)->(x,y)."""
        n = 8
        # estimate length to choose sample count
        length = 0.0
        px, py = fn(t0)
        for k in range(1, 65):
            t = t0 + (t1 - t0) * k / 64
            x, y = fn(t)
            length += math.hypot(x - px, y - py)
            px, py = x, y
        n = max(8, int(length / step))
        ds = length / n
        for k in range(n + 1):
            t = t0 + (t1 - t0) * k / n
            x, y = fn(t)
            u = k / n
            self.splat(x, y, color_fn(u), amount_fn(u) * ds)

    def bloom_onto(self, canvas, core=1.0, small=(2, 0.9), large=(9, 0.7)):
        w, h = self.w, self.h
        for c in range(3):
            src = self.ch[c]
            b1 = blur(src, w, h, small[0])
            b2 = blur(src, w, h, large[0])
            dst = canvas.ch[c]
            for i in range(w * h):
                dst[i] += core * src[i] + small[1] * b1[i] * 4 + large[1] * b2[i] * 12


# ---------------------------------------------------------------------------
# Text masks (rendered by ImageMagick)
# ---------------------------------------------------------------------------

def text_mask(text, font, size, kerning=0.0):
    cmd = ["convert", "-background", "black", "-fill", "white", "-font", font,
           "-pointsize", str(size)]
    if kerning:
        cmd += ["-kerning", str(kerning)]
    cmd += ["label:" + text, "-trim", "+repage", "-depth", "8", "pgm:-"]
    data = subprocess.run(cmd, check=True, stdout=subprocess.PIPE).stdout
    # parse binary PGM
    parts = []
    pos = 0
    while len(parts) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            while data[pos:pos + 1] != b"\n":
                pos += 1
            continue
        start = pos
        while not data[pos:pos + 1].isspace():
            pos += 1
        parts.append(data[start:pos])
    pos += 1
    w, h = int(parts[1]), int(parts[2])
    pix = data[pos:pos + w * h]
    return [v / 255.0 for v in pix], w, h


def lerp(a, b, t):
    return a + (b - a) * t


def lerp3(a, b, t):
    return (lerp(a[0], b[0], t), lerp(a[1], b[1], t), lerp(a[2], b[2], t))


def ramp(stops, t):
    """stops: list of (pos, rgb) sorted by pos."""
    if t <= stops[0][0]:
        return stops[0][1]
    for (p0, c0), (p1, c1) in zip(stops, stops[1:]):
        if t <= p1:
            return lerp3(c0, c1, (t - p0) / (p1 - p0))
    return stops[-1][1]


def smoothstep(e0, e1, x):
    t = max(0.0, min(1.0, (x - e0) / (e1 - e0)))
    return t * t * (3 - 2 * t)


# ---------------------------------------------------------------------------
# Shared night-sky style
# ---------------------------------------------------------------------------

TEAL = (0.30, 0.92, 1.00)
VIOLET = (0.66, 0.48, 1.00)
ROSE = (1.00, 0.50, 0.78)
GOLD = (1.00, 0.82, 0.45)
TRAIL_RAMP = [(0.0, TEAL), (0.45, VIOLET), (0.75, ROSE), (1.0, GOLD)]


def night_sky(w, h, top, bottom):
    cv = Canvas(w, h)

    def bg(x, y):
        t = y / h
        t = t * t * (3 - 2 * t)
        c = lerp3(top, bottom, t)
        s = 1.0 + 0.10 * (x / w - 0.5)
        return (c[0] * s, c[1] * s, c[2] * s)

    cv.gradient(bg)
    return cv


def starfield(layer, rng, count, region_fn=None, max_amount=0.9):
    w, h = layer.w, layer.h
    placed = 0
    while placed < count:
        x, y = rng.uniform(0, w), rng.uniform(0, h)
        mag = rng.random() ** 3.2
        scale = region_fn(x, y) if region_fn else 1.0
        placed += 1
        if scale <= 0:
            continue
        tint = rng.random()
        col = lerp3((0.75, 0.85, 1.0), (1.0, 0.92, 0.80), tint) if tint > 0.8 else (0.82, 0.88, 1.0)
        layer.dot(x, y, 0.45 + 0.5 * mag, col, (0.08 + max_amount * mag) * scale)


def ribbon(layer, rng, path, strands, spread, amount, phase_jitter=1.0, sparks=60,
           spark_amount=0.9, color_ramp=TRAIL_RAMP):
    """A bundle of light strands following path(t)->(x, y, nx, ny) for t in 0..1.

    (nx, ny) is the unit normal along which strands are spread.
    """
    for s in range(strands):
        off = (s / max(1, strands - 1) - 0.5) * spread
        ph = rng.uniform(0, 2 * math.pi) * phase_jitter
        fr = rng.uniform(2.0, 3.5)
        wob = rng.uniform(0.25, 0.6) * spread
        bright = rng.uniform(0.55, 1.0) * (1.0 - 0.55 * abs(off) / (spread * 0.5 + 1e-9))

        def fn(t, off=off, ph=ph, fr=fr, wob=wob):
            x, y, nx, ny = path(t)
            o = off * (0.35 + 0.65 * math.sin(math.pi * t)) + wob * math.sin(fr * math.pi * t + ph) * math.sin(math.pi * t)
            return x + nx * o, y + ny * o

        layer.curve(fn, 0.0, 1.0, lambda u: ramp(color_ramp, u),
                    lambda u, b=bright: amount * b * smoothstep(0.0, 0.18, u) * smoothstep(1.0, 0.80, u))
    for _ in range(sparks):
        t = rng.random()
        x, y, nx, ny = path(t)
        o = rng.gauss(0, spread * 0.9)
        env = smoothstep(0.0, 0.15, t) * smoothstep(1.0, 0.85, t)
        col = lerp3(ramp(color_ramp, t), (1, 1, 1), 0.45)
        mag = rng.random() ** 2.5
        layer.dot(x + nx * o + rng.uniform(-3, 3), y + ny * o + rng.uniform(-3, 3),
                  0.5 + 0.9 * mag, col, spark_amount * (0.15 + mag) * env)


def path_from(fx, fy):
    """Build a path with unit normals from coordinate functions of t."""
    def path(t):
        x, y = fx(t), fy(t)
        e = 1e-3
        dx = fx(min(1, t + e)) - fx(max(0, t - e))
        dy = fy(min(1, t + e)) - fy(max(0, t - e))
        n = math.hypot(dx, dy) or 1.0
        return x, y, -dy / n, dx / n
    return path


# ---------------------------------------------------------------------------
# 1. Splash
# ---------------------------------------------------------------------------

def make_splash(path):
    w, h = 400, 295
    rng = random.Random(2501)
    cv = night_sky(w, h, (0.020, 0.030, 0.095), (0.070, 0.040, 0.150))
    # nebulae
    cv.add_glow(70, 55, 120, 70, (0.10, 0.30, 0.45), 0.22)
    cv.add_glow(340, 235, 140, 70, (0.35, 0.12, 0.40), 0.20)
    cv.add_glow(300, 40, 90, 50, (0.15, 0.18, 0.45), 0.15)

    light = LightLayer(w, h)

    def star_region(x, y):
        # fewer, dimmer stars behind the lettering
        if 60 < x < 345 and 60 < y < 185:
            return 0.35
        return 1.0

    starfield(light, rng, 260, star_region, 0.9)

    main = path_from(lambda t: lerp(-30, 430, t),
                     lambda t: 258 - 150 * t + 22 * math.sin(math.pi * (1.6 * t + 0.15)))
    ribbon(light, rng, main, strands=7, spread=16, amount=0.55, sparks=90, spark_amount=0.8)
    thin = path_from(lambda t: lerp(-20, 420, t),
                     lambda t: 232 - 170 * t + 30 * math.sin(math.pi * (1.2 * t + 0.6)))
    ribbon(light, rng, thin, strands=2, spread=5, amount=0.28, sparks=25, spark_amount=0.5,
           color_ramp=[(0.0, VIOLET), (0.6, TEAL), (1.0, (0.8, 0.95, 1.0))])
    light.bloom_onto(cv, core=1.0, small=(2, 0.55), large=(10, 0.55))

    # vignette
    def vig(x, y):
        dx, dy = (x / w - 0.5) * 1.5, (y / h - 0.5) * 1.7
        return 1.0 - 0.35 * smoothstep(0.35, 1.0, math.hypot(dx, dy))
    cv.multiply_fn(vig)

    # lettering
    tm, tw, th = text_mask("Feylume", FONT_TITLE, 58)
    vm, vw, vh = text_mask("V2.5", FONT_SANS_BOLD, 15, kerning=0.5)
    gap = 8
    total = tw + gap + vw
    tx = (w - total) // 2
    ty = 78
    title_col = lambda x, y: lerp3((1.0, 1.0, 1.0), (0.80, 0.90, 1.0), smoothstep(ty, ty + th, y))
    cv.draw_mask(tm, tw, th, tx, ty, title_col, shadow=0.55, shadow_r=3,
                 glow=(0.45, 0.70, 1.0), glow_r=6, glow_amount=0.55)
    cv.draw_mask(vm, vw, vh, tx + tw + gap, ty + 4, lambda x, y: (1.0, 0.86, 0.55),
                 shadow=0.5, shadow_r=2, glow=(1.0, 0.7, 0.3), glow_r=3, glow_amount=0.35)

    sm, sw, sh = text_mask("网页特效脚本库", FONT_CJK, 19, kerning=5)
    sx = (w - sw) // 2
    sy = ty + th + 24
    cv.draw_mask(sm, sw, sh, sx, sy, lambda x, y: (0.90, 0.92, 1.0), shadow=0.6, shadow_r=2,
                 glow=(0.5, 0.6, 1.0), glow_r=4, glow_amount=0.25)
    # hairlines either side of the subtitle
    line_y = sy + sh / 2.0
    hl = LightLayer(w, h)
    for side in (-1, 1):
        x_in = sx - 12 if side < 0 else sx + sw + 12
        x_out = x_in + side * 46
        hl.curve(lambda t, a=x_in, b=x_out: (lerp(a, b, t), line_y), 0, 1,
                 lambda u: (0.75, 0.82, 1.0), lambda u: 0.55 * (1 - u) ** 1.5)
        hl.dot(x_in + side * 0.5, line_y, 0.7, (0.9, 0.95, 1.0), 0.5)
    hl.bloom_onto(cv, core=1.0, small=(1, 0.3), large=(4, 0.15))
    cv.save(path)


# ---------------------------------------------------------------------------
# 2. Header background
# ---------------------------------------------------------------------------

def make_header(path):
    w, h = 503, 204
    rng = random.Random(2502)
    cv = Canvas(w, h)

    def bg(x, y):
        t = y / h
        c = lerp3((0.030, 0.075, 0.210), (0.020, 0.110, 0.300), t)
        k = smoothstep(330, 503, x)
        c = lerp3(c, (0.050, 0.160, 0.400), 0.55 * k * (1 - 0.4 * t))
        return c

    cv.gradient(bg)
    cv.add_glow(475, 40, 70, 55, (0.18, 0.38, 0.75), 0.30)
    cv.add_glow(100, 210, 220, 45, (0.05, 0.18, 0.40), 0.25)

    # soft translucent waves along the bottom, rising on the right
    def wave_shade(x, y):
        s = 0.0
        for k, (base, amp, fr, ph, a) in enumerate((
                (180, 6, 1.4, 0.3, 0.065), (189, 7, 2.1, 1.9, 0.080), (197, 5, 2.9, 4.0, 0.090))):
            rise = 55 * smoothstep(300, 503, x) * (1 - 0.25 * k)
            edge = base - rise + amp * math.sin(fr * math.pi * x / w + ph)
            s += a * smoothstep(edge - 2.5, edge + 2.5, y)
        return s

    for y in range(h):
        for x in range(w):
            s = wave_shade(x + 0.5, y + 0.5)
            if s:
                i = y * w + x
                cv.ch[0][i] += 0.25 * s
                cv.ch[1][i] += 0.55 * s
                cv.ch[2][i] += 1.00 * s

    # a few soft out-of-focus discs on the right edge, clear of the form area
    for bx, by, br, ba in ((478, 96, 26, 0.050), (492, 20, 14, 0.060), (462, 168, 11, 0.045),
                           (500, 140, 8, 0.055)):
        x0, x1 = max(0, int(bx - br - 3)), min(w, int(bx + br + 4))
        y0, y1 = max(0, int(by - br - 3)), min(h, int(by + br + 4))
        for y in range(y0, y1):
            for x in range(x0, x1):
                d = math.hypot(x + 0.5 - bx, y + 0.5 - by)
                a = ba * (1 - smoothstep(br - 1.5, br + 1.5, d)) * (0.7 + 0.3 * d / br)
                i = y * w + x
                cv.ch[0][i] += 0.45 * a
                cv.ch[1][i] += 0.75 * a
                cv.ch[2][i] += 1.00 * a

    light = LightLayer(w, h)

    def region(x, y):
        calm = 16 <= x <= 450 and 30 <= y <= 155
        return 0.22 if calm else 0.8

    starfield(light, rng, 170, region, 0.8)
    # a faint light line riding the top wave on the right
    crest = path_from(lambda t: lerp(280, 515, t),
                      lambda t: 190 - 52 * smoothstep(300, 503, lerp(280, 515, t))
                      + 6 * math.sin(2.1 * math.pi * lerp(280, 515, t) / w + 1.9) - 6)
    ribbon(light, rng, crest, strands=3, spread=4, amount=0.20, sparks=18, spark_amount=0.45,
           color_ramp=[(0.0, (0.4, 0.7, 1.0)), (1.0, (0.7, 0.95, 1.0))])
    light.bloom_onto(cv, core=1.0, small=(2, 0.4), large=(8, 0.35))
    cv.save(path)


# ---------------------------------------------------------------------------
# 5. About picture
# ---------------------------------------------------------------------------

def make_about(path):
    w, h = 180, 249
    rng = random.Random(2505)
    cv = night_sky(w, h, (0.020, 0.030, 0.095), (0.075, 0.040, 0.155))
    cv.add_glow(40, 40, 80, 60, (0.10, 0.30, 0.45), 0.22)
    cv.add_glow(150, 220, 90, 70, (0.35, 0.12, 0.40), 0.22)

    light = LightLayer(w, h)

    def region(x, y):
        return 0.35 if 15 < x < 165 and 120 < y < 215 else 1.0

    starfield(light, rng, 120, region, 0.9)
    rise = path_from(lambda t: 40 + 95 * t + 30 * math.sin(math.pi * (1.5 * t + 0.2)),
                     lambda t: lerp(262, -12, t))
    ribbon(light, rng, rise, strands=6, spread=12, amount=0.50, sparks=60, spark_amount=0.75)
    thin = path_from(lambda t: 120 - 70 * t + 22 * math.sin(math.pi * (1.3 * t + 0.5)),
                     lambda t: lerp(258, -10, t))
    ribbon(light, rng, thin, strands=2, spread=4, amount=0.25, sparks=15, spark_amount=0.5,
           color_ramp=[(0.0, VIOLET), (0.6, TEAL), (1.0, (0.8, 0.95, 1.0))])
    light.bloom_onto(cv, core=1.0, small=(2, 0.55), large=(9, 0.55))

    def vig(x, y):
        dx, dy = (x / w - 0.5) * 1.6, (y / h - 0.5) * 1.4
        return 1.0 - 0.35 * smoothstep(0.35, 1.0, math.hypot(dx, dy))
    cv.multiply_fn(vig)

    tm, tw, th = text_mask("Feylume", FONT_TITLE, 36)
    tx, ty = (w - tw) // 2, 140
    cv.draw_mask(tm, tw, th, tx, ty,
                 lambda x, y: lerp3((1.0, 1.0, 1.0), (0.80, 0.90, 1.0), smoothstep(ty, ty + th, y)),
                 shadow=0.55, shadow_r=3, glow=(0.45, 0.70, 1.0), glow_r=5, glow_amount=0.5)
    vm, vw, vh = text_mask("2.5", FONT_SANS_BOLD, 22, kerning=1)
    vx, vy = (w - vw) // 2, ty + th + 16
    cv.draw_mask(vm, vw, vh, vx, vy, lambda x, y: (1.0, 0.86, 0.55), shadow=0.5, shadow_r=2,
                 glow=(1.0, 0.7, 0.3), glow_r=3, glow_amount=0.35)
    cv.save(path)


# ---------------------------------------------------------------------------
# RGBA vector drawing for icon and glyphs (supersampled coverage)
# ---------------------------------------------------------------------------

class RGBA:
    def __init__(self, w, h):
        self.w, self.h = w, h
        # premultiplied
        self.px = [[0.0, 0.0, 0.0, 0.0] for _ in range(w * h)]

    def fill(self, inside, color, ss=4, box=None):
        """inside(x, y) -> bool; color(x, y) -> (r, g, b, a)."""
        x0, y0, x1, y1 = box if box else (0, 0, self.w, self.h)
        x0, y0 = max(0, int(x0)), max(0, int(y0))
        x1, y1 = min(self.w, int(math.ceil(x1))), min(self.h, int(math.ceil(y1)))
        inv = 1.0 / (ss * ss)
        for y in range(y0, y1):
            for x in range(x0, x1):
                cov = 0
                for sy in range(ss):
                    for sx in range(ss):
                        if inside(x + (sx + 0.5) / ss, y + (sy + 0.5) / ss):
                            cov += 1
                if cov:
                    r, g, b, a = color(x + 0.5, y + 0.5)
                    self.over(x, y, r, g, b, a * cov * inv)

    def over(self, x, y, r, g, b, a):
        p = self.px[y * self.w + x]
        k = 1.0 - a
        p[0] = r * a + p[0] * k
        p[1] = g * a + p[1] * k
        p[2] = b * a + p[2] * k
        p[3] = a + p[3] * k

    def add_light(self, x, y, r, g, b, a):
        """Additive glow that also raises alpha (for sparkles)."""
        p = self.px[y * self.w + x]
        p[0] = min(1.0, p[0] + r * a)
        p[1] = min(1.0, p[1] + g * a)
        p[2] = min(1.0, p[2] + b * a)
        p[3] = min(1.0, p[3] + a)

    def pixel_art(self, rows, palette):
        for y, row in enumerate(rows):
            assert len(row) == self.w, (y, row, len(row))
            for x, ch in enumerate(row):
                if ch in palette:
                    r, g, b, a = palette[ch]
                    self.over(x, y, r, g, b, a)

    def save(self, path):
        rows = []
        for y in range(self.h):
            row = bytearray(self.w * 4)
            for x in range(self.w):
                r, g, b, a = self.px[y * self.w + x]
                if a > 1e-6:
                    r, g, b = r / a, g / a, b / a
                else:
                    r = g = b = 0.0
                vals = (r, g, b, a)
                for c in range(4):
                    row[x * 4 + c] = max(0, min(255, int(round(vals[c] * 255))))
            rows.append(bytes(row))
        write_png(path, self.w, self.h, rows, 4)


def seg_dist(px, py, ax, ay, bx, by):
    vx, vy = bx - ax, by - ay
    wx, wy = px - ax, py - ay
    t = max(0.0, min(1.0, (wx * vx + wy * vy) / (vx * vx + vy * vy)))
    return math.hypot(wx - vx * t, wy - vy * t)


def poly_dist(px, py, pts):
    return min(seg_dist(px, py, *pts[i], *pts[i + 1]) for i in range(len(pts) - 1))


def in_round_rect(x, y, x0, y0, x1, y1, r):
    cx = min(max(x, x0 + r), x1 - r)
    cy = min(max(y, y0 + r), y1 - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def hexrgb(s, a=1.0):
    return (int(s[0:2], 16) / 255.0, int(s[2:4], 16) / 255.0, int(s[4:6], 16) / 255.0, a)


# ---------------------------------------------------------------------------
# 3. Window icon
# ---------------------------------------------------------------------------

# The strokes of the brackets and the slash, shared by the bitmap and the vector drawing.
ICON_LEFT = [(24, 20), (12, 33), (24, 46)]
ICON_RIGHT = [(40, 20), (52, 33), (40, 46)]
ICON_SLASH = [(36.5, 16), (27.5, 50)]
ICON_STROKE = 3.4


def make_icon(path):
    im = RGBA(64, 64)
    # tile
    im.fill(lambda x, y: in_round_rect(x, y, 3, 5, 61, 61, 12),
            lambda x, y: (0.0, 0.0, 0.0, 0.30), ss=4)  # soft drop edge
    def tile_col(x, y):
        t = (x + y) / 128.0
        c = lerp3((0.20, 0.14, 0.50), (0.05, 0.20, 0.50), t)
        return (c[0], c[1], c[2], 1.0)
    im.fill(lambda x, y: in_round_rect(x, y, 2, 2, 62, 60, 12), tile_col, ss=4)
    # inner top highlight
    im.fill(lambda x, y: in_round_rect(x, y, 2, 2, 62, 60, 12) and not in_round_rect(x, y, 3.2, 3.4, 60.8, 60, 11),
            lambda x, y: (0.7, 0.8, 1.0, 0.35 * (1 - y / 60.0)), ss=4)

    # brackets
    left, right, slash, width = ICON_LEFT, ICON_RIGHT, ICON_SLASH, ICON_STROKE

    def bracket_col(x, y):
        c = lerp3(TEAL, (0.45, 0.70, 1.0), (y - 16) / 34.0)
        return (c[0], c[1], c[2], 1.0)

    def slash_col(x, y):
        c = lerp3(GOLD, ROSE, (y - 16) / 34.0)
        return (c[0], c[1], c[2], 1.0)

    # dark outline under the strokes for contrast
    for pts in (left, right, slash):
        im.fill(lambda x, y, p=pts: poly_dist(x, y, p) <= width + 1.2,
                lambda x, y: (0.03, 0.04, 0.15, 0.55), ss=4)
    im.fill(lambda x, y: poly_dist(x, y, left) <= width, bracket_col, ss=4)
    im.fill(lambda x, y: poly_dist(x, y, right) <= width, bracket_col, ss=4)
    im.fill(lambda x, y: poly_dist(x, y, slash) <= width * 0.9, slash_col, ss=4)

    # sparkle at top-right
    sx, sy, sr = 51.5, 13.0, 10.5
    for y in range(64):
        for x in range(64):
            d = math.hypot(x + 0.5 - sx, y + 0.5 - sy)
            g = 0.55 * math.exp(-(d / 4.5) ** 2)
            if g > 0.01:
                im.add_light(x, y, 1.0, 0.92, 0.65, g)

    def star(x, y):
        dx, dy = abs(x - sx) / sr, abs(y - sy) / sr
        return math.sqrt(dx) + math.sqrt(dy) <= 1.0

    im.fill(star, lambda x, y: (1.0, 0.97, 0.85, 1.0), ss=6,
            box=(sx - sr - 1, sy - sr - 1, sx + sr + 1, sy + sr + 1))
    # tiny second spark
    tx, ty, tr = 57.0, 25.5, 3.6
    im.fill(lambda x, y: math.sqrt(abs(x - tx) / tr) + math.sqrt(abs(y - ty) / tr) <= 1.0,
            lambda x, y: (1.0, 0.95, 0.80, 0.95), ss=6, box=(tx - 5, ty - 5, tx + 5, ty + 5))
    im.save(path)


# The same drawing as vectors, for the icon theme's scalable size: launchers and software centres
# that show the icon larger than 64 pixels draw it from this instead of blowing up the bitmap.

def svg_colour(c):
    return "#%02x%02x%02x" % tuple(max(0, min(255, int(round(v * 255)))) for v in c[:3])


def svg_round_rect(x0, y0, x1, y1, r):
    return ("M%g,%g H%g A%g,%g 0 0 1 %g,%g V%g A%g,%g 0 0 1 %g,%g H%g A%g,%g 0 0 1 %g,%g V%g "
            "A%g,%g 0 0 1 %g,%g Z" % (x0 + r, y0, x1 - r, r, r, x1, y0 + r, y1 - r, r, r, x1 - r, y1,
                                      x0 + r, r, r, x0, y1 - r, y0 + r, r, r, x0 + r, y0))


def svg_polyline(points):
    return "M" + " L".join("%g,%g" % p for p in points)


def svg_sparkle(cx, cy, radius, steps=96):
    # The edge of sqrt|dx| + sqrt|dy| = 1, the four-pointed star of the bitmap.
    points = []
    for i in range(steps):
        t = 2 * math.pi * i / steps
        c, s = math.cos(t), math.sin(t)
        points.append((cx + radius * math.copysign(c ** 4, c), cy + radius * math.copysign(s ** 4, s)))
    return "M" + " L".join("%.2f,%.2f" % p for p in points) + " Z"


def make_scalable_icon(path):
    glow = "".join('<stop offset="%.3f" stop-color="#ffeba6" stop-opacity="%.3f"/>'
                   % (d / 10.0, 0.55 * math.exp(-(d / 4.5) ** 2)) for d in range(11))
    stroke = 'fill="none" stroke-linecap="round" stroke-linejoin="round"'
    outline = "".join('<path d="%s" %s stroke="#080a26" stroke-opacity="0.55" stroke-width="%g"/>'
                      % (svg_polyline(p), stroke, 2 * (ICON_STROKE + 1.2))
                      for p in (ICON_LEFT, ICON_RIGHT, ICON_SLASH))
    svg = (
        '<svg xmlns="http://www.w3.org/2000/svg" width="64" height="64" viewBox="0 0 64 64">\n'
        '<defs>\n'
        '<linearGradient id="tile" gradientUnits="userSpaceOnUse" x1="0" y1="0" x2="64" y2="64">'
        '<stop offset="0" stop-color="%s"/><stop offset="1" stop-color="%s"/></linearGradient>\n'
        '<linearGradient id="rim" gradientUnits="userSpaceOnUse" x1="0" y1="0" x2="0" y2="60">'
        '<stop offset="0" stop-color="#b3ccff" stop-opacity="0.35"/>'
        '<stop offset="1" stop-color="#b3ccff" stop-opacity="0"/></linearGradient>\n'
        '<linearGradient id="bracket" gradientUnits="userSpaceOnUse" x1="0" y1="16" x2="0" y2="50">'
        '<stop offset="0" stop-color="%s"/><stop offset="1" stop-color="%s"/></linearGradient>\n'
        '<linearGradient id="slash" gradientUnits="userSpaceOnUse" x1="0" y1="16" x2="0" y2="50">'
        '<stop offset="0" stop-color="%s"/><stop offset="1" stop-color="%s"/></linearGradient>\n'
        '<radialGradient id="glow" gradientUnits="userSpaceOnUse" cx="51.5" cy="13" r="10">%s'
        '</radialGradient>\n'
        '</defs>\n'
        '<path d="%s" fill="#000000" fill-opacity="0.3"/>\n'
        '<path d="%s" fill="url(#tile)"/>\n'
        '<path d="%s %s" fill="url(#rim)" fill-rule="evenodd"/>\n'
        '%s\n'
        '<path d="%s" %s stroke="url(#bracket)" stroke-width="%g"/>\n'
        '<path d="%s" %s stroke="url(#bracket)" stroke-width="%g"/>\n'
        '<path d="%s" %s stroke="url(#slash)" stroke-width="%g"/>\n'
        '<circle cx="51.5" cy="13" r="10" fill="url(#glow)"/>\n'
        '<path d="%s" fill="#fff7d9"/>\n'
        '<path d="%s" fill="#fff2cc" fill-opacity="0.95"/>\n'
        '</svg>\n'
    ) % (svg_colour((0.20, 0.14, 0.50)), svg_colour((0.05, 0.20, 0.50)),
         svg_colour(TEAL), svg_colour((0.45, 0.70, 1.0)), svg_colour(GOLD), svg_colour(ROSE), glow,
         svg_round_rect(3, 5, 61, 61, 12), svg_round_rect(2, 2, 62, 60, 12),
         svg_round_rect(2, 2, 62, 60, 12), svg_round_rect(3.2, 3.4, 60.8, 60, 11),
         outline,
         svg_polyline(ICON_LEFT), stroke, 2 * ICON_STROKE,
         svg_polyline(ICON_RIGHT), stroke, 2 * ICON_STROKE,
         svg_polyline(ICON_SLASH), stroke, 2 * ICON_STROKE * 0.9,
         svg_sparkle(51.5, 13.0, 10.5), svg_sparkle(57.0, 25.5, 3.6))
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="ascii") as fh:
        fh.write(svg)


# ---------------------------------------------------------------------------
# 4. 16 x 16 glyphs (the find glyph 16 x 15)
# ---------------------------------------------------------------------------

BOX_PALETTE = {
    "k": hexrgb("5d7088"),       # frame
    "c": hexrgb("5d7088", 0.45),  # softened frame corner
    "1": hexrgb("ffffff"),
    "2": hexrgb("f3f7fc"),
    "3": hexrgb("e6eef8"),
    "4": hexrgb("d6e2f1"),
    "s": hexrgb("1d4f91"),       # sign
}

BOX_TOP = [
    "................",
    "................",
    "................",
    "...ckkkkkkkkc...",
]
BOX_BOTTOM = [
    "...ckkkkkkkkc...",
    "................",
    "................",
    "................",
]


def box_glyph(middle):
    return BOX_TOP + middle + BOX_BOTTOM


GLYPH_PLUS = box_glyph([
    "...k11111111k...",
    "...k222ss222k...",
    "...k222ss222k...",
    "...k3ssssss3k...",
    "...k3ssssss3k...",
    "...k333ss333k...",
    "...k444ss444k...",
    "...k44444444k...",
])

GLYPH_MINUS = box_glyph([
    "...k11111111k...",
    "...k22222222k...",
    "...k22222222k...",
    "...k3ssssss3k...",
    "...k3ssssss3k...",
    "...k33333333k...",
    "...k44444444k...",
    "...k44444444k...",
])

HTML_PALETTE = {
    "k": hexrgb("59677a"),
    "w": hexrgb("ffffff"),
    "v": hexrgb("eef3f9"),
    "f": hexrgb("c9d5e3"),
    "g": hexrgb("a9b6c6"),
    "o": hexrgb("e2571e"),
    "p": hexrgb("f0a27e"),
    "b": hexrgb("2f6fc0"),
}

GLYPH_HTML = [
    "................",
    "..kkkkkkkkk.....",
    "..kwwwwwwwfk....",
    "..kwggggwwffk...",
    "..kwwwwwwwfffk..",
    "..kwgggwwwkkkk..",
    "..kwwwwwwwwwwk..",
    "..kwwpowwopwwk..",
    "..kwpowwwwopwk..",
    "..kpowwwwwwopk..",
    "..kwpowwwwopwk..",
    "..kwwpowwopwwk..",
    "..kwwwwwwwwwwk..",
    "..kvvvvvvvvvvk..",
    "..kkkkkkkkkkkk..",
    "................",
]


def make_glyph_pixels(path, rows, palette):
    im = RGBA(16, 16)
    im.pixel_art(rows, palette)
    im.save(path)


def make_eye(path):
    im = RGBA(16, 16)
    cx, cy = 8.0, 8.0
    a, b = 7.3, 4.6
    R = (a * a + b * b) / (2 * b)
    off = R - b

    def almond(x, y, shrink=0.0):
        r = R - shrink
        return (math.hypot(x - cx, y - (cy + off)) <= r and
                math.hypot(x - cx, y - (cy - off)) <= r)

    im.fill(lambda x, y: almond(x, y), lambda x, y: (*hexrgb("2b3a52")[:3], 1.0), ss=6)
    im.fill(lambda x, y: almond(x, y, 1.15), lambda x, y: (1.0, 1.0, 1.0, 1.0), ss=6)

    def iris_col(x, y):
        c = lerp3((0.30, 0.62, 0.95), (0.10, 0.32, 0.70), (y - 4.5) / 7.0)
        return (c[0], c[1], c[2], 1.0)

    im.fill(lambda x, y: math.hypot(x - cx, y - cy) <= 3.55 and almond(x, y, 1.0), iris_col, ss=6)
    im.fill(lambda x, y: math.hypot(x - cx, y - cy) <= 1.6, lambda x, y: (0.05, 0.08, 0.16, 1.0), ss=6)
    im.fill(lambda x, y: math.hypot(x - 6.9, y - 6.9) <= 0.85, lambda x, y: (1.0, 1.0, 1.0, 0.95), ss=6)
    im.save(path)


def make_find(path):
    # The search button's glyph is one row shorter than the others: 16 x 15.
    im = RGBA(16, 15)
    cx, cy, r = 6.5, 6.0, 4.6
    # handle (drawn first so the rim sits on top)
    im.fill(lambda x, y: seg_dist(x, y, cx + 3.0, cy + 3.0, cx + 7.4, cy + 7.4) <= 1.55,
            lambda x, y: (*hexrgb("2e3a4d")[:3], 1.0), ss=6)
    im.fill(lambda x, y: seg_dist(x, y, cx + 4.1, cy + 4.1, cx + 6.8, cy + 6.8) <= 0.5,
            lambda x, y: (*hexrgb("6d7f98")[:3], 1.0), ss=6)
    # glass
    def glass(x, y):
        t = ((x - cx) + (y - cy)) / (2 * r) + 0.5
        c = lerp3((0.88, 0.95, 1.0), (0.62, 0.80, 0.96), t)
        return (c[0], c[1], c[2], 0.92)
    im.fill(lambda x, y: math.hypot(x - cx, y - cy) <= r, glass, ss=6)
    # rim
    im.fill(lambda x, y: r - 1.45 <= math.hypot(x - cx, y - cy) <= r + 0.25,
            lambda x, y: (*hexrgb("3b4a60")[:3], 1.0), ss=6)
    # glint
    im.fill(lambda x, y: math.hypot(x - cx, y - cy) <= r - 2.0 and
            abs(math.atan2(y - cy, x - cx) + 2.36) < 0.55 and math.hypot(x - cx, y - cy) >= 1.4,
            lambda x, y: (1.0, 1.0, 1.0, 0.95), ss=6)
    im.save(path)


# ---------------------------------------------------------------------------

# The desktop's icon theme wants the window icon at the sizes menus and launchers ask for;
# the 64-pixel drawing is the largest bitmap, the smaller ones are filtered down from it, and
# larger sizes are drawn from the scalable one.
THEME_ICON_SIZES = (16, 22, 24, 32, 48, 64)


def make_theme_icons(root):
    make_scalable_icon(os.path.join(root, "packaging/icons/scalable/feylume.svg"))
    source = os.path.join(root, "main/images/feylume.png")
    for size in THEME_ICON_SIZES:
        folder = os.path.join(root, "packaging/icons/%dx%d" % (size, size))
        os.makedirs(folder, exist_ok=True)
        target = os.path.join(folder, "feylume.png")
        if size == 64:
            with open(source, "rb") as src, open(target, "wb") as dst:
                dst.write(src.read())
            continue
        subprocess.run(["convert", source, "-filter", "Lanczos", "-resize", "%dx%d" % (size, size),
                        "-strip", "-define", "png:exclude-chunks=date,time", "PNG32:" + target],
                       check=True)


def main(argv):
    root = os.path.abspath(argv[1] if len(argv) > 1 else
                           os.path.join(os.path.dirname(__file__), "..", ".."))
    only = set(argv[2:])
    jobs = [
        ("splash", lambda: make_splash(os.path.join(root, "app/images/splash.png"))),
        ("header", lambda: make_header(os.path.join(root, "main/images/header.png"))),
        ("icon", lambda: make_icon(os.path.join(root, "main/images/feylume.png"))),
        ("glyphs", lambda: (
            make_glyph_pixels(os.path.join(root, "main/images/glyph-plus.png"), GLYPH_PLUS, BOX_PALETTE),
            make_glyph_pixels(os.path.join(root, "main/images/glyph-minus.png"), GLYPH_MINUS, BOX_PALETTE),
            make_glyph_pixels(os.path.join(root, "main/images/glyph-html.png"), GLYPH_HTML, HTML_PALETTE),
            make_eye(os.path.join(root, "main/images/glyph-eye.png")),
            make_find(os.path.join(root, "main/images/glyph-find.png")),
        )),
        ("theme-icons", lambda: make_theme_icons(root)),
        ("about", lambda: make_about(os.path.join(root, "dialogs/images/about.png"))),
    ]
    for name, job in jobs:
        if only and name not in only:
            continue
        job()
        print("made", name)


if __name__ == "__main__":
    main(sys.argv)
