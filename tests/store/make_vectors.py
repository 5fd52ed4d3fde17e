#!/usr/bin/env python3
"""Writes sjis_vectors.txt: code page 932 bytes made by Python's own cp932 codec, so the
tests of our encoder do not check it against itself.

Line format (fields separated by ';'):
  enc;<code points>;<bytes>;<round trip 1/0>   whole text encoded
  fit;<width>;<code points>;<bytes>            text fitted into a field of that width
Code points and bytes are space-separated hex. Run: python3 make_vectors.py > sjis_vectors.txt

Kanji that exist both as IBM extensions (FA-FC) and as NEC-selected IBM extensions (ED-EE) are
left out: Python writes the ED-EE codes, Windows (and ICU) the FA-FC ones.
"""

TEXTS = [
    "オス",
    "柴犬",
    "～①㈱",                       # the Windows additions to Shift_JIS
    "ﾁﾜﾜ ｶﾗｰ",                     # half-width katakana, one byte each
    "ミニチュア・ダックスフンド",
    "Ⅰ㍉",                         # NEC row 13
    "3\u301c4ヶ月",                # wave dash as typed outside Windows
    "\u22125℃ \u00a2\u00a3\u00ac\u2016",   # other marks with a JIS form
    "abc\\~123",
    "€😀",                         # no code page 932 form
    "",
]

FITS = [
    (10, "オス"),
    (30, "あいうえおかきくけこさしすせそた"),   # sixteen full-width characters
    (30, "a" + "あいうえおかきくけこさしすせそ"),  # the cut falls inside a character
    (20, "ミニチュア・ダックスフンド"),
    (9, "ﾀﾞｯｸｽﾌﾝﾄﾞ柴"),
    (4, "€😀x"),
    (5, ""),
]


def codepoints(text):
    return " ".join("%04X" % ord(c) for c in text)


def hexbytes(data):
    return " ".join("%02X" % b for b in data)


def encode(text):
    return text.encode("cp932", errors="replace")


def fit(text, width):
    field = b""
    for c in text:
        char = encode(c)
        if len(field) + len(char) > width:
            break
        field += char
    return field.ljust(width, b" ")


print("# Made by make_vectors.py with Python's cp932 codec; do not edit by hand.")
for text in TEXTS:
    data = encode(text)
    roundtrip = 1 if data.decode("cp932") == text else 0
    print("enc;%s;%s;%d" % (codepoints(text), hexbytes(data), roundtrip))
for width, text in FITS:
    print("fit;%d;%s;%s" % (width, codepoints(text), hexbytes(fit(text, width))))
