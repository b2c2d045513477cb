"""The tables the generator knows: where each is listed and how a row maps to
a C++ initialiser.

Adding a table is one `Table(...)` entry below: a reader for its listing
(see listings.py), a row function, and for a table that is written, the
output path and a template under templates/ with an @ROWS@ line (and
optionally @COUNT@ for the row count).
"""

from __future__ import annotations

import re
from dataclasses import dataclass
from typing import Callable

from listings import GroupedList, InlineList, Item, Listing, ListingError, MarkdownTable


@dataclass
class Table:
    """A table to extract.

    `row(item, group)` returns the C++ initialiser of one entry (without the
    trailing comma) or raises ListingError. For a grouped list, `group(item)`
    is called on the first entry of each group and returns the value passed
    to `row` for the group's entries and the comment written above them (None
    for none). `announced` is a pattern whose first group is the row count the
    documents announce; a listing of another length is reported, and the
    listing is followed. A table without `output` is read and checked only.
    """

    name: str
    listing: Listing
    row: Callable[[Item, object], str]
    output: str | None = None
    template: str | None = None
    group: Callable[[Item], tuple[object, str | None]] | None = None
    announced: str | None = None


def _match(pattern: re.Pattern, item: Item, what: str) -> re.Match:
    m = pattern.fullmatch(item.text)
    if not m:
        raise ListingError(f"{item.where}: cannot read {item.text!r} as {what}")
    return m


def _code_point(text: str, item: Item) -> int:
    value = int(text, 16)
    if value > 0x10FFFF or 0xD800 <= value <= 0xDFFF:
        raise ListingError(f"{item.where}: {text} is not a Unicode scalar value")
    return value


def _string(text: str) -> str:
    """A C++ string literal for plain printable ASCII text."""
    if not all(" " <= c <= "~" for c in text):
        raise ValueError(f"not plain ASCII: {text!r}")
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'


# --- Character styles (the character table and the command symbol table) ---


@dataclass(frozen=True)
class StyleGroup:
    """One group of a character-style listing."""

    helper: str  # base name of the row helper: at, plain, math_one, math_two
    typeface: int | None  # the typeface byte of a typeface-selector group
    positioned: bool


_STYLE_HEADING = re.compile(
    r"(?:Typeface (?P<typeface>\d+)(?: \([^)]*\))?"
    r"|Calvane Math (?P<calvane>One|Two)(?: \(selector (?P<selector>\d)\))?)"
    r", (?P<position>with|no) position"
)


def style_group(item: Item) -> tuple[StyleGroup, str]:
    m = _STYLE_HEADING.fullmatch(item.group or "")
    if not m:
        raise ListingError(f"{item.where}: unknown group heading {item.group!r}")
    positioned = m["position"] == "with"
    if m["typeface"] is not None:
        typeface = int(m["typeface"])
        if typeface > 255:
            raise ListingError(f"{item.where}: typeface byte {typeface} does not fit in 8 bits")
        side = "with" if positioned else "no"
        return StyleGroup("at" if positioned else "plain", typeface, positioned), (
            f"Typeface byte {typeface}, {side} position."
        )
    font = m["calvane"]
    if m["selector"] is not None and int(m["selector"]) != {"One": 0, "Two": 1}[font]:
        raise ListingError(f"{item.where}: Calvane Math {font} given selector {m['selector']}")
    if not positioned:
        raise ListingError(f"{item.where}: Calvane Math {font} entries need a position")
    return StyleGroup(f"math_{font.lower()}", None, True), f"Calvane Math {font}."


_STYLE_ENTRY = r"U\+(?P<ch>[0-9A-F]{4,6})(?:→(?P<code>[0-9A-F]{4}))?(?: (?P<position>[0-9A-F]{2}))?"
_CHAR_ENTRY = re.compile(_STYLE_ENTRY)
_COMMAND_ENTRY = re.compile(r"(?P<name>[A-Za-z]+) " + _STYLE_ENTRY)


def _style_row(item: Item, group: StyleGroup, m: re.Match, name: str | None) -> str:
    if (m["position"] is not None) != group.positioned:
        wanted = "a position" if group.positioned else "no position"
        raise ListingError(f"{item.where}: {item.text!r} in a group with {wanted}")
    args = [] if group.typeface is None else [str(group.typeface)]
    if name is not None:
        args.append(_string(name))
    args.append(f"0x{_code_point(m['ch'], item):04X}")
    helper = group.helper
    if m["code"] is not None:
        helper += "_coded"
        args.append(f"0x{int(m['code'], 16):04X}")
    if group.positioned:
        args.append(f"0x{int(m['position'], 16):02X}")
    return f"{helper}({', '.join(args)})"


def char_row(item: Item, group: StyleGroup) -> str:
    return _style_row(item, group, _match(_CHAR_ENTRY, item, "'U+XXXX[→XXXX] [XX]'"), None)


def command_symbol_row(item: Item, group: StyleGroup) -> str:
    m = _match(_COMMAND_ENTRY, item, "'name U+XXXX[→XXXX] [XX]'")
    return _style_row(item, group, m, m["name"])


# --- Named colours ---

_COLOR_NAME = re.compile(r'"(?P<name>[a-z]+)"')
_COLOR_DEF_SIZE = 8  # bytes of one COLOR_DEF record


def color_row(item: Item, _group: object) -> str:
    name_cell, bytes_cell = item.text
    m = _COLOR_NAME.fullmatch(name_cell)
    if not m:
        raise ListingError(f"{item.where}: cannot read the colour name {name_cell!r}")
    record: list[int] = []
    for token in bytes_cell.split():
        # A byte, or a 16-bit component written little-endian.
        if re.fullmatch(r"[0-9A-F]{2}", token):
            record.append(int(token, 16))
        elif re.fullmatch(r"[0-9A-F]{4}", token):
            value = int(token, 16)
            record += [value & 0xFF, value >> 8]
        else:
            raise ListingError(f"{item.where}: cannot read {token!r} as a byte or 16-bit component")
    if len(record) != _COLOR_DEF_SIZE:
        raise ListingError(f"{item.where}: {len(record)} bytes, a COLOR_DEF record has {_COLOR_DEF_SIZE}")
    return f"{{{_string(m['name'])}, {{{', '.join(f'0x{b:02X}' for b in record)}}}}}"


# --- Command name to character tables of the parser ---

_NAMED_CHAR = re.compile(r"(?P<name>[A-Za-z]+) (?P<ch>[0-9A-F]{4,6})")


def named_char_row(item: Item, _group: object) -> str:
    m = _match(_NAMED_CHAR, item, "'name XXXX'")
    return f"{{{_string(m['name'])}, 0x{_code_point(m['ch'], item):04X}}}"


_QUOTED_NAMED_CHAR = re.compile(r"`(?P<name>[A-Za-z]+)` U\+(?P<ch>[0-9A-F]{4,6})")


def quoted_named_char_row(item: Item, _group: object) -> str:
    m = _match(_QUOTED_NAMED_CHAR, item, "'`name` U+XXXX'")
    return f"{{{_string(m['name'])}, 0x{_code_point(m['ch'], item):04X}}}"


# --- Extensible arrows of the writer ---

_XARROW_KIND = re.compile(r"\d{1,3}")
_XARROW_COMMAND = re.compile(r"[A-Za-z]+")
_XARROW_BITS = re.compile(r"0x[0-9A-F]{2}")
_XARROW_GLYPH = re.compile(r"0x[0-9A-F]{4}")


def xarrow_row(item: Item, _group: object) -> str:
    """Kind, command, the direction bits of the template variation, and the
    16-bit code of the expanding glyph."""
    cells = item.text
    if len(cells) != 4:
        raise ListingError(f"{item.where}: expected kind, command, kind bits and glyph")
    kind, command, bits, glyph = cells
    for pattern, cell, what in (
        (_XARROW_KIND, kind, "a kind number"),
        (_XARROW_COMMAND, command, "a command name"),
        (_XARROW_BITS, bits, "kind bits (0xXX)"),
        (_XARROW_GLYPH, glyph, "a glyph code (0xXXXX)"),
    ):
        if not pattern.fullmatch(cell):
            raise ListingError(f"{item.where}: cannot read {cell!r} as {what}")
    if int(kind) > 255:
        raise ListingError(f"{item.where}: kind {kind} does not fit in 8 bits")
    return f"{{{int(kind)}, {_string(command)}, {bits}, {glyph}}}"


TABLES = [
    Table(
        name="char_table",
        listing=GroupedList("The character table ("),
        group=style_group,
        row=char_row,
        output="src/qvf/tables/char_table_generated.cc",
        announced=r"^- The character table: (\d+) entries",
    ),
    Table(
        name="command_symbol_table",
        listing=GroupedList("The command symbol table ("),
        group=style_group,
        row=command_symbol_row,
        output="src/qvf/tables/command_symbol_table_generated.cc",
        announced=r"^- The command symbol table: (\d+) entries",
    ),
    Table(
        name="named_colors",
        listing=MarkdownTable(("Name", "COLOR_DEF bytes")),
        row=color_row,
        output="src/qvf/tables/named_colors_generated.cc",
        announced=r"^\| `named_color_def` \| (\d+) \|",
    ),
    Table(
        name="big_symbol_table",
        listing=InlineList("`big_symbol_command_to_char`", separator=", "),
        row=quoted_named_char_row,
        output="src/parser/commands/big_symbol_table_generated.cc",
        announced=r"^\| `big_symbol_command_to_char` \| (\d+) \|",
    ),
    Table(
        name="xarrow_glyphs",
        listing=MarkdownTable(("Kind", "Command", "Kind bits", "Glyph")),
        row=xarrow_row,
        output="src/qvf/tables/xarrow_glyphs_generated.cc",
    ),
    # Read and checked only, until the parser's command table is generated.
    Table(
        name="command_to_char",
        listing=InlineList("`command_to_char`"),
        row=named_char_row,
        announced=r"^\| `command_to_char` \| (\d+) \|",
    ),
    Table(
        name="command_specific_to_char",
        listing=InlineList("`command_specific_to_char`"),
        row=named_char_row,
        announced=r"^\| `command_specific_to_char` \| (\d+) \|",
    ),
]
