#!/usr/bin/env python3
"""Reads a raster printer stream back into the dots it prints.

Written from the rules of the printer languages, not from the library's
encoder, so that the tests can compare what a printer would put on paper
with the picture that was drawn.

    printer_decode.py pcl|escp2|epson FILE [--pins24] [--units180]

Prints one line "dot NAME X Y" for every dot of a plane or ink NAME, then
"info" and a JSON object of what the commands set; "error" and the reason
when the stream breaks the language's rules.
  pcl:   planes p0, p1, ... in the order of a row's planes; x the dot in
         the row, y the row since the raster start.
  escp2: inks by colour number (0 black, 1 magenta, 2 cyan, 4 yellow);
         x and y in the units of ESC ( U.
  epson: inks by colour number; x the column since the carriage return,
         y in 1/1080 inch from the top.
"""
import json
import sys


class Stream:
    def __init__(self, data):
        self.data = data
        self.at = 0

    def more(self):
        return self.at < len(self.data)

    def byte(self):
        if self.at >= len(self.data):
            raise ValueError("stream ends inside a command")
        b = self.data[self.at]
        self.at += 1
        return b

    def take(self, n):
        if n < 0 or self.at + n > len(self.data):
            raise ValueError("stream ends inside data")
        out = self.data[self.at:self.at + n]
        self.at += n
        return out

    def word(self):
        lo = self.byte()
        return lo | self.byte() << 8


def packbits(data, size=None):
    out = bytearray()
    i = 0
    while i < len(data):
        k = data[i]
        i += 1
        if k < 128:
            out += data[i:i + k + 1]
            if i + k + 1 > len(data):
                raise ValueError("literal runs past the data")
            i += k + 1
        elif k > 128:
            if i >= len(data):
                raise ValueError("run without its byte")
            out += bytes([data[i]]) * (257 - k)
            i += 1
        if size is not None and len(out) >= size:
            break
    return bytes(out)


def run_length(data):
    if len(data) % 2:
        raise ValueError("odd mode 1 data")
    out = bytearray()
    for i in range(0, len(data), 2):
        out += bytes([data[i + 1]]) * (data[i] + 1)
    return bytes(out)


def set_bits(dots, row_bytes, x0, y, pitch=1):
    for k, b in enumerate(row_bytes):
        if b:
            for bit in range(8):
                if b & (0x80 >> bit):
                    dots.append([x0 + (8 * k + bit) * pitch, y])


def decode_pcl(data):
    s = Stream(data)
    info = {"resets": 0, "copies": None, "resolution": None, "width": None, "planes": 1,
            "cursor": [0, 0], "started": 0, "ended": 0, "modes": []}
    planes = {}
    row, plane, mode, seeds = 0, 0, 0, {}
    while s.more():
        b = s.byte()
        if b != 27:
            raise ValueError("byte %d outside a command" % b)
        c = s.byte()
        if 0x30 <= c <= 0x7E:  # two-character command
            if c == ord("E"):
                info["resets"] += 1
            continue
        group = chr(s.byte())
        while True:
            text = ""
            ch = chr(s.byte())
            while ch in "+-.0123456789":
                text += ch
                ch = chr(s.byte())
            value = float(text) if text not in ("", "+", "-") else 0.0
            final = ch.upper()
            key = chr(c) + group + final
            if key == "*bW" or key == "*bV":
                raw = s.take(int(value))
                if mode == 0:
                    bits = raw
                elif mode == 1:
                    bits = run_length(raw)
                elif mode == 2:
                    bits = packbits(raw)
                else:
                    raise ValueError("compression mode %d" % mode)
                set_bits(planes.setdefault("p%d" % plane, []), bits, 0, row)
                if final == "W":
                    row, plane = row + 1, 0
                else:
                    plane += 1
            elif key == "*bM":
                mode = int(value)
                info["modes"].append(mode)
            elif key == "*tR":
                info["resolution"] = int(value)
            elif key == "*rS":
                info["width"] = int(value)
            elif key == "*rU":
                info["planes"] = int(value)
            elif key == "*rA":
                info["started"] += 1
                row = 0
            elif key == "*rB":
                info["ended"] += 1
            elif key == "&lX":
                info["copies"] = int(value)
            elif key == "&aH":
                info["cursor"][0] = int(value)
            elif key == "&aV":
                info["cursor"][1] = int(value)
            if ch.isupper() or not ch.isalpha():
                break
    return planes, info


def decode_escp2(data):
    s = Stream(data)
    info = {"unit": None, "graphics": 0, "formfeeds": 0, "inits": 0}
    planes = {}
    x = y = 0
    colour = 0
    unit = 1
    while s.more():
        b = s.byte()
        if b == 13:
            x = 0
            continue
        if b == 12:
            info["formfeeds"] += 1
            continue
        if b != 27:
            raise ValueError("byte %d outside a command" % b)
        c = chr(s.byte())
        if c == "@":
            info["inits"] += 1
        elif c == "(":
            name = chr(s.byte())
            args = s.take(s.word())
            if name == "G":
                info["graphics"] = args[0]
            elif name == "U":
                unit = args[0]
                info["unit"] = unit
            elif name == "V":
                y = args[0] | args[1] << 8
            elif name == "v":
                step = args[0] | args[1] << 8
                y += step - 65536 if step >= 32768 else step
        elif c == "\\":
            step = s.word()
            x += step - 65536 if step >= 32768 else step
        elif c == "r":
            colour = s.byte()
        elif c == ".":
            comp, v, h, m = s.byte(), s.byte(), s.byte(), s.byte()
            dots = s.word()
            per_row = (dots + 7) // 8
            size = per_row * m
            if comp == 0:
                raw = s.take(size)
            elif comp == 1:
                raw = bytearray()
                while len(raw) < size:
                    k = s.byte()
                    if k < 128:
                        raw += s.take(k + 1)
                    elif k > 128:
                        raw += bytes([s.byte()]) * (257 - k)
                if len(raw) != size:
                    raise ValueError("compressed row does not end at its size")
            else:
                raise ValueError("compression %d" % comp)
            step_x, step_y = h // unit, v // unit
            for r in range(m):
                set_bits(planes.setdefault(str(colour), []), raw[r * per_row:(r + 1) * per_row], x, y + r * step_y,
                         step_x)
            x += dots * step_x
        else:
            raise ValueError("command ESC %r" % c)
    return planes, info


def decode_epson(data, pins24, units180):
    s = Stream(data)
    info = {"unidirectional": None, "formfeeds": 0, "feeds": [], "spacings": []}
    planes = {}
    unit = 6 if units180 else 5  # 1/1080 inch per 1/180 or 1/216
    spacing = 180  # 1/6 inch
    x = y = 0
    colour = 0
    while s.more():
        b = s.byte()
        if b == 13:
            x = 0
            continue
        if b == 10:
            y += spacing
            continue
        if b == 12:
            info["formfeeds"] += 1
            continue
        if b != 27:
            raise ValueError("byte %d outside a command" % b)
        c = chr(s.byte())
        columns, depth = None, 8
        if c == "U":
            info["unidirectional"] = s.byte()
        elif c == "J":
            n = s.byte()
            info["feeds"].append(n)
            y += n * unit
        elif c == "3":
            n = s.byte()
            info["spacings"].append(n)
            spacing = n * unit
        elif c == "2":
            spacing = 180
        elif c == "r":
            colour = s.byte()
        elif c in "KLYZ":
            columns = s.word()
        elif c == "*":
            m = s.byte()
            columns = s.word()
            depth = 24 if m >= 32 else 8
        elif c == "[":
            if chr(s.byte()) != "g":
                raise ValueError("ESC [ without g")
            count = s.word()
            s.byte()  # the mode byte is the first of the count
            depth = 24
            columns = None
            raw = s.take(count - 1)
            raw = raw + bytes((-len(raw)) % 3)
            put_columns(planes, colour, raw, 24, x, y)
            x += len(raw) // 3
        else:
            raise ValueError("command ESC %r" % c)
        if columns is not None:
            raw = s.take(columns * depth // 8)
            put_columns(planes, colour, raw, depth, x, y)
            x += columns
    return planes, info


def put_columns(planes, colour, raw, depth, x, y):
    per = depth // 8
    pitch = 6 if depth == 24 else 15  # pins 1/180 or 1/72 inch apart
    dots = planes.setdefault(str(colour), [])
    for col in range(len(raw) // per):
        for g in range(per):
            b = raw[col * per + g]
            for bit in range(8):
                if b & (0x80 >> bit):
                    dots.append([x + col, y + (8 * g + bit) * pitch])


def main():
    kind, name = sys.argv[1], sys.argv[2]
    with open(name, "rb") as f:
        data = f.read()
    try:
        if kind == "pcl":
            planes, info = decode_pcl(data)
        elif kind == "escp2":
            planes, info = decode_escp2(data)
        else:
            planes, info = decode_epson(data, "--pins24" in sys.argv, "--units180" in sys.argv)
    except ValueError as e:
        print("error", e)
        return 1
    lines = ["dot %s %d %d" % (name, x, y) for name, dots in planes.items() for x, y in dots]
    lines.append("info " + json.dumps(info))
    print("\n".join(lines))
    return 0


if __name__ == "__main__":
    sys.exit(main())
