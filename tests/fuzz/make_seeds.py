#!/usr/bin/env python3
"""Writes the hand-made seeds of tests/fuzz/corpus: texts for the text
parsers and small bitmaps, icons and cursors of every layout. The seeds that
need the project's own encoders come from fuzz_make_seeds (make_seeds.cpp)."""
import os
import re
import struct
import sys
import zlib

root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "corpus")
here = os.path.dirname(os.path.abspath(__file__))


def put(target, name, data):
    os.makedirs(os.path.join(root, target), exist_ok=True)
    if isinstance(data, str):
        data = data.encode("latin-1")
    with open(os.path.join(root, target, name), "wb") as f:
        f.write(data)


# ---- text parsers -------------------------------------------------------
branding = open(os.path.join(here, "../../resources/branding.ini"), "rb").read()
put("branding", "branding", b"\n".join(bytes(255 - c for c in line) for line in branding.split(b"\n")))
put("branding", "crlf", b"\r\n".join(bytes(255 - c for c in line) for line in branding.split(b"\n")))

put("inifile", "plain.ini", "[SYSTEM]\nName=PDF\n; note\nEmpty=\n  Spaced  =  v  \n\n[Other]\nInt=0x1F\nBool=1\n"
    "Float=2.5\nDate=12/31/2024 23:59:59\nBin=0102FF\n[Dup]\na=1\n[dup]\na=2\nnoequals\n")
put("inifile", "quoted.ini", "\xef\xbb\xbf[S]\r\nq=\"quoted value\"\r\n[ broken\r\n=novalue\r\n")

for name, prefix, text in [("comma", ",\"=\0", "a,b, \"c d\" ,\"e\"\"f\",,"),
                           ("strict", ";'=\1", "x;'y;z';;w'"),
                           ("lines", ",\"=\0", "n1=v1\r\nn2=v2\nn3\r\r\n"),
                           ("bom", "|\"=\0", "\xef\xbb\xbfone|two"),
                           ("utf16", ",\"=\0", "\xff\xfea\0=\0b\0\r\0\n\0")]:
    put("stringlist", name, prefix + text)

put("registry", "user.reg",
    "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software]\r\n\r\n[HKEY_CURRENT_USER\\Software\\Test]\r\n"
    "\"Str\"=\"a \\\"quoted\\\" \\\\ path\"\r\n@=\"default\"\r\n\"Int\"=dword:0000000a\r\n\"Bin\"=hex:01,02,ff\r\n"
    "\"Exp\"=hex(2):25,48,00\r\n\"Multi\"=hex(1):6c,69,6e,65,0d,0a,\\\r\n  62,00\r\n\r\n"
    "[-HKEY_CURRENT_USER\\Software\\Gone]\r\n[HKEY_CURRENT_USER\\Software\\Test\\Sub]\r\n\"x\"=-\r\n")

test = open(os.path.join(here, "../platform/rtl/form_text_test.cpp"), encoding="utf-8").read()
form = test[test.index("const char* const kForm ="):]
form = form[:form.index(";\n")]
text = "".join(bytes(s, "utf-8").decode("unicode_escape") for s in re.findall(r'"((?:[^"\\]|\\.)*)"', form))
put("form_text", "form.txt", text.encode("latin-1"))
put("form_text", "small.txt", "inherited F: TTestForm\n  Caption = 'x'#10\n  object B: TTestButton\n    Tag = -1\n  end\nend\n")

for i, fmt in enumerate(["%d %s %x", "%-10.3f|%*d|%.*s", "%1:s %0:d %u", "%e %g %n %m", "%p %8.2x %%", "%s%s%s%s",
                         "%3:*.*d", "%-*s"]):
    put("format", "f%d" % i, bytes([i]) + fmt.encode())

for i, (seps, fmt, value) in enumerate([("/:.\x32", "M/d/yyyy", "12/31/2024 23:59:59.123"),
                                        ("-:,\x32", "yyyy-MM-dd", "2024-02-29 7:05 PM"),
                                        (".:.\x00", "dd.MM.yy", "01.01.49 12:00"),
                                        ("/:.\x32", "", "31/12 AM 1:2:3")]):
    put("dates", "d%d" % i, seps.encode("latin-1") + fmt.encode() + b"\0" + value.encode())
put("dates", "plain", b"/:.\x32" + b"1/2/2003")


# ---- bitmaps, icons and cursors ---------------------------------------------
def info(w, h, bits, compression=0, size=0, colors=0, header=40):
    return struct.pack("<IiiHHIIiiII", header, w, h, 1, bits, compression, size, 2835, 2835, colors, 0) + b"\0" * (header - 40)


def palette(n):
    return b"".join(struct.pack("<BBBB", (i * 37) & 255, (i * 91) & 255, (i * 53) & 255, 0) for i in range(n))


def bmp(dib, offset):
    return b"BM" + struct.pack("<IHHI", 14 + len(dib), 0, 0, 14 + offset) + dib


dibs = {}
w, h = 5, 3
for bits in (1, 4, 8, 24, 32):
    stride = ((w * bits + 31) // 32) * 4
    table = palette(1 << bits) if bits <= 8 else b""
    pixels = bytes((i * 29) & 255 for i in range(stride * h))
    dibs["rgb%d" % bits] = (info(w, h, bits) + table + pixels, 40 + len(table))
dibs["topdown24"] = (info(w, -h, 24) + bytes(16 * h), 40)
masks = struct.pack("<III", 0xF800, 0x07E0, 0x001F)
dibs["bitfields16"] = (info(w, h, 16, 3) + masks + bytes(12 * h), 52)
dibs["v5_32"] = (info(2, 2, 32, 3, header=124)[:40] + struct.pack("<IIII", 0xFF0000, 0xFF00, 0xFF, 0xFF000000) +
                 bytes(124 - 56) + bytes(range(16)), 124)
rle8 = bytes([3, 1, 0, 3, 2, 3, 4, 0, 0, 0, 0, 2, 1, 1, 2, 5, 0, 1])
dibs["rle8"] = (info(w, h, 8, 1, len(rle8)) + palette(256) + rle8, 40 + 1024)
rle4 = bytes([5, 0x12, 0, 0, 0, 3, 0x34, 0x50, 0, 0, 4, 0x67, 0, 1])
dibs["rle4"] = (info(w, h, 4, 2, len(rle4)) + palette(16) + rle4, 40 + 64)
dibs["core8"] = (struct.pack("<IHHHH", 12, 2, 2, 1, 4) + bytes(48) + bytes(8), 12 + 48)
for name, (dib, offset) in dibs.items():
    data = bmp(dib, offset)
    for target, lead in [("image_decode", b""), ("gdiplus", b""), ("picture", b"\0"), ("load_image", b"\0")]:
        put(target, name + ".bmp", lead + data)
put("load_image", "rgb8_transparent.bmp", b"\x08" + bmp(*dibs["rgb8"]))
put("load_image", "rgb32_dib.bmp", b"\x04" + bmp(*dibs["rgb32"]))


def icon_image(w, h, bits):
    table = palette(1 << bits) if bits <= 8 else b""
    xor = bytes((i * 13) & 255 for i in range(((w * bits + 31) // 32) * 4 * h))
    andmask = bytes(((w + 31) // 32) * 4 * h)
    return info(w, 2 * h, bits) + table + xor + andmask


def icon_file(kind, images):
    out = struct.pack("<HHH", 0, kind, len(images))
    offset = 6 + 16 * len(images)
    body = b""
    for w, h, bits, data in images:
        a, b = (bits, 0) if kind == 1 else (1, 2)  # planes/bits, or the hot spot of a cursor
        out += struct.pack("<BBBBHHII", w & 255, h & 255, 0, 0, 1 if kind == 1 else a, bits if kind == 1 else b,
                           len(data), offset + len(body))
        body += data
    return out + body


def png(w, h):
    raw = b"".join(b"\0" + bytes(v for x in range(w) for v in (x * 50 & 255, y * 80 & 255, 200, 255)) for y in range(h))
    chunk = lambda t, d: struct.pack(">I", len(d)) + t + d + struct.pack(">I", zlib.crc32(t + d) & 0xFFFFFFFF)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0)) + \
        chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b"")


ico = icon_file(1, [(16, 16, 4, icon_image(16, 16, 4)), (32, 32, 32, icon_image(32, 32, 32)), (8, 8, 1, icon_image(8, 8, 1))])
ico_png = icon_file(1, [(4, 4, 32, png(4, 4))])
cur = icon_file(2, [(16, 16, 1, icon_image(16, 16, 1))])
for target, lead_ico, lead_cur in [("image_decode", b"", b""), ("gdiplus", b"", b""), ("picture", b"\1", b"\1"),
                                   ("load_image", b"\1", b"\2")]:
    put(target, "three.ico", lead_ico + ico)
    put(target, "png.ico", lead_ico + ico_png)
    put(target, "arrow.cur", lead_cur + cur)
put("load_image", "resource_icon", b"\1" + icon_image(16, 16, 8))
put("load_image", "resource_png", b"\1" + png(4, 4))
put("picture", "stored_bitmap", b"\3" + b"\7TBitmap" + struct.pack("<I", len(bmp(*dibs["rgb4"]))) + bmp(*dibs["rgb4"]))
