#!/usr/bin/env python3
"""The text of printed pages, to compare the Windows build's printout with the Linux build's.

Wine's PostScript driver draws every character as a glyph of a downloaded TrueType font, named by the
font's own glyph names, so the file carries no text a PDF tool could read back. The glyphs are turned
back into characters through the font's character map (the font files Wine used, from its prefix):
real text, read without any guessing. The Linux build's PDF has its text, which pdftotext reads.

    print_text.py FONT_FOLDER LINUX.pdf WINDOWS.ps    # exits 1 when a page or a line differs

Lines are compared with their white space taken out (the two layouts space words differently), and
characters that the font draws with one glyph (犬 and the radical ⽝, 〜 and ～) count as the same
character on both sides; every other difference in a line, and every missing or extra line, fails.
"""

import collections
import difflib
import pathlib
import re
import subprocess
import sys

from fontTools.ttLib import TTCollection, TTFont

# Character -> the one that stands for every character drawn with the same glyph.
SAME_GLYPH = {}


def normal(line):
    return "".join(SAME_GLYPH.get(char, char) for char in "".join(line.split()))


def characters_of_glyphs(font):
    """Glyph index -> the character it draws; fills SAME_GLYPH for the characters that share it."""
    order = font.getGlyphOrder()
    by_name = collections.defaultdict(list)
    for code, name in font.getBestCmap().items():
        by_name[name].append(code)
    chars = {}
    for index, name in enumerate(order):
        codes = by_name.get(name)
        if not codes:
            continue
        chars[index] = chr(min(codes))
        for code in codes:
            SAME_GLYPH[chr(code)] = chars[index]
    return chars


def fonts_in(folder):
    """PostScript name -> glyph index -> character, for every TrueType font in `folder`."""
    fonts = {}
    for path in sorted(pathlib.Path(folder).iterdir()):
        suffix = path.suffix.lower()
        if suffix in (".ttc", ".otc"):
            faces = TTCollection(str(path)).fonts
        elif suffix in (".ttf", ".otf"):
            faces = [TTFont(str(path))]
        else:
            continue
        for face in faces:
            if "cmap" not in face:
                continue
            for record in face["name"].names:
                if record.nameID in (1, 4, 6):
                    fonts.setdefault(record.toUnicode().replace(" ", ""), face)
    return fonts


def postscript_pages(path, fonts):
    """The pages of a Wine PostScript job, each a list of lines of text from top to bottom."""
    lines = pathlib.Path(path).read_bytes().decode("latin-1").splitlines()
    pages, glyphs = [], []
    defined, glyph_maps = {}, {}
    font = size = None
    pending_index = pending_font = None
    x = y = 0.0
    for i, line in enumerate(lines):
        if line.startswith("%%Page:"):
            glyphs = []
            pages.append(glyphs)
        elif line.startswith("%%glyph "):
            pending_index = int(line.split()[1], 16)
        elif m := re.fullmatch(r"/(\S+) findfont dup", line):
            pending_font = m.group(1)
        elif (m := re.fullmatch(r"/(\S+) \d+ RD", line)) and pending_index is not None:
            defined[(pending_font, m.group(1))] = pending_index
            pending_index = None
        elif (m := re.fullmatch(r"/(\S+) findfont", line)) and i + 2 < len(lines) and \
                lines[i + 2] == "makefont setfont":
            font = m.group(1)
            size = abs(float(lines[i + 1].strip("[]").split()[3]))
        elif m := re.fullmatch(r"(-?[\d.]+) (-?[\d.]+) moveto", line):
            x, y = float(m.group(1)), float(m.group(2))
        elif m := re.fullmatch(r"/(\S+) glyphshow", line):
            if font not in glyph_maps:
                if font not in fonts:
                    sys.exit(f"{path}: the font {font} is not among the fonts given")
                glyph_maps[font] = characters_of_glyphs(fonts[font])
            # A glyph no character maps to reads as U+FFFD, which matches nothing the Linux build printed.
            index = defined.get((font, m.group(1)))
            glyphs.append((y, x, size, glyph_maps[font].get(index, "\ufffd")))
    return [text_lines(page) for page in pages]


def text_lines(glyphs):
    """Glyphs whose baselines lie within a third of their size of each other make one line."""
    lines = []
    for y, x, size, char in sorted(glyphs):
        if lines and y - lines[-1][0] <= size / 3:
            lines[-1][1].append((x, char))
        else:
            lines.append((y, [(x, char)]))
    return ["".join(char for _, char in sorted(line)) for _, line in lines]


def pdf_pages(path):
    text = subprocess.run(["pdftotext", "-layout", "-enc", "UTF-8", str(path), "-"], check=True,
                          capture_output=True, text=True).stdout
    pages = text.split("\f")
    if pages and not pages[-1].strip():
        pages.pop()
    return [page.splitlines() for page in pages]


def compare(expected_pages, printed_pages, what):
    """Each page line by line; returns the number of lines that matched, or None on a difference."""
    if len(expected_pages) != len(printed_pages):
        print(f"{what}: {len(printed_pages)} pages printed, the Linux printout has {len(expected_pages)}")
        return None
    matched, differs = 0, False
    for number, (expected, printed) in enumerate(zip(expected_pages, printed_pages), 1):
        want = [normal(line) for line in expected if normal(line)]
        got = [normal(line) for line in printed if normal(line)]
        if want == got:
            matched += len(want)
            continue
        differs = True
        print(f"{what}, page {number}: the lines differ (- Linux, + Windows)")
        for line in difflib.unified_diff(want, got, lineterm="", n=1):
            print("  " + line)
    return None if differs else matched


def main():
    if len(sys.argv) != 4:
        sys.exit("usage: print_text.py FONT_FOLDER LINUX.pdf WINDOWS.ps")
    fonts = fonts_in(sys.argv[1])
    linux, windows = pathlib.Path(sys.argv[2]), pathlib.Path(sys.argv[3])
    expected, printed = pdf_pages(linux), postscript_pages(windows, fonts)
    matched = compare(expected, printed, linux.stem)
    if matched is None:
        sys.exit(1)
    print(f"{linux.stem}: {len(printed)} page(s), {matched} lines the same as on Linux")


if __name__ == "__main__":
    main()
