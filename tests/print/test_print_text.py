"""The reader of the Windows build's print jobs (scripts/windows/print_text.py): the text it reads back
from a job laid out as Wine's PostScript driver writes one, and the page comparison that must fail on a
missing line, a wrong value or an empty shop line."""

import contextlib
import io
import pathlib
import tempfile
import unittest

from fontTools.ttLib import TTFont

import print_text

FONT = pathlib.Path("/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf")


def wine_job(pages):
    """A job as Wine writes it: each glyph defined once under a name of the driver's own, after a
    comment giving its index in the font, then drawn where a moveto puts it."""
    face = TTFont(str(FONT))
    cmap, order = face.getBestCmap(), face.getGlyphOrder()
    out = ["%!PS-Adobe-3.0", "%%Creator: Wine PostScript Driver"]
    defined = set()
    for number, lines in enumerate(pages, 1):
        out += [f"%%Page: {number} {number}", "/IPAGothic findfont", "[40 0 0 -40 0 0]", "makefont setfont"]
        for y, text in lines:
            for column, char in enumerate(text):
                index = order.index(cmap[ord(char)])
                if index not in defined:
                    defined.add(index)
                    out += [f"%%glyph {index:04x}", "/IPAGothic findfont dup", "/Private get begin",
                            "/CharStrings get begin", f"/aj{index + 7} 5 RD", "8bfa940d0e", "ND", "end end"]
                out += [f"{100 + 20 * column} {y} moveto", f"/aj{index + 7} glyphshow"]
        out.append("showpage")
    return "\n".join(out) + "\n"


class PrintText(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.TemporaryDirectory()
        (pathlib.Path(cls.folder.name) / "ipag.ttf").symlink_to(FONT)
        cls.fonts = print_text.fonts_in(cls.folder.name)

    @classmethod
    def tearDownClass(cls):
        cls.folder.cleanup()

    def read(self, pages):
        job = pathlib.Path(self.folder.name) / "job.ps"
        job.write_text(wine_job(pages), encoding="latin-1")
        return print_text.postscript_pages(job, self.fonts)

    def test_lines_read_back_page_by_page_top_to_bottom(self):
        pages = self.read([[(300, "0.16 Kg"), (223, "☆ 種類 柴犬")], [(223, "毎週水曜定休")]])
        self.assertEqual(pages, [["☆ 種類 柴犬", "0.16 Kg"], ["毎週水曜定休"]])

    def test_pages_compared_line_by_line(self):
        # One glyph stands for ～ and 〜 in the font: reading it back gives one of the two.
        self.read([[(100, "～")]])
        linux = [["----ペットショップ ソラ 桜新町店   03-1234-5678----", "",
                  "☆  現在（Ｋｇ）     0.95 Kg", "毎週水曜定休　営業時間 10:00～19:00"]]
        cases = [
            ("spaced otherwise, the same glyphs",
             [["----ペットショップ ソラ 桜新町店 03-1234-5678----", "☆ 現在（Ｋｇ） 0.95 Kg",
               "毎週水曜定休 営業時間 10:00〜19:00"]], 3),
            ("a line missing", [["----ペットショップ ソラ 桜新町店 03-1234-5678----", "☆ 現在（Ｋｇ） 0.95 Kg"]],
             None),
            ("a wrong value",
             [["----ペットショップ ソラ 桜新町店 03-1234-5678----", "☆ 現在（Ｋｇ） 0.59 Kg",
               "毎週水曜定休 営業時間 10:00～19:00"]], None),
            ("the shop's details empty", [["--------", "☆ 現在（Ｋｇ） 0.95 Kg", ""]], None),
            ("a half-width letter for a full-width one",
             [["----ペットショップ ソラ 桜新町店 03-1234-5678----", "☆ 現在（Kg） 0.95 Kg",
               "毎週水曜定休 営業時間 10:00～19:00"]], None),
            ("a page too many", linux + [["☆"]], None),
        ]
        for what, windows, matched in cases:
            with self.subTest(what), contextlib.redirect_stdout(io.StringIO()):
                self.assertEqual(print_text.compare(linux, windows, "カルテ"), matched)


if __name__ == "__main__":
    unittest.main()
