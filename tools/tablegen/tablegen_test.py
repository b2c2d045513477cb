#!/usr/bin/env python3
"""Tests of the table generator: the listing readers, the row mappings and
the write/check modes, on small documents written here."""

from __future__ import annotations

import contextlib
import io
import sys
import tempfile
import textwrap
import unittest
from pathlib import Path

sys.dont_write_bytecode = True
sys.path.insert(0, str(Path(__file__).resolve().parent))

import tablegen  # noqa: E402
from listings import Documents, GroupedList, InlineList, Item, ListingError, MarkdownTable, PairedCells  # noqa: E402
from tables import (  # noqa: E402
    Table,
    accent_code_row,
    char_row,
    color_row,
    command_symbol_row,
    matrix_fence_row,
    name_char_pairs_row,
    name_row,
    named_char_row,
    names_by_length_row,
    sequence_row,
    style_group,
    style_row,
    text_row,
    xarrow_row,
)


def docs(text: str, name: str = "doc.md") -> Documents:
    return Documents({name: textwrap.dedent(text)})


class GroupedListTest(unittest.TestCase):
    TEXT = """\
        Intro.

        The list (remarks; more):

        - Head one: a, b, c.
        - Head two: d. Head three: e, f.

        - Not part of the list: g.
        """

    def test_groups_in_order_with_several_groups_in_one_bullet(self):
        items = GroupedList("The list (").read(docs(self.TEXT))
        self.assertEqual(
            [(i.group, i.text) for i in items],
            [("Head one", "a"), ("Head one", "b"), ("Head one", "c"), ("Head two", "d"),
             ("Head three", "e"), ("Head three", "f")],
        )
        self.assertEqual(items[0].where, "doc.md:5")
        self.assertEqual(items[-1].where, "doc.md:6")

    def test_unreadable_bullets_fail_with_their_line(self):
        cases = {
            "no full stop": "The list:\n\n- Head: a, b\n",
            "no heading": "The list:\n\n- a, b.\n",
            "empty entry": "The list:\n\n- Head: a, , b.\n",
            "no bullets": "The list:\n\nSomething else.\n",
        }
        for name, text in cases.items():
            with self.subTest(name), self.assertRaisesRegex(ListingError, r"doc\.md:3"):
                GroupedList("The list").read(docs(text))

    def test_anchor_must_occur_exactly_once(self):
        with self.assertRaisesRegex(ListingError, "found 0"):
            GroupedList("Missing").read(docs(self.TEXT))
        twice = {"a.md": "The list:\n\n- H: a.\n", "b.md": "x\nThe list:\n\n- H: b.\n"}
        with self.assertRaisesRegex(ListingError, r"found 2 \(a\.md:1, b\.md:2\)"):
            GroupedList("The list").read(Documents(twice))

    def test_documents_without_the_listing_are_ignored(self):
        both = Documents({"other.md": "Nothing here.\n", "doc.md": "The list:\n\n- H: a.\n"})
        self.assertEqual([i.where for i in GroupedList("The list").read(both)], ["doc.md:3"])


class InlineListTest(unittest.TestCase):
    def test_entries_after_the_remark_up_to_the_full_stop(self):
        text = """\
            `table` (10 rows; note `x` (y) and more): one 01; two 02;
            three "a. b"; four 04. The next sentence: five 05.
            """
        items = InlineList("`table`").read(docs(text))
        self.assertEqual([i.text for i in items], ["one 01", "two 02", 'three "a. b"', "four 04"])
        self.assertEqual({i.where for i in items}, {"doc.md:1"})

    def test_comma_separated_entries_without_remark(self):
        items = InlineList("`widths`", separator=", ").read(docs("`widths`: `a` 1, `b` 2.\n"))
        self.assertEqual([i.text for i in items], ["`a` 1", "`b` 2"])

    def test_entries_after_a_lead_with_a_last_separator(self):
        text = "*Names* (`f` (name), used by x): true for exactly a, b and c. More: d.\n"
        listing = InlineList("*Names*", separator=", ", lead="true for exactly ", last_separator=" and ")
        self.assertEqual([i.text for i in listing.read(docs(text))], ["a", "b", "c"])
        self.assertEqual([i.text for i in listing.read(docs("*Names*: true for exactly a and b.\n"))], ["a", "b"])
        for name, bad in {"no lead": "*Names*: a, b and c.\n", "no last separator": "*Names*: true for exactly a.\n",
                          "empty entry": "*Names*: true for exactly a, , b and c.\n"}.items():
            with self.subTest(name), self.assertRaisesRegex(ListingError, r"doc\.md:1"):
                listing.read(docs(bad))

    def test_malformed_lists_fail(self):
        cases = {
            "no colon": "`t` knows a, b.\n",
            "unbalanced": "`t` (open: a; b.\n",
            "no full stop": "`t`: a; b\n",
            "empty entry": "`t`: a; ; b.\n",
        }
        for name, text in cases.items():
            with self.subTest(name), self.assertRaisesRegex(ListingError, r"doc\.md:1"):
                InlineList("`t`").read(docs(text))


class MarkdownTableTest(unittest.TestCase):
    TEXT = """\
        | Name | Bytes (remark) |
        |---|---|
        | "a" | 01 \\| 02 |
        | "b" | 03 |

        | Name | Other |
        |---|---|
        | x | y |
        """

    def test_rows_of_the_table_with_the_header(self):
        items = MarkdownTable(("Name", "Bytes")).read(docs(self.TEXT))
        self.assertEqual([i.text for i in items], [('"a"', "01 | 02"), ('"b"', "03")])
        self.assertEqual(items[1].where, "doc.md:4")

    def test_header_cells_match_whole_words_only(self):
        with self.assertRaisesRegex(ListingError, "found 0"):
            MarkdownTable(("Name", "Byte")).read(docs(self.TEXT))
        with self.assertRaisesRegex(ListingError, "found 2"):
            MarkdownTable(("Name",)).read(docs(self.TEXT))

    def test_table_after_an_anchor(self):
        text = textwrap.dedent(self.TEXT) + "\nSecond:\n\n| Name |\n|---|\n| z |\n"
        items = MarkdownTable(("Name",), after="Second:").read(Documents({"doc.md": text}))
        self.assertEqual([i.text for i in items], [("z",)])

    def test_rows_with_a_wrong_cell_count_fail(self):
        with self.assertRaisesRegex(ListingError, r"doc\.md:3: expected 2 cells, found 3"):
            MarkdownTable(("Name", "Bytes")).read(docs("| Name | Bytes |\n|---|---|\n| a | b | c |\n"))


class PairedCellsTest(unittest.TestCase):
    TEXT = """\
        | Commands | Result |
        |---|---|
        | `a`, `b` | something else |
        | `x`, `y`, `z` | `Kind` of the rest (see `Kind` below) with `Kind` 0, 1, 2 |
        """

    def test_keys_paired_with_the_values_after_the_marker(self):
        items = PairedCells(("Commands", "Result"), row_start="`x`", marker="with `Kind` ").read(docs(self.TEXT))
        self.assertEqual([i.text for i in items], [("`x`", "0"), ("`y`", "1"), ("`z`", "2")])
        self.assertEqual(items[0].where, "doc.md:4")

    def test_mismatched_or_missing_lists_fail(self):
        cases = {
            "no such row": PairedCells(("Commands", "Result"), row_start="`q`", marker="with `Kind` "),
            "marker twice": PairedCells(("Commands", "Result"), row_start="`x`", marker="`Kind` "),
            "marker missing": PairedCells(("Commands", "Result"), row_start="`a`", marker="with `Kind` "),
        }
        for name, listing in cases.items():
            with self.subTest(name), self.assertRaises(ListingError):
                listing.read(docs(self.TEXT))
        fewer = self.TEXT.replace("0, 1, 2", "0, 1")
        with self.assertRaisesRegex(ListingError, r"doc\.md:4: 3 keys but 2 values"):
            PairedCells(("Commands", "Result"), row_start="`x`", marker="with `Kind` ").read(docs(fewer))


def rows(heading: str, *entries: str, row=char_row) -> list[str]:
    group, _ = style_group(Item(entries[0], "doc.md:1", heading))
    return [row(Item(e, "doc.md:1", heading), group) for e in entries]


class StyleRowTest(unittest.TestCase):
    def test_rows_by_selector_position_and_code(self):
        self.assertEqual(rows("Typeface 134, with position", "U+00D7 B4", "U+29EB→2666 A8"),
                         ["at(134, 0x00D7, 0xB4)", "at_coded(134, 0x29EB, 0x2666, 0xA8)"])
        self.assertEqual(rows("Typeface 130, no position", "U+0026", "U+223C→007E"),
                         ["plain(130, 0x0026)", "plain_coded(130, 0x223C, 0x007E)"])
        self.assertEqual(rows("Calvane Math Two (selector 1), with position", "U+1D55C→F0A4 6B"),
                         ["math_two_coded(0x1D55C, 0xF0A4, 0x6B)"])
        self.assertEqual(rows("Typeface 139 (QV Extra), with position", "centerdot U+22C5→E98F 67",
                              row=command_symbol_row),
                         ['at_coded(139, "centerdot", 0x22C5, 0xE98F, 0x67)'])
        self.assertEqual(rows("Calvane Math One, with position", "wr U+2240 AA", row=command_symbol_row),
                         ['math_one("wr", 0x2240, 0xAA)'])

    def test_group_comments(self):
        cases = {
            "Typeface 139 (QV Extra), with position": "Typeface byte 139, with position.",
            "Typeface 131, no position": "Typeface byte 131, no position.",
            "Calvane Math One (selector 0), with position": "Calvane Math One.",
        }
        for heading, comment in cases.items():
            with self.subTest(heading):
                self.assertEqual(style_group(Item("U+0000", "doc.md:1", heading))[1], comment)

    def test_inconsistent_entries_fail(self):
        cases = [
            ("Typeface 134, with position", "U+00D7"),  # position missing
            ("Typeface 130, no position", "U+0026 26"),  # position not wanted
            ("Typeface 134, with position", "U+00D7 B"),
            ("Typeface 134, with position", "x U+00D7 B4"),  # a name in the character table
            ("Typeface 134, with position", "U+D800 B4"),  # not a scalar value
            ("Typeface 300, with position", "U+00D7 B4"),
            ("Calvane Math One (selector 1), with position", "U+03F5 F2"),
            ("Calvane Math Two, no position", "U+22D2"),
            ("Typeface, with position", "U+00D7 B4"),
        ]
        for heading, entry in cases:
            with self.subTest(heading=heading, entry=entry), self.assertRaisesRegex(ListingError, "doc.md:1"):
                rows(heading, entry)
        with self.assertRaisesRegex(ListingError, "doc.md:1"):
            rows("Typeface 134, with position", "U+2111 C1", row=command_symbol_row)  # name missing


class OtherRowsTest(unittest.TestCase):
    def test_colour_components_are_little_endian(self):
        item = Item(('"purple"', "10 00 0226 008C 03E8"), "doc.md:1")
        self.assertEqual(color_row(item, None), '{"purple", {0x10, 0x00, 0x26, 0x02, 0x8C, 0x00, 0xE8, 0x03}}')

    def test_malformed_colours_fail(self):
        for cells in [('"red"', "10 00 03E8 0000"), ("red", "10 00 03E8 0000 0000"), ('"red"', "10 00 3E8 0 0")]:
            with self.subTest(cells), self.assertRaisesRegex(ListingError, "doc.md:1"):
                color_row(Item(cells, "doc.md:1"), None)

    def test_extensible_arrows(self):
        item = Item(("10", "xtofrom", "0x20", "0x21C4"), "doc.md:1")
        self.assertEqual(xarrow_row(item, None), '{10, "xtofrom", 0x20, 0x21C4}')
        for cells in [
            ("1", "xrightarrow", "0x2", "0x2192"),
            ("1", "x-arrow", "0x20", "0x2192"),
            ("1", "xrightarrow", "0x20", "2192"),
            ("256", "xrightarrow", "0x20", "0x2192"),
            ("one", "xrightarrow", "0x20", "0x2192"),
        ]:
            with self.subTest(cells), self.assertRaisesRegex(ListingError, "doc.md:1"):
                xarrow_row(Item(cells, "doc.md:1"), None)

    def test_accent_codes(self):
        self.assertEqual(accent_code_row(Item(("`Bar`", "17"), "d:1"), None), ["{ast::AccentKind::Bar, 17}"])
        self.assertEqual(accent_code_row(Item(("`Acute`, `Grave`", "none: templates"), "d:1"), None),
                         ["{ast::AccentKind::Acute, 0}", "{ast::AccentKind::Grave, 0}"])
        for cells in [("Bar", "17"), ("`Bar`", "256"), ("`Bar`", "0"), ("`Bar`", "17 (remark)"), ("`Bar`",)]:
            with self.subTest(cells), self.assertRaises(ListingError):
                accent_code_row(Item(cells, "d:1"), None)

    def test_matrix_fences(self):
        row = matrix_fence_row(Item(("5 vmatrix", "bars", "4", "0xEC07, 0xEC08"), "doc.md:1"), None)
        self.assertEqual(row, '{5, "vmatrix", 4, 0xEC07, 0xEC08}')
        unfenced = ("1 smallmatrix, and any kind above 6", "none; the size record is written first", "\u2014", "\u2014")
        self.assertEqual(matrix_fence_row(Item(unfenced, "doc.md:1"), None), [])
        for cells in [
            ("pmatrix", "parentheses", "1", "0x0028, 0x0029"),
            ("2 pmatrix", "parentheses", "\u2014", "0x0028, 0x0029"),
            ("2 pmatrix", "parentheses", "1", "0x0028"),
            ("2 pmatrix", "parentheses", "1", "0x28, 0x29"),
        ]:
            with self.subTest(cells), self.assertRaisesRegex(ListingError, "doc.md:1"):
                matrix_fence_row(Item(cells, "doc.md:1"), None)

    def test_named_characters(self):
        self.assertEqual(named_char_row(Item("Bbbk 1D55C", "d:1"), None), '{"Bbbk", 0x1D55C}')
        with self.assertRaises(ListingError):
            named_char_row(Item("alpha U+03B1", "d:1"), None)

    def test_character_runs_escape_every_character(self):
        # 003A followed by an escape, never by a digit that would extend it.
        self.assertEqual(sequence_row(Item("`ratio` U+003A", "d:1"), None), '{"ratio", U"\\x003A"}')
        self.assertEqual(sequence_row(Item("`colonapprox` U+003A U+2248", "d:1"), None),
                         '{"colonapprox", U"\\x003A\\x2248"}')
        for bad in ["`ratio`", "ratio U+003A", "`ratio` U+D800", "`ratio` 003A"]:
            with self.subTest(bad), self.assertRaises(ListingError):
                sequence_row(Item(bad, "d:1"), None)

    def test_texts_escape_non_ascii_as_octal_bytes(self):
        self.assertEqual(text_row(Item('`copyright` "©"', "d:1"), None), '{"copyright", "\\302\\251"}')
        self.assertEqual(text_row(Item('`lq` "`"', "d:1"), None), '{"lq", "`"}')
        self.assertEqual(text_row(Item('`q` "\\"', "d:1"), None), '{"q", "\\\\"}')
        with self.assertRaises(ListingError):
            text_row(Item('`rq` ""', "d:1"), None)

    def test_numbered_rows(self):
        xarrow = next(t for t in tablegen.TABLES if t.name == "xarrow_command_kind").row
        width = next(t for t in tablegen.TABLES if t.name == "spacing_command_width").row
        self.assertEqual(xarrow(Item("`xtofrom` 10", "d:1"), None), '{"xtofrom", ast::XArrowKind{10}}')
        self.assertEqual(width(Item("`quad` 5", "d:1"), None), '{"quad", 5}')
        for bad in ["`quad` 256", "quad 5", "`quad` -1", "`quad`"]:
            with self.subTest(bad), self.assertRaises(ListingError):
                width(Item(bad, "d:1"), None)

    def test_style_kinds(self):
        self.assertEqual(style_row(Item(("`scriptstyle`", "2"), "d:1"), None), '{"scriptstyle", ast::StyleKind{2}}')
        for cells in [("`scriptstyle`", "4"), ("scriptstyle", "2"), ("`scriptstyle`", "2 (remark)")]:
            with self.subTest(cells), self.assertRaises(ListingError):
                style_row(Item(cells, "d:1"), None)

    def test_one_row_gives_several_entries(self):
        self.assertEqual(names_by_length_row(Item(("2", "ch, gt"), "d:1"), None), ['"ch"', '"gt"'])
        self.assertEqual(name_char_pairs_row(Item(("lbrace", "`{`", "vert", "U+007C"), "d:1"), None),
                         ['{"lbrace", 0x007B}', '{"vert", 0x007C}'])
        self.assertEqual(name_row(Item("xmapsto", "d:1"), None), '"xmapsto"')
        bad = [
            (names_by_length_row, ("3", "ctg, th")),  # th is 2 letters long
            (names_by_length_row, ("x", "ch")),
            (name_char_pairs_row, ("lbrace", "{")),  # neither `c` nor U+XXXX
            (name_char_pairs_row, ("lbrace", "`{`", "vert")),
            (name_row, "x mapsto"),
        ]
        for row, text in bad:
            with self.subTest(text), self.assertRaises(ListingError):
                row(Item(text, "d:1"), None)


# A document with every listing the generator reads, two or three rows each.
DOCUMENT = """\
# Characters

- The character table: 4 entries, each a character.
- The command symbol table: 2 entries, each a name.

The character table (remarks):

- Typeface 132, with position: U+03B1 61, U+03B2 62.
- Typeface 131, no position: U+0131. Calvane Math One (selector 0), with position: U+0237→ED02 F8.

The command symbol table (remarks):

- Typeface 134, with position: int U+222B F2.
- Calvane Math Two, with position: lll U+22D8 8C.

| Table | Rows |
|---|---|
| `command_to_char` | 2 |
| `command_specific_to_char` | 1 |
| `named_color_def` | 2 |
| `big_symbol_command_to_char` | 2 |
| `command_to_sequence` | 2 |
| `command_to_text` | 2 |
| `xarrow_command_kind` | 2 |
| `spacing_command_width` | 2 |
| `style_command_kind` | 2 |

| Commands | Result |
|---|---|
| `quad` | spacing |
| `displaystyle`, `textstyle` | `Style` of the rest with `StyleKind` 0, 1 |

| Name | COLOR_DEF bytes (remarks) |
|---|---|
| "black" | 10 00 0000 0000 0000 |
| "blue" | 10 00 0000 0000 03E8 |

| Kind | Command | Kind bits | Glyph |
|---|---|---|---|
| 0 | xleftarrow | 0x10 | 0x2190 |
| 1 | xrightarrow | 0x20 | 0x2192 |

| `AccentKind` | Code |
|---|---|
| `Bar` | 17 |
| `Acute`, `Grave` | none: templates |

| `Matrix` kind | Fence | Selector | Glyphs |
|---|---|---|---|
| 0 matrix | none | — | — |
| 2 pmatrix | parentheses | 1 | 0x0028, 0x0029 |

`command_specific_to_char` (1 row): int 222B.

`big_symbol_command_to_char`: `bigvee` U+22C1, `bigodot` U+2299.

`command_to_char` (2 rows; note `x`): alpha 03B1; beta 03B2.

`command_to_sequence`: `ratio` U+003A; `colonsim` U+003A U+223C.

`command_to_text`: `copyright` "©", `lq` "`".

`xarrow_command_kind` (name → kind): `xleftarrow` 0, `xrightarrow` 1.

`spacing_command_width` (name → width): `quad` 5, `quad` 6. Then more: `x` 1.

*Delimiter-name table* (`delimiter_command_char`), searched first, 4 entries:

| Name | Char | Name | Char | Name | Char |
|---|---|---|---|---|---|
| lbrace | `{` | vert | U+007C | lVert | U+2016 |
| langle | U+3008 | | | | |

| Length | Names |
|---|---|
| 2 | lt, gt |
| 7 | coloneq |

*Arrows kept partly raw* (`raw_hybrid_xarrow_command` (name)): true for exactly xmapsto and xtofrom. More.
"""


class GenerateAndCheckTest(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.root = Path(self.dir.name) / "tree"
        self.doc = Path(self.dir.name) / "doc.md"
        self.doc.write_text(DOCUMENT, encoding="utf-8")

    def tearDown(self):
        self.dir.cleanup()

    def run_main(self, *args: str) -> tuple[int, str, str]:
        out, err = io.StringIO(), io.StringIO()
        with contextlib.redirect_stdout(out), contextlib.redirect_stderr(err):
            code = tablegen.main(["--root", str(self.root), *args])
        return code, out.getvalue(), err.getvalue()

    def test_writes_then_checks_then_detects_a_changed_file(self):
        code, out, err = self.run_main(str(self.doc))
        self.assertEqual(code, 0, err)
        self.assertIn("wrote src/qvf/tables/char_table_generated.cc", out)
        # The listing has 4 rows but announces 4: no note; nothing else is announced differently.
        self.assertEqual(err, "")

        chars = (self.root / "src/qvf/tables/char_table_generated.cc").read_text(encoding="utf-8")
        self.assertTrue(chars.startswith(tablegen.HEADER))
        self.assertIn(
            "    // Typeface byte 131, no position.\n    plain(131, 0x0131),\n"
            "    // Calvane Math One.\n    math_one_coded(0x0237, 0xED02, 0xF8),\n",
            chars,
        )
        self.assertIn("static_assert(std::size(kCharTable) == 4);", chars)
        colors = (self.root / "src/qvf/tables/named_colors_generated.cc").read_text(encoding="utf-8")
        self.assertIn('{"black", {0x10, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}},\n    {"blue",', colors)

        symbols = (self.root / "src/parser/commands/big_symbol_table_generated.cc").read_text(encoding="utf-8")
        self.assertIn('    {"bigvee", 0x22C1},\n    {"bigodot", 0x2299},\n};', symbols)
        self.assertIn("static_assert(std::size(kBigSymbols) == 2);", symbols)

        arrows = (self.root / "src/qvf/tables/xarrow_glyphs_generated.cc").read_text(encoding="utf-8")
        self.assertIn('    {0, "xleftarrow", 0x10, 0x2190},\n    {1, "xrightarrow", 0x20, 0x2192},\n};', arrows)

        self.assertEqual(self.run_main("--check", str(self.doc))[0], 0)

        def generated(name: str) -> str:
            return (self.root / "src/parser/commands" / name).read_text(encoding="utf-8")

        # A name listed twice keeps both rows, in listed order (the lookup
        # takes the first); the text after the list is not read.
        spacing = generated("spacing_width_table_generated.cc")
        self.assertIn('constexpr Row kRows[] = {\n    {"quad", 5},\n    {"quad", 6},\n};', spacing)
        self.assertIn("static_assert(std::size(kRows) == 2);", spacing)
        self.assertIn("using Row = NamedRow<std::uint8_t>;", spacing)
        self.assertIn("std::optional<std::uint8_t> spacing_command_width(HashedName name) {", spacing)
        self.assertIn("spacing_command_width_rows() { return kRows; }", spacing)
        self.assertNotIn("@", spacing)
        # Several entries from one listed row, left to right, then row by row.
        delimiters = generated("delimiter_char_table_generated.cc")
        self.assertIn('    {"lbrace", 0x007B},\n    {"vert", 0x007C},\n    {"lVert", 0x2016},\n'
                      '    {"langle", 0x3008},\n};', delimiters)
        self.assertIn("static_assert(std::size(kRows) == 4);", delimiters)
        raw = generated("always_raw_table_generated.cc")
        self.assertIn('constexpr std::string_view kNames[] = {\n    "lt",\n    "gt",\n    "coloneq",\n};', raw)
        self.assertIn("bool always_raw_command(HashedName name) {", raw)
        self.assertIn('    "xmapsto",\n    "xtofrom",\n};', generated("raw_hybrid_xarrow_table_generated.cc"))
        self.assertIn('    {"displaystyle", ast::StyleKind{0}},\n    {"textstyle", ast::StyleKind{1}},\n',
                      generated("style_kind_table_generated.cc"))
        self.assertIn('    {"ratio", U"\\x003A"},\n    {"colonsim", U"\\x003A\\x223C"},\n',
                      generated("command_sequence_table_generated.cc"))
        self.assertIn('    {"copyright", "\\302\\251"},\n    {"lq", "`"},\n',
                      generated("command_text_table_generated.cc"))

        path = self.root / "src/qvf/tables/command_symbol_table_generated.cc"
        path.write_text(path.read_text(encoding="utf-8").replace("0xF2", "0xF3"), encoding="utf-8")
        code, out, _ = self.run_main("--check", str(self.doc))
        self.assertEqual(code, 1)
        self.assertIn("out of date (run `make tables`): src/qvf/tables/command_symbol_table_generated.cc", out)
        self.assertIn('-    at(134, "int", 0x222B, 0xF3),\n+    at(134, "int", 0x222B, 0xF2),', out)

        path.unlink()
        self.assertEqual(self.run_main("--check", str(self.doc))[0], 1)
        self.assertFalse(path.exists())  # checking never writes

    def test_listing_changes_reach_the_check(self):
        self.run_main(str(self.doc))
        self.doc.write_text(DOCUMENT.replace("U+03B2 62", "U+03B2 63"), encoding="utf-8")
        code, out, _ = self.run_main("--check", str(self.doc))
        self.assertEqual(code, 1)
        self.assertIn("+    at(132, 0x03B2, 0x63),", out)

    def test_a_count_different_from_the_announced_one_is_noted(self):
        self.doc.write_text(DOCUMENT.replace("table: 4 entries", "table: 5 entries"), encoding="utf-8")
        code, _, err = self.run_main(str(self.doc))
        self.assertEqual(code, 0)
        self.assertIn("note: char_table: the listing has 4 rows where 5 are announced", err)

    def test_unreadable_listings_fail_without_writing(self):
        broken = {
            "entry": DOCUMENT.replace("alpha 03B1", "alpha U+03B1"),
            "missing": DOCUMENT.replace("The command symbol table (", "The symbol table ("),
            "announcement": DOCUMENT.replace("| `named_color_def` | 2 |\n", ""),
        }
        for name, text in broken.items():
            with self.subTest(name):
                self.doc.write_text(text, encoding="utf-8")
                code, _, err = self.run_main(str(self.doc))
                self.assertEqual(code, 2)
                self.assertIn("error: ", err)
                self.assertFalse((self.root / "src").exists())

    def test_list_reports_rows_per_table(self):
        code, out, _ = self.run_main("--list", str(self.doc))
        self.assertEqual(code, 0)
        self.assertIn("command_to_char: 2 rows (2 announced) -> src/parser/commands/command_char_table_generated.cc",
                      out)
        self.assertIn("always_raw_commands: 3 rows -> src/parser/commands/always_raw_table_generated.cc", out)
        self.assertIn("char_table: 4 rows (4 announced) -> src/qvf/tables/char_table_generated.cc", out)

    def test_a_placeholder_without_a_substitution_fails(self):
        table = next(t for t in tablegen.TABLES if t.name == "spacing_command_width")
        without = Table(table.name, table.listing, table.row, table.output, table.template,
                        substitutions={"COMMENT": "c", "VALUE_TYPE": "int"})
        with self.assertRaisesRegex(ListingError, "nothing to put in place of @FUNCTION@"):
            tablegen.render(without, ['    {"quad", 5},'], 1)
        self.assertIn('    {"quad", 5},\n};', tablegen.render(table, ['    {"quad", 5},'], 1))

    def test_check_without_documents_is_skipped(self):
        code, out, _ = self.run_main("--check")
        self.assertEqual(code, tablegen.SKIPPED)
        self.assertIn("skipped", out)


if __name__ == "__main__":
    unittest.main()
