#!/usr/bin/env python3
"""Writes the program's Latin face: a clear text face drawn on the Song face's line.

The Song face that serves Chinese draws "l" almost like "1". Spanish is drawn
in a text face made for telling letters apart instead (its "l" a bare stem,
its "1" with a flag and a foot, its "I" with bars at both ends), but the boxes
were sized for the Song face's line, and a line takes the tallest ascent and
descent of the faces drawn in it. So the copy written here takes the Song
face's ascent, descent and line gap per em, and its letters are set as the
Song face sets its own: the same capital height and the same raised baseline,
which keeps descenders and accents within the line. Only the em size and the
glyphs' height change: advances, kerning and mark positions scale with the
em, and moving every outline by the same amount leaves mark anchors where
they meet.

The source face's outline hints refer to heights that no longer hold, so they
are dropped. The copy bears a new name, as the source's licence requires of a modified
copy, and keeps its copyright, trademark and licence notices.

usage: make_latin_face.py SONG_FILE SONG_FAMILY LATIN_FILE FAMILY OUT_FILE
"""

import io
import sys

from fontTools.ttLib import TTCollection, TTFont
from fontTools.pens.boundsPen import BoundsPen
from fontTools.ttLib.tables import ttProgram

USE_TYPO_METRICS = 1 << 7


def song_face(path, family):
    if path.endswith((".ttc", ".otc")):
        for font in TTCollection(path).fonts:
            if font["name"].getDebugName(1) == family:
                return font
        sys.exit(f"{path} holds no face named {family}")
    return TTFont(path)


def glyph_box(font, char):
    glyphs = font.getGlyphSet()
    name = font.getBestCmap()[ord(char)]
    pen = BoundsPen(glyphs)
    glyphs[name].draw(pen)
    return pen.bounds  # xMin, yMin, xMax, yMax


def per_em(font, units):
    return units / font["head"].unitsPerEm


def move_outlines(font, dy):
    """Moves every outline up by dy units; composite glyphs follow their parts."""
    glyf = font["glyf"]
    for name in font.getGlyphOrder():
        g = glyf[name]
        if g.isComposite():
            for c in g.components:
                # A part drawn at M·p + o moves with its glyph when o grows by
                # (0, dy) - M·(0, dy).
                if hasattr(c, "transform"):
                    (_, _), (yx, yy) = c.transform
                    c.x -= round(yx * dy)
                    c.y += round(dy - yy * dy)
        elif g.numberOfContours > 0:
            g.coordinates.translate((0, dy))
        if hasattr(g, "program"):
            g.program = ttProgram.Program()
            g.program.fromBytecode(b"")
    for table in ("fpgm", "prep", "cvt ", "hdmx", "LTSH", "VDMX"):
        if table in font:
            del font[table]
    if "gasp" in font:
        # Smooth at every size, as an unhinted face is drawn.
        font["gasp"].gaspRange = {0xFFFF: 0x000A}


def copy_strike_lines(font, song):
    """Gives the face the Song face's bitmap sizes, each with its line.

    At the sizes for which the Song face holds bitmaps, its line is the one
    those bitmaps give, which no per-em value matches at every size; a face
    that holds bitmaps is measured at those sizes by its bitmaps' line, and
    between them by its per-em values, as the Song face is. Each size holds
    one blank bitmap, of the glyph for missing characters, which a family
    list never draws; every other glyph is drawn from its outline.
    """
    if "EBLC" not in song:
        return
    eblc, ebdt = [], []
    for i, strike in enumerate(song["EBLC"].strikes):
        size = strike.bitmapSizeTable
        lines = ""
        for direction in ("hori", "vert"):
            m = getattr(size, direction)
            fields = "".join(f'<{k} value="{getattr(m, k)}"/>' for k in (
                "ascender", "descender", "widthMax", "caretSlopeNumerator", "caretSlopeDenominator",
                "caretOffset", "minOriginSB", "minAdvanceSB", "maxBeforeBL", "minAfterBL", "pad1", "pad2"))
            lines += f'<sbitLineMetrics direction="{direction}">{fields}</sbitLineMetrics>'
        eblc.append(
            f'<strike index="{i}"><bitmapSizeTable>{lines}<colorRef value="0"/>'
            '<startGlyphIndex value="0"/><endGlyphIndex value="0"/>'
            f'<ppemX value="{size.ppemX}"/><ppemY value="{size.ppemY}"/>'
            f'<bitDepth value="1"/><flags value="{size.flags}"/></bitmapSizeTable>'
            '<eblc_index_sub_table_1 imageFormat="1" firstGlyphIndex="0" lastGlyphIndex="0">'
            '<glyphLoc id="0" name=".notdef"/></eblc_index_sub_table_1></strike>')
        ebdt.append(
            f'<strikedata index="{i}"><ebdt_bitmap_format_1 name=".notdef"><SmallGlyphMetrics>'
            '<height value="1"/><width value="1"/><BearingX value="0"/><BearingY value="1"/>'
            f'<Advance value="{size.ppemX // 2}"/></SmallGlyphMetrics>'
            '<rawimagedata>00</rawimagedata></ebdt_bitmap_format_1></strikedata>')
    xml = ('<?xml version="1.0" encoding="UTF-8"?><ttFont>'
           f'<EBDT><header version="2.0"/>{"".join(ebdt)}</EBDT>'
           f'<EBLC><header version="2.0"/>{"".join(eblc)}</EBLC></ttFont>')
    font.importXML(io.StringIO(xml))


def rename(font, family):
    name = font["name"]
    style = name.getDebugName(2) or "Regular"
    postscript = family.replace(" ", "") + "-" + style.replace(" ", "")
    source = name.getDebugName(1)
    kept = {0, 7, 13, 14}  # copyright, trademark and licence notices stay
    name.names = [n for n in name.names if n.nameID in kept]
    notice = (name.getDebugName(0) or "") + (
        f" Modified from {source}: vertical metrics and glyph heights set to a Song face's line,"
        " hints removed, renamed.")
    for platform, encoding, language in ((3, 1, 0x409), (1, 0, 0)):
        name.setName(notice, 0, platform, encoding, language)
        name.setName(family, 1, platform, encoding, language)
        name.setName(style, 2, platform, encoding, language)
        name.setName(f"{family} {style}", 3, platform, encoding, language)
        name.setName(f"{family} {style}" if style != "Regular" else family, 4, platform, encoding, language)
        name.setName("Version 1.0", 5, platform, encoding, language)
        name.setName(postscript, 6, platform, encoding, language)
    font["OS/2"].achVendID = "NONE"
    if "CFF " in font:
        sys.exit("only TrueType outlines are handled")


def main(song_file, song_family, latin_file, family, out_file):
    song = song_face(song_file, song_family)
    latin = TTFont(latin_file)
    head = latin["head"]

    # The Song face's capital height and the height at which it sets Latin
    # letters, per em.
    _, song_base, _, song_cap = glyph_box(song, "H")
    _, latin_base, _, latin_cap = glyph_box(latin, "H")
    scale = per_em(song, song_cap - song_base) / per_em(latin, latin_cap - latin_base)
    upm = round(head.unitsPerEm / scale)
    head.unitsPerEm = upm
    move_outlines(latin, round(per_em(song, song_base) * upm) - latin_base)

    # The Song face's line, per em.
    def song_units(v):
        return round(per_em(song, v) * upm)

    hhea, os2 = latin["hhea"], latin["OS/2"]
    s_hhea, s_os2 = song["hhea"], song["OS/2"]
    hhea.ascent, hhea.descent, hhea.lineGap = map(song_units, (s_hhea.ascent, s_hhea.descent, s_hhea.lineGap))
    os2.sTypoAscender, os2.sTypoDescender, os2.sTypoLineGap = map(
        song_units, (s_os2.sTypoAscender, s_os2.sTypoDescender, s_os2.sTypoLineGap))
    os2.usWinAscent, os2.usWinDescent = map(song_units, (s_os2.usWinAscent, s_os2.usWinDescent))
    os2.fsSelection = (os2.fsSelection & ~USE_TYPO_METRICS) | (s_os2.fsSelection & USE_TYPO_METRICS)

    copy_strike_lines(latin, song)
    rename(latin, family)
    latin.save(out_file)


if __name__ == "__main__":
    if len(sys.argv) != 6:
        sys.exit(__doc__)
    main(*sys.argv[1:])
