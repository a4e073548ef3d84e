#!/usr/bin/env python3
"""Design data of the default style kit's command icons.

Each icon is drawn here from a few primitives (bands along polylines, discs, rings, arcs) in
fractions of its frame, and written out as the point tables of drawing/Lumora_StyleKit_IconData.cpp,
rounded to five decimals. Run it after changing a figure:

    python3 drawing/design/command_icons.py > drawing/Lumora_StyleKit_IconData.cpp
"""

import math

K = 0.5522847498307936  # cubic control distance of a quarter circle, per unit radius


class Sub:
    """One subpath: a list of ('M', p) ('L', p) ('C', end, c1, c2) ('Z',)."""

    def __init__(self):
        self.cmds = []

    def move(self, p):
        self.cmds.append(('M', p))
        return self

    def line(self, p):
        self.cmds.append(('L', p))
        return self

    def curve(self, end, c1, c2):
        self.cmds.append(('C', end, c1, c2))
        return self

    def close(self):
        self.cmds.append(('Z',))
        return self

    def current(self):
        for c in reversed(self.cmds):
            if c[0] in 'ML':
                return c[1]
            if c[0] == 'C':
                return c[1]
        return None

    def arc(self, center, rx, ry, a0, a1):
        """Elliptical arc from angle a0 to a1 (degrees, growing = clockwise on screen)."""
        cx, cy = center
        start = (cx + rx * math.cos(math.radians(a0)), cy + ry * math.sin(math.radians(a0)))
        if not self.cmds:
            self.move(start)
        else:
            cur = self.current()
            if cur is None or abs(cur[0] - start[0]) > 1e-9 or abs(cur[1] - start[1]) > 1e-9:
                self.line(start)
        n = max(1, math.ceil(abs(a1 - a0) / 90 - 1e-9))
        step = (a1 - a0) / n
        for i in range(n):
            t0 = math.radians(a0 + i * step)
            t1 = math.radians(a0 + (i + 1) * step)
            k = 4 / 3 * math.tan((t1 - t0) / 4)
            p3 = (cx + rx * math.cos(t1), cy + ry * math.sin(t1))
            c1 = (cx + rx * (math.cos(t0) - k * math.sin(t0)), cy + ry * (math.sin(t0) + k * math.cos(t0)))
            c2 = (cx + rx * (math.cos(t1) + k * math.sin(t1)), cy + ry * (math.sin(t1) - k * math.cos(t1)))
            self.curve(p3, c1, c2)
        return self

    def reversed(self):
        """The same closed outline traced the other way round."""
        pts = []  # segments as (start, kind, data, end)
        cur = None
        start = None
        segs = []
        for c in self.cmds:
            if c[0] == 'M':
                cur = start = c[1]
            elif c[0] == 'L':
                segs.append(('L', cur, c[1], None))
                cur = c[1]
            elif c[0] == 'C':
                segs.append(('C', cur, c[1], (c[2], c[3])))
                cur = c[1]
        out = Sub()
        out.move(cur if cur != start else start)
        # Trace back: each segment from its end to its start.
        first = True
        out = Sub()
        out.move(segs[-1][2])
        for kind, a, b, ctrl in reversed(segs):
            if kind == 'L':
                out.line(a)
            else:
                out.curve(a, ctrl[1], ctrl[0])
        out.close()
        return out


def polygon(points, reverse=False):
    pts = list(reversed(points)) if reverse else points
    s = Sub().move(pts[0])
    for p in pts[1:]:
        s.line(p)
    return s.close()


def rect(x0, y0, x1, y1, reverse=False):
    return polygon([(x0, y0), (x1, y0), (x1, y1), (x0, y1)], reverse)


def circle(cx, cy, r, reverse=False, ry=None):
    ry = r if ry is None else ry
    s = Sub()
    if reverse:
        s.arc((cx, cy), r, ry, 360, 0)
    else:
        s.arc((cx, cy), r, ry, 0, 360)
    return s.close()


def rounded_rect(x0, y0, x1, y1, r, reverse=False):
    s = Sub().move((x0 + r, y0)).line((x1 - r, y0))
    s.arc((x1 - r, y0 + r), r, r, 270, 360).line((x1, y1 - r))
    s.arc((x1 - r, y1 - r), r, r, 0, 90).line((x0 + r, y1))
    s.arc((x0 + r, y1 - r), r, r, 90, 180).line((x0, y0 + r))
    s.arc((x0 + r, y0 + r), r, r, 180, 270).close()
    return s.reversed() if reverse else s


def _sub(a, b):
    return (a[0] - b[0], a[1] - b[1])


def _add(a, b):
    return (a[0] + b[0], a[1] + b[1])


def _mul(a, k):
    return (a[0] * k, a[1] * k)


def _unit(v):
    length = math.hypot(v[0], v[1])
    return (v[0] / length, v[1] / length)


def _normal(u):
    # The left-hand normal on a y-down screen when walking along u: for u pointing right it points up.
    return (u[1], -u[0])


def _line_intersection(p, u, q, v):
    det = u[0] * (-v[1]) - u[1] * (-v[0])
    if abs(det) < 1e-12:
        return None
    d = _sub(q, p)
    t = (d[0] * (-v[1]) - d[1] * (-v[0])) / det
    return _add(p, _mul(u, t))


def _offset_side(points, d, closed=False, miter_limit=2.0):
    """Offset polyline by distance d along the left normal, with mitred corners."""
    n = len(points)
    out = []
    segs = [(points[i], points[(i + 1) % n]) for i in range(n if closed else n - 1)]
    dirs = [_unit(_sub(b, a)) for a, b in segs]
    for i in range(n):
        if not closed and i == 0:
            out.append(_add(points[0], _mul(_normal(dirs[0]), d)))
        elif not closed and i == n - 1:
            out.append(_add(points[-1], _mul(_normal(dirs[-1]), d)))
        else:
            u_in = dirs[i - 1]
            u_out = dirs[i % len(dirs)]
            p_in = _add(points[i], _mul(_normal(u_in), d))
            p_out = _add(points[i], _mul(_normal(u_out), d))
            x = _line_intersection(p_in, u_in, p_out, u_out)
            if x is None:
                out.append(p_in)
                continue
            # Sharp outer corners are bevelled: a mitre longer than twice the offset would poke
            # far out of the figure.
            bisector = _mul(_add(_normal(u_in), _normal(u_out)), d)
            turn = _sub(u_out, u_in)
            outer = bisector[0] * turn[0] + bisector[1] * turn[1] < 0
            if outer and math.hypot(*_sub(x, points[i])) > miter_limit * abs(d):
                out.append(p_in)
                out.append(p_out)
            else:
                out.append(x)
    return out


def band(points, width, miter_limit=2.0):
    """A thick open polyline as one closed outline (butt ends, mitred corners)."""
    left = _offset_side(points, width / 2, miter_limit=miter_limit)
    right = _offset_side(points, -width / 2, miter_limit=miter_limit)
    return polygon(left + list(reversed(right)))


def ring_polygon(points, width):
    """A closed polyline as a band: outer outline and inner outline wound against it."""
    # Points run clockwise on screen; the left normal then points outwards.
    outer = _offset_side(points, width / 2, closed=True)
    inner = _offset_side(points, -width / 2, closed=True)
    return [polygon(outer), polygon(inner, reverse=True)]


def arc_band(cx, cy, r, width, a0, a1):
    """A thick circular arc from a0 clockwise to a1 (degrees), square ends."""
    ro, ri = r + width / 2, r - width / 2
    s = Sub()
    s.arc((cx, cy), ro, ro, a0, a1)
    s.arc((cx, cy), ri, ri, a1, a0)
    return s.close()


def plus(cx, cy, arm, thickness):
    h = thickness / 2
    return polygon([
        (cx - h, cy - arm), (cx + h, cy - arm), (cx + h, cy - h), (cx + arm, cy - h),
        (cx + arm, cy + h), (cx + h, cy + h), (cx + h, cy + arm), (cx - h, cy + arm),
        (cx - h, cy + h), (cx - arm, cy + h), (cx - arm, cy - h), (cx - h, cy - h),
    ])


def cross(cx, cy, arm, thickness):
    """An X: the plus sign turned by 45 degrees."""
    p = plus(0, 0, arm * math.sqrt(2), thickness)
    c = math.cos(math.radians(45))
    out = Sub()
    for cmd in p.cmds:
        if cmd[0] == 'Z':
            out.close()
            continue
        x, y = cmd[1]
        q = (cx + c * x - c * y, cy + c * x + c * y)
        (out.move if cmd[0] == 'M' else out.line)(q)
    return out


def transform(sub, f):
    out = Sub()
    for cmd in sub.cmds:
        if cmd[0] == 'Z':
            out.close()
        elif cmd[0] == 'C':
            out.curve(f(cmd[1]), f(cmd[2]), f(cmd[3]))
        else:
            (out.move if cmd[0] == 'M' else out.line)(f(cmd[1]))
    return out


# ----- the icons -------------------------------------------------------------------------------

B = 0.06  # the usual band thickness


def new_file():
    sheet = band([(0.40, 0.93), (0.14, 0.93), (0.14, 0.12), (0.56, 0.12), (0.56, 0.30), (0.74, 0.30),
                  (0.74, 0.58)], B)
    t = 0.035
    n = band([(0.46, 0.94), (0.46, 0.69), (0.56, 0.94), (0.56, 0.69)], t)
    e = polygon([(0.595, 0.6725), (0.695, 0.6725), (0.695, 0.7075), (0.63, 0.7075), (0.63, 0.79),
                 (0.685, 0.79), (0.685, 0.825), (0.63, 0.825), (0.63, 0.9225), (0.695, 0.9225),
                 (0.695, 0.9575), (0.595, 0.9575)])
    w = band([(0.725, 0.69), (0.76, 0.94), (0.8, 0.75), (0.84, 0.94), (0.875, 0.69)], t)
    return [('fill', [sheet, n, e, w])]


def save_file():
    sheet = band([(0.50, 0.94), (0.17, 0.94), (0.17, 0.09), (0.58, 0.09), (0.58, 0.28), (0.77, 0.28),
                  (0.77, 0.56)], B)
    return [('fill', [sheet, plus(0.75, 0.77, 0.13, B)])]


def new_folder():
    folder = band([(0.86, 0.62), (0.86, 0.42), (0.46, 0.42), (0.41, 0.32), (0.08, 0.32), (0.08, 0.88),
                   (0.62, 0.88)], B)
    return [('fill', [folder, plus(0.84, 0.84, 0.13, B)])]


def rename():
    tip = (0.30, 0.80)
    end = (0.82, 0.28)
    u = _unit(_sub(end, tip))
    n = _normal(u)
    hw = 0.06
    tip_len = 0.13
    gap = 0.025
    base = _add(tip, _mul(u, tip_len))
    body_start = _add(tip, _mul(u, tip_len + gap))
    point = polygon([tip, _add(base, _mul(n, -hw)), _add(base, _mul(n, hw))])
    body = polygon([_add(body_start, _mul(n, hw)), _add(body_start, _mul(n, -hw)),
                    _add(end, _mul(n, -hw)), _add(end, _mul(n, hw))])
    bar = rect(0.15, 0.84, 0.27, 0.89)
    return [('fill', [body, point, bar])]


CHEVRON = band([(0.68, 0.31), (0.30, 0.505), (0.68, 0.70)], B, miter_limit=3)


def go_back():
    return [('fill', [CHEVRON])]


def go_forward():
    return [('fill', [transform(CHEVRON, lambda p: (1.02 - p[0], p[1])).reversed()])]


def settings():
    cx = cy = 0.51
    r_top, r_root = 0.44, 0.33
    teeth = 8
    pts = []
    for i in range(teeth):
        a = 360 / teeth * i - 90
        half_top, half_root = 9.0, 14.0
        for ang, r in ((a - half_root - 4, r_root), (a - half_top, r_top), (a + half_top, r_top),
                       (a + half_root + 4, r_root)):
            pts.append((cx + r * math.cos(math.radians(ang)), cy + r * math.sin(math.radians(ang))))
    return [('fill', [polygon(pts), circle(cx, cy, 0.14, reverse=True)])]


PIN_PLACES = [(0.5, 0.2)] + [(0.5 + 0.3 * math.cos(math.radians(a)), 0.5 + 0.3 * math.sin(math.radians(a)))
                             for a in (-135, -45, 180, 0)]


def midi_plain():
    # The connector's disc with a notch in the middle of its bottom edge, in the inner rectangle.
    half = 0.08
    depth = 0.1
    a = math.degrees(math.asin(half / 0.5))
    s = Sub()
    s.arc((0.5, 0.5), 0.5, 0.5, 90 + a, 90 - a + 360)
    y_edge = 0.5 + 0.5 * math.cos(math.radians(a))
    s.line((0.5 + half, y_edge - depth)).line((0.5 - half, y_edge - depth)).close()
    pins = [circle(x, y, 0.065, reverse=True) for x, y in PIN_PLACES]
    return [('fill', [s] + pins)]


def midi_selected():
    ring = [circle(0.5, 0.5, 0.5), circle(0.5, 0.5, 0.457, reverse=True)]
    dots = [circle(x, y, 0.065) for x, y in PIN_PLACES]
    return [('fill', ring), ('fill', dots + [rect(0.42115, 0.84504, 0.57885, 0.97917)])]


def arpeggio():
    stems = [0.22, 0.42, 0.62, 0.82]
    sw = 0.06
    heads_y = [0.835, 0.78, 0.725, 0.67]
    rx, ry = 0.10, 0.075
    x_left, x_right = stems[0], stems[-1] + sw
    y_left, y_right = 0.25, 0.09
    bt = 0.09

    def beam_top(x):
        return y_left + (y_right - y_left) * (x - x_left) / (x_right - x_left)

    s = Sub().move((x_left, beam_top(x_left))).line((x_right, beam_top(x_right)))
    for i in reversed(range(4)):
        sx = stems[i]
        if i != 3:
            s.line((sx + sw, beam_top(sx + sw) + bt))
        hx = sx + sw - rx
        hy = heads_y[i]
        s.line((sx + sw, hy))
        # Around the head from its right point, under it and over its top to the stem's left edge.
        cos_end = (sx - hx) / rx
        end_angle = 360 - math.degrees(math.acos(cos_end))
        s.arc((hx, hy), rx, ry, 0, end_angle)
        if i != 0:
            s.line((sx, beam_top(sx) + bt))
    s.close()
    return [('fill', [s])]


def close_icon():
    a = Sub().move((0.31, 0.31)).curve((0.71, 0.71), (0.43, 0.41), (0.59, 0.61))
    b = Sub().move((0.71, 0.31)).curve((0.31, 0.71), (0.61, 0.43), (0.41, 0.59))
    return [('stroke 2', [a]), ('stroke 2', [b])]


def tempo():
    body = (Sub().move((0.17436, 0.89507)).line((0.36264, 0.10493)).line((0.64044, 0.10493))
            .line((0.82564, 0.89133)).line((0.17436, 0.89507)).close())
    pendulum = (Sub().move((0.50877, 0.70374))
                .curve((0.39809, 0.30462), (0.49123, 0.70374), (0.39809, 0.30462)).line((0.39809, 0.30462)))
    base = (Sub().move((0.16559, 0.90384)).line((0.21197, 0.70614)).line((0.76898, 0.70614))
            .line((0.81687, 0.90291)).line((0.16559, 0.90384)).close())
    cap = (Sub().move((0.33621, 0.22102)).line((0.35543, 0.11171)).line((0.62572, 0.11171))
           .line((0.64694, 0.22102)).line((0.33621, 0.22102)).close())
    return [('stroke 2', [body, pendulum]), ('fill stroke 1', [base, cap])]


def send():
    tray = band([(0.20, 0.55), (0.20, 0.88), (0.82, 0.88), (0.82, 0.55)], B)
    arrow = polygon([(0.51, 0.11), (0.66, 0.27), (0.54, 0.27), (0.54, 0.70), (0.48, 0.70), (0.48, 0.27),
                     (0.36, 0.27)])
    return [('fill', [tray, arrow])]


def delete():
    outer = polygon([(0.25, 0.34), (0.77, 0.34), (0.73, 0.93), (0.29, 0.93)])
    inner = polygon([(0.31, 0.40), (0.71, 0.40), (0.675, 0.87), (0.345, 0.87)])
    lid = polygon([(0.19, 0.25), (0.40, 0.25), (0.40, 0.19), (0.62, 0.19), (0.62, 0.25), (0.83, 0.25),
                   (0.83, 0.30), (0.19, 0.30)])
    slots = [rect(x, 0.47, x + 0.035, 0.80) for x in (0.3825, 0.4925, 0.6025)]
    return [('fill evenodd', [outer, inner]), ('fill', slots + [lid])]


def alt_parts(reverse):
    bent = band([(0.17, 0.24), (0.38, 0.24), (0.62, 0.78), (0.85, 0.78)], B)
    bar = rect(0.55, 0.21, 0.85, 0.27)
    if reverse:
        return [bent.reversed(), bar.reversed()]
    return [bent, bar]


def alt_plain():
    return [('fill', alt_parts(False))]


def alt_selected():
    return [('fill', [rounded_rect(0.089, 0.089, 0.928, 0.928, 0.12)] + alt_parts(True))]


def home():
    house = band([(0.40, 0.84), (0.19, 0.84), (0.19, 0.50), (0.51, 0.17), (0.83, 0.50), (0.83, 0.84),
                  (0.62, 0.84)], B)
    door = band([(0.43, 0.87), (0.43, 0.60), (0.59, 0.60), (0.59, 0.87)], B)
    return [('fill', [house, door])]


def tune():
    s = Sub().move((0.40, 0.18))
    s.arc((0.425, 0.18), 0.025, 0.025, 180, 360)
    s.line((0.45, 0.50))
    s.curve((0.57, 0.50), (0.45, 0.58), (0.57, 0.58))
    s.line((0.57, 0.18))
    s.arc((0.595, 0.18), 0.025, 0.025, 180, 360)
    s.line((0.62, 0.50))
    s.curve((0.535, 0.66), (0.62, 0.60), (0.575, 0.65))
    s.line((0.535, 0.835))
    s.arc((0.51, 0.835), 0.025, 0.025, 0, 180)
    s.line((0.485, 0.66))
    s.curve((0.40, 0.50), (0.445, 0.65), (0.40, 0.60))
    s.close()
    return [('fill', [s])]


REAR_SHEET = band([(0.13, 0.66), (0.13, 0.10), (0.58, 0.10), (0.58, 0.26)], B)


def copy():
    outer = [(0.32, 0.30), (0.90, 0.30), (0.90, 0.80), (0.74, 0.96), (0.32, 0.96)]
    centre = [(0.35, 0.33), (0.87, 0.33), (0.87, 0.787574), (0.727574, 0.93), (0.35, 0.93)]
    return [('fill', [REAR_SHEET] + ring_polygon(centre, B) + [plus(0.61, 0.62, 0.13, B)])]


def paste():
    front = band([(0.35, 0.53), (0.35, 0.33), (0.87, 0.33), (0.87, 0.787574), (0.727574, 0.93), (0.35, 0.93),
                  (0.35, 0.73)], B)
    arrow = polygon([(0.22, 0.60), (0.55, 0.60), (0.55, 0.52), (0.70, 0.63), (0.55, 0.74), (0.55, 0.66),
                     (0.22, 0.66)])
    return [('fill', [REAR_SHEET, front, arrow])]


def recall():
    cx, cy = 0.52, 0.54
    ro, ri = 0.31, 0.24
    s = Sub().move((0.21, 0.86)).line((0.21, cy))
    s.arc((cx, cy), ro, ro, 180, 360)
    s.line((0.83, 0.68)).line((0.90, 0.68)).line((0.795, 0.86)).line((0.69, 0.68)).line((0.76, 0.68))
    s.line((0.76, cy))
    s.arc((cx, cy), ri, ri, 360, 180)
    s.line((0.28, 0.86)).close()
    return [('fill evenodd', [s])]


def shaper():
    dots = [(0.20, 0.69), (0.51, 0.33), (0.82, 0.51)]
    r, h = 0.06, 0.018
    t = math.sqrt(r * r - h * h)
    bands = []
    for a, b in zip(dots, dots[1:]):
        u = _unit(_sub(b, a))
        n = _normal(u)
        up_a = _add(_add(a, _mul(n, h)), _mul(u, t))
        up_b = _add(_add(b, _mul(n, h)), _mul(u, -t))
        lo_a = _add(_add(a, _mul(n, -h)), _mul(u, t))
        lo_b = _add(_add(b, _mul(n, -h)), _mul(u, -t))
        bands.append((up_a, up_b, lo_a, lo_b))

    def angle(c, p):
        return math.degrees(math.atan2(p[1] - c[1], p[0] - c[0]))

    def arc_to(s, c, p_from, p_to):
        a0, a1 = angle(c, p_from), angle(c, p_to)
        while a1 <= a0:
            a1 += 360
        s.arc(c, r, r, a0, a1)

    (u1a, u1b, l1a, l1b), (u2a, u2b, l2a, l2b) = bands
    s = Sub().move(u1a).line(u1b)
    arc_to(s, dots[1], u1b, u2a)
    s.line(u2b)
    arc_to(s, dots[2], u2b, l2b)
    s.line(l2a)
    arc_to(s, dots[1], l2a, l1b)
    s.line(l1a)
    arc_to(s, dots[0], l1a, u1a)
    s.close()
    return [('fill evenodd', [s])]


SPEAKER = polygon([(0.07, 0.36), (0.24, 0.36), (0.50, 0.10), (0.50, 0.90), (0.24, 0.64), (0.07, 0.64)])


def sound_off():
    return [('fill', [SPEAKER, cross(0.72, 0.50, 0.12, B)])]


def sound_on():
    return [('fill', [SPEAKER, arc_band(0.50, 0.50, 0.17, B, -45, 45), arc_band(0.50, 0.50, 0.32, B, -45, 45)])]


def duplicate():
    rear = Sub().move((0.16, 0.60)).line((0.10, 0.60)).line((0.10, 0.17))
    rear.arc((0.16, 0.17), 0.06, 0.06, 180, 270)
    rear.line((0.63, 0.11)).line((0.63, 0.31)).line((0.57, 0.31)).line((0.57, 0.17)).line((0.16, 0.17))
    rear.line((0.16, 0.60)).close()
    outer = rounded_rect(0.34, 0.34, 0.90, 0.89, 0.06)
    inner = rect(0.40, 0.40, 0.84, 0.83, reverse=True)
    return [('fill', [rear, outer, inner, plus(0.62, 0.615, 0.12, B)])]


MOVE_TIP = (0.56351, 0.75421)


def move_figure():
    folder = band([(0.40, 0.45), (0.35, 0.36), (0.0944, 0.36), (0.0944, 0.9393), (0.9233, 0.9393), (0.9233, 0.45),
                   (0.80, 0.45)], B)
    cx = MOVE_TIP[0]
    arrow = polygon([MOVE_TIP, (cx - 0.125, 0.56), (cx - 0.03, 0.56), (cx - 0.03, 0.15105),
                     (cx + 0.03, 0.15105), (cx + 0.03, 0.56), (cx + 0.125, 0.56)])
    return [('fill', [folder, arrow])]


def common_param():
    ring = arc_band(0.5, 0.5, 0.385, 0.07, 295, 605)
    bar = rect(0.465, 0.08, 0.535, 0.50)
    return [('fill', [ring, bar])]


ICONS = [
    ('NewFile', new_file), ('SaveFile', save_file), ('NewFolder', new_folder), ('Rename', rename),
    ('GoBack', go_back), ('GoForward', go_forward), ('Settings', settings), ('MIDI', midi_plain),
    ('MIDISelected', midi_selected), ('Arpeggio', arpeggio), ('Close', close_icon), ('Tempo', tempo),
    ('Send', send), ('Delete', delete), ('Alt', alt_plain), ('AltSelected', alt_selected), ('Home', home),
    ('Tune', tune), ('Copy', copy), ('Paste', paste), ('Recall', recall), ('Shaper', shaper),
    ('SoundOff', sound_off), ('SoundOn', sound_on), ('Duplicate', duplicate), ('Move', move_figure),
    ('CommonParam', common_param),
]


def fmt(v):
    s = f'{round(v, 5):.5f}'.rstrip('0').rstrip('.')
    if s in ('-0', ''):
        s = '0'
    return s


def emit():
    print('// Generated by drawing/design/command_icons.py: the design data of the command icons.')
    print('// Each table is a command stream: M x y, L x y, C x y c1x c1y c2x c2y (end point first), Z;')
    print('// every coordinate a fraction of the frame.')
    print()
    print('#include "drawing/Lumora_StyleKit_IconData.h"')
    print()
    print('namespace Lumora::StyleKitIcons {')
    print()
    print('namespace {')
    print()
    print('constexpr double M = IconCommand::Move;')
    print('constexpr double L = IconCommand::Line;')
    print('constexpr double C = IconCommand::Curve;')
    print('constexpr double Z = IconCommand::Close;')
    print()
    defs = []
    for name, make in ICONS:
        paths = make()
        path_defs = []
        for index, (paint, subs) in enumerate(paths):
            var = f'{name[0].lower()}{name[1:]}Path{index + 1}'
            tokens = []
            for sub in subs:
                for c in sub.cmds:
                    if c[0] == 'Z':
                        tokens.append('Z')
                    elif c[0] == 'C':
                        tokens.append('C, ' + ', '.join(fmt(v) for p in (c[1], c[2], c[3]) for v in p))
                    else:
                        tokens.append(f'{c[0]}, {fmt(c[1][0])}, {fmt(c[1][1])}')
            print(f'constexpr double {var}[] = {{')
            line = '   '
            for t in tokens:
                piece = ' ' + t + ','
                if len(line) + len(piece) > 110:
                    print(line)
                    line = '   '
                line += piece
            print(line)
            print('};')
            print()
            words = paint.split()
            kind = {'fill': 'IconPaint::Fill', 'stroke': 'IconPaint::Stroke'}[words[0]]
            if words[:2] == ['fill', 'evenodd']:
                kind = 'IconPaint::FillEvenOdd'
            elif words[:2] == ['fill', 'stroke']:
                kind = 'IconPaint::FillThenStroke'
            width = words[-1] if words[-1][0].isdigit() else '0'
            path_defs.append(f'{{{kind}, {width}, {var}, sizeof {var} / sizeof(double)}}')
        defs.append((name, path_defs))
    print('} // namespace')
    print()
    for name, path_defs in defs:
        print(f'IconFigure const icon{name}{{{{')
        for d in path_defs:
            print(f'    {d},')
        print(f'}}, {len(path_defs)}}};')
    print()
    print('} // namespace Lumora::StyleKitIcons')


if __name__ == '__main__':
    emit()
