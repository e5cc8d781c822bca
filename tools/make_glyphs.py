#!/usr/bin/env python3
"""Draws the toolbar glyphs of the main window as 20x20 XPM images, each in a
normal and a disabled (grey) state, into src/app/ui/glyphs/.

Run it after changing a drawing; the XPM files are committed."""
import os

SIZE = 20
PALETTE = {  # key: (normal colour, disabled colour)
    '.': ('None', 'None'),
    'k': ('#202020', '#A0A0A0'),
    'w': ('#FFFFFF', '#E8E8E8'),
    'g': ('#B0B0B0', '#D0D0D0'),
    'd': ('#606060', '#B8B8B8'),
    'y': ('#F0C040', '#D8D8D8'),
    'b': ('#2060C0', '#B0B0B0'),
    'r': ('#D02020', '#B4B4B4'),
    'n': ('#20A040', '#B4B4B4'),
    'o': ('#8B5A2B', '#B0B0B0'),
}


class Canvas:
    def __init__(self):
        self.px = [['.'] * SIZE for _ in range(SIZE)]

    def dot(self, x, y, c):
        if 0 <= x < SIZE and 0 <= y < SIZE:
            self.px[y][x] = c

    def rect(self, x0, y0, x1, y1, fill=None, edge='k'):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                border = x in (x0, x1) or y in (y0, y1)
                if border and edge:
                    self.dot(x, y, edge)
                elif fill:
                    self.dot(x, y, fill)

    def line(self, x0, y0, x1, y1, c, width=1):
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
        err = dx + dy
        while True:
            for w in range(width):
                self.dot(x0 + w, y0, c)
            if (x0, y0) == (x1, y1):
                break
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy

    def ring(self, cx, cy, r, c):
        for y in range(SIZE):
            for x in range(SIZE):
                d = ((x - cx) ** 2 + (y - cy) ** 2) ** 0.5
                if r - 0.6 <= d <= r + 0.6:
                    self.dot(x, y, c)

    def arrow(self, x, y0, y1, c, down=True):
        self.rect(x - 1, min(y0, y1), x + 1, max(y0, y1), c, c)
        tip = y1 if down else y1
        step = 1 if down else -1
        for i in range(4):
            self.line(x - 3 + i, tip - step * (3 - i), x + 3 - i, tip - step * (3 - i), c)


def page(c):
    c.rect(4, 2, 15, 17, 'w')
    c.line(12, 2, 15, 5, 'k')
    for y in range(2, 5):
        for x in range(y + 10, 16):
            c.dot(x, y, '.')


def glyph_new(c):
    page(c)


def glyph_save(c):
    c.rect(2, 2, 17, 17, 'b')
    c.rect(5, 2, 14, 8, 'w')
    c.rect(6, 12, 13, 17, 'g')
    c.rect(10, 13, 11, 16, 'd', 'd')


def glyph_open(c):
    c.rect(2, 5, 8, 7, 'y')
    c.rect(2, 7, 16, 16, 'y')
    c.line(5, 10, 18, 10, 'k')
    c.line(5, 10, 2, 16, 'k')
    c.line(18, 10, 16, 16, 'k')


def glyph_print(c):
    c.rect(5, 2, 14, 8, 'w')
    c.rect(2, 7, 17, 14, 'g')
    c.rect(5, 12, 14, 17, 'w')
    c.line(7, 14, 12, 14, 'd')
    c.dot(15, 9, 'n')


def glyph_sort(c):
    for i, length in enumerate((11, 8, 5, 3)):
        c.rect(2, 3 + 4 * i, 2 + length, 4 + 4 * i, 'k', 'k')
    c.arrow(15, 3, 17, 'b')


def glyph_del(c):
    c.line(4, 4, 15, 15, 'r', 2)
    c.line(15, 4, 4, 15, 'r', 2)


def glyph_clear(c):
    c.line(14, 2, 9, 11, 'o', 2)
    c.rect(4, 11, 13, 13, 'd', 'k')
    for x in range(4, 14, 2):
        c.line(x, 14, x - 2, 18, 'y')


def glyph_find(c):
    c.ring(8, 8, 5, 'k')
    c.ring(8, 8, 4, 'g')
    c.line(12, 12, 17, 17, 'k', 2)


def tray(c):
    c.line(2, 13, 2, 17, 'k')
    c.line(17, 13, 17, 17, 'k')
    c.line(2, 17, 17, 17, 'k')


def glyph_import(c):
    tray(c)
    c.arrow(9, 1, 14, 'n', down=True)


def glyph_export(c):
    tray(c)
    c.arrow(9, 14, 1, 'b', down=False)


def glyph_plan(c):
    c.rect(1, 1, 18, 18, 'w')
    for x, y in ((4, 12), (7, 6), (9, 14), (12, 10), (5, 8)):
        c.rect(x, y, x + 1, y + 1, 'b', 'b')
    c.rect(13, 14, 15, 16, 'r', 'r')
    c.line(15, 3, 15, 9, 'k')
    c.line(15, 3, 13, 5, 'k')
    c.line(15, 3, 17, 5, 'k')


def glyph_fit(c):
    for x, y, dx, dy in ((1, 1, 1, 1), (18, 1, -1, 1), (1, 18, 1, -1), (18, 18, -1, -1)):
        c.line(x, y, x + 4 * dx, y, 'k')
        c.line(x, y, x, y + 4 * dy, 'k')
    for x, y in ((6, 7), (11, 5), (8, 12), (12, 11)):
        c.rect(x, y, x + 1, y + 1, 'b', 'b')


def glyph_codes(c):
    c.rect(2, 3, 4, 5, 'b', 'b')
    c.rect(6, 6, 18, 15, 'y')
    c.line(8, 9, 16, 9, 'k')
    c.line(8, 12, 13, 12, 'k')


GLYPHS = {
    'new': glyph_new, 'save': glyph_save, 'open': glyph_open, 'print': glyph_print,
    'sort': glyph_sort, 'del': glyph_del, 'clear': glyph_clear, 'find': glyph_find,
    'import': glyph_import, 'export': glyph_export, 'plan': glyph_plan, 'fit': glyph_fit,
    'codes': glyph_codes,
}


def xpm(name, pixels, state):
    used = sorted({p for row in pixels for p in row})
    lines = [f'/* XPM */', f'static const char *{name}_{state}[] = {{',
             f'"{SIZE} {SIZE} {len(used)} 1",']
    for key in used:
        colour = PALETTE[key][0 if state == 'normal' else 1]
        lines.append(f'"{key} c {colour}",')
    lines += [f'"{"".join(row)}",' for row in pixels]
    lines[-1] = lines[-1].rstrip(',')
    lines.append('};')
    return '\n'.join(lines) + '\n'


def main():
    out = os.path.join(os.path.dirname(__file__), '..', 'src', 'app', 'ui', 'glyphs')
    os.makedirs(out, exist_ok=True)
    for name, draw in GLYPHS.items():
        canvas = Canvas()
        draw(canvas)
        for state in ('normal', 'disabled'):
            with open(os.path.join(out, f'{name}_{state}.xpm'), 'w') as f:
                f.write(xpm(name, canvas.px, state))


if __name__ == '__main__':
    main()
