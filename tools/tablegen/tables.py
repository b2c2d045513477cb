"""The tables the generator knows: where each is listed and how a row maps to
a C++ initialiser.

Adding a table is one `Table(...)` entry below: a reader for its listing
(see listings.py), a row function, and for a table that is written, the
output path and a template under templates/ with an @ROWS@ line (and
optionally @COUNT@ for the row count, and @KEY@ for each key of the
table's `substitutions`).
"""

from __future__ import annotations

import re
from dataclasses import dataclass
from typing import Callable

from listings import GroupedList, InlineList, Item, Listing, ListingError, MarkdownTable, PairedCells


@dataclass
class Table:
    """A table to extract.

    `row(item, group)` returns the C++ initialiser of one entry (without the
    trailing comma), or a list of them when one listed item holds several
    entries (a table row listing several names), or raises ListingError.
    For a grouped list, `group(item)`
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
    substitutions: dict[str, str] | None = None


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


_NAME = re.compile(r"[A-Za-z]+")
_QUOTED_NAME = r"`(?P<name>[A-Za-z]+)`"


def _utf8_string(text: str) -> str:
    """A C++ string literal for any text: non-ASCII characters as octal
    escapes of their UTF-8 bytes (three digits, so no escape runs into the
    next character)."""
    out = []
    for c in text:
        if " " <= c <= "~":
            out.append({"\\": "\\\\", '"': '\\"'}.get(c, c))
        else:
            out.extend(f"\\{b:03o}" for b in c.encode("utf-8"))
    return '"' + "".join(out) + '"'


def _numbered_row(value: str) -> Callable[[Item, object], str]:
    """Rows "`name` N" (N a byte) as {"name", <value with N>}; `value` is a
    format string for N, such as "{}" or "ast::XArrowKind{{{}}}"."""
    entry = re.compile(_QUOTED_NAME + r" (?P<n>\d+)")

    def row(item: Item, _group: object) -> str:
        m = _match(entry, item, "'`name` N'")
        n = int(m["n"])
        if n > 255:
            raise ListingError(f"{item.where}: {n} does not fit in a byte")
        return f"{{{_string(m['name'])}, {value.format(n)}}}"

    return row


_SEQUENCE_ENTRY = re.compile(_QUOTED_NAME + r"(?P<chars>(?: U\+[0-9A-F]{4,6})+)")


def sequence_row(item: Item, _group: object) -> str:
    r""""`name` U+XXXX U+XXXX" as {"name", U"\xXXXX\xXXXX"}: every character a
    hex escape, so that no escape runs into the next character."""
    m = _match(_SEQUENCE_ENTRY, item, "'`name` U+XXXX ...'")
    chars = "".join("\\x%04X" % _code_point(c[2:], item) for c in m["chars"].split())
    return f'{{{_string(m["name"])}, U"{chars}"}}'


_TEXT_ENTRY = re.compile(_QUOTED_NAME + r' "(?P<text>[^"]+)"')


def text_row(item: Item, _group: object) -> str:
    m = _match(_TEXT_ENTRY, item, "'`name` \"text\"'")
    return f"{{{_string(m['name'])}, {_utf8_string(m['text'])}}}"


_STYLE_KINDS = 4  # Display, Text, Script, ScriptScript


def style_row(item: Item, _group: object) -> str:
    name_cell, value = item.text
    m = re.fullmatch(_QUOTED_NAME, name_cell)
    if not m:
        raise ListingError(f"{item.where}: cannot read {name_cell!r} as '`name`'")
    if not re.fullmatch(r"\d+", value) or int(value) >= _STYLE_KINDS:
        raise ListingError(f"{item.where}: {value!r} is not a style kind (0 to {_STYLE_KINDS - 1})")
    return f"{{{_string(m['name'])}, ast::StyleKind{{{int(value)}}}}}"


def name_row(item: Item, _group: object) -> str:
    if not _NAME.fullmatch(item.text):
        raise ListingError(f"{item.where}: cannot read {item.text!r} as a command name")
    return _string(item.text)


def names_by_length_row(item: Item, _group: object) -> list[str]:
    """A row (length, "name, name, ...") as one entry per name, each checked
    against the row's length."""
    length, names = item.text
    if not re.fullmatch(r"\d+", length):
        raise ListingError(f"{item.where}: cannot read {length!r} as a length")
    entries = []
    for name in names.split(", "):
        if not _NAME.fullmatch(name):
            raise ListingError(f"{item.where}: cannot read {name!r} as a command name")
        if len(name) != int(length):
            raise ListingError(f"{item.where}: {name!r} is not {length} letters long")
        entries.append(_string(name))
    return entries


_DELIMITER_CHAR = re.compile(r"`(?P<char>[^`])`|U\+(?P<code>[0-9A-F]{4,6})")


def name_char_pairs_row(item: Item, _group: object) -> list[str]:
    """A row of (name, character) cell pairs, read left to right, as one
    entry per pair; a character is written `c` or U+XXXX. Pairs of empty
    cells (at the end of a last row) give nothing."""
    cells = item.text
    if len(cells) % 2 != 0:
        raise ListingError(f"{item.where}: the cells do not form (name, character) pairs")
    entries = []
    for name, char in zip(cells[0::2], cells[1::2]):
        if not name and not char:
            continue
        if not _NAME.fullmatch(name):
            raise ListingError(f"{item.where}: cannot read {name!r} as a command name")
        m = _DELIMITER_CHAR.fullmatch(char)
        if not m:
            raise ListingError(f"{item.where}: cannot read {char!r} as `c` or U+XXXX")
        code = ord(m["char"]) if m["char"] is not None else _code_point(m["code"], item)
        entries.append(f"{{{_string(name)}, 0x{code:04X}}}")
    return entries


def _lookup(comment: str, value_type: str, function: str) -> dict[str, str]:
    """The substitutions of templates/named_value_table.cc.in."""
    return {"COMMENT": comment, "VALUE_TYPE": value_type, "FUNCTION": function}


def _name_set(comment: str, function: str) -> dict[str, str]:
    """The substitutions of templates/name_set.cc.in."""
    return {"COMMENT": comment, "FUNCTION": function}


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


# --- Embellishment codes of the accents ---

_ACCENT_NAMES = re.compile(r"`[A-Za-z]+`(, `[A-Za-z]+`)*")
_ACCENT_CODE = re.compile(r"\d{1,3}")


def accent_code_row(item: Item, _group: object) -> list[str]:
    """One entry per AccentKind named in the row: the kind and its code, 0 for
    the kinds the row says have none ("none: ...")."""
    cells = item.text
    if len(cells) != 2:
        raise ListingError(f"{item.where}: expected accent kinds and a code")
    names, code = cells
    if not _ACCENT_NAMES.fullmatch(names):
        raise ListingError(f"{item.where}: cannot read {names!r} as accent kinds")
    if code.startswith("none"):
        value = 0
    elif _ACCENT_CODE.fullmatch(code) and 0 < int(code) < 256:
        value = int(code)
    else:
        raise ListingError(f"{item.where}: cannot read {code!r} as an embellishment code")
    return [f"{{ast::AccentKind::{name.strip('`')}, {value}}}" for name in names.split(", ")]


# --- Fences of the fenced matrices ---

_MATRIX_KIND = re.compile(r"(?P<kind>\d{1,3}) (?P<name>[A-Za-z]+)(?:,.*)?")
_MATRIX_SELECTOR = re.compile(r"\d{1,3}")
_MATRIX_GLYPHS = re.compile(r"(?P<left>0x[0-9A-F]{4}), (?P<right>0x[0-9A-F]{4})")
_NO_FENCE = "\u2014"  # the dash of a matrix drawn without a fence


def matrix_fence_row(item: Item, _group: object) -> str | list[str]:
    """Matrix kind, environment name, fence template selector and the two
    expanding glyphs; a kind drawn without a fence gives no entry."""
    cells = item.text
    if len(cells) != 4:
        raise ListingError(f"{item.where}: expected kind, fence, selector and glyphs")
    kind_cell, _fence, selector, glyphs = cells
    kind = _MATRIX_KIND.fullmatch(kind_cell)
    if not kind:
        raise ListingError(f"{item.where}: cannot read {kind_cell!r} as a matrix kind and name")
    if selector == _NO_FENCE and glyphs == _NO_FENCE:
        return []
    if not _MATRIX_SELECTOR.fullmatch(selector) or int(selector) > 255:
        raise ListingError(f"{item.where}: cannot read {selector!r} as a template selector")
    pair = _MATRIX_GLYPHS.fullmatch(glyphs)
    if not pair:
        raise ListingError(f"{item.where}: cannot read {glyphs!r} as two glyph codes (0xXXXX, 0xXXXX)")
    if int(kind["kind"]) > 255:
        raise ListingError(f"{item.where}: kind {kind['kind']} does not fit in 8 bits")
    return (
        f"{{{int(kind['kind'])}, {_string(kind['name'])}, {int(selector)}, "
        f"{pair['left']}, {pair['right']}}}"
    )


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
    Table(
        name="accent_embellishment_codes",
        listing=MarkdownTable(("`AccentKind`", "Code")),
        row=accent_code_row,
        output="src/qvf/tables/accent_codes_generated.cc",
    ),
    Table(
        name="matrix_fences",
        listing=MarkdownTable(("`Matrix` kind", "Fence", "Selector", "Glyphs")),
        row=matrix_fence_row,
        output="src/qvf/tables/matrix_fences_generated.cc",
    ),
    Table(
        name="command_to_char",
        listing=InlineList("`command_to_char`"),
        row=named_char_row,
        output="src/parser/commands/command_char_table_generated.cc",
        template="named_value_table.cc.in",
        announced=r"^\| `command_to_char` \| (\d+) \|",
        substitutions=_lookup(
            "Symbol commands written as a plain character: command name (without\n"
            "// backslash), character.",
            "char32_t",
            "command_to_char",
        ),
    ),
    Table(
        name="command_specific_to_char",
        listing=InlineList("`command_specific_to_char`"),
        row=named_char_row,
        output="src/parser/commands/command_specific_table_generated.cc",
        template="named_value_table.cc.in",
        announced=r"^\| `command_specific_to_char` \| (\d+) \|",
        substitutions=_lookup(
            "Symbol commands that keep their name beside their character (the\n"
            "// writer draws them from its command symbol table): command name\n"
            "// (without backslash), character.",
            "char32_t",
            "command_specific_to_char",
        ),
    ),
    Table(
        name="command_to_sequence",
        listing=InlineList("`command_to_sequence`"),
        row=sequence_row,
        output="src/parser/commands/command_sequence_table_generated.cc",
        template="named_value_table.cc.in",
        announced=r"^\| `command_to_sequence` \| (\d+) \|",
        substitutions=_lookup(
            "Symbol commands written as a run of characters: command name (without\n"
            "// backslash), characters.",
            "std::u32string_view",
            "command_to_sequence",
        ),
    ),
    Table(
        name="command_to_text",
        listing=InlineList("`command_to_text`", separator=", "),
        row=text_row,
        output="src/parser/commands/command_text_table_generated.cc",
        template="named_value_table.cc.in",
        announced=r"^\| `command_to_text` \| (\d+) \|",
        substitutions=_lookup(
            "Commands written as a text run: command name (without backslash),\n// text (UTF-8).",
            "std::string_view",
            "command_to_text",
        ),
    ),
    Table(
        name="xarrow_command_kind",
        listing=InlineList("`xarrow_command_kind`", separator=", "),
        row=_numbered_row("ast::XArrowKind{{{}}}"),
        output="src/parser/commands/xarrow_kind_table_generated.cc",
        template="named_value_table.cc.in",
        announced=r"^\| `xarrow_command_kind` \| (\d+) \|",
        substitutions=_lookup(
            "The extensible arrows: command name (without backslash), arrow kind.",
            "ast::XArrowKind",
            "xarrow_command_kind",
        ),
    ),
    Table(
        name="spacing_command_width",
        listing=InlineList("`spacing_command_width`", separator=", "),
        row=_numbered_row("{}"),
        output="src/parser/commands/spacing_width_table_generated.cc",
        template="named_value_table.cc.in",
        announced=r"^\| `spacing_command_width` \| (\d+) \|",
        substitutions=_lookup(
            "The spacing commands: command name (without backslash), the width code\n"
            "// of the Space they give.",
            "std::uint8_t",
            "spacing_command_width",
        ),
    ),
    Table(
        name="style_command_kind",
        listing=PairedCells(("Commands", "Result"), row_start="`displaystyle`", marker="`StyleKind` "),
        row=style_row,
        output="src/parser/commands/style_kind_table_generated.cc",
        template="named_value_table.cc.in",
        announced=r"^\| `style_command_kind` \| (\d+) \|",
        substitutions=_lookup(
            "The math-style switches: command name (without backslash), style.",
            "ast::StyleKind",
            "style_command_kind",
        ),
    ),
    Table(
        name="delimiter_command_char",
        listing=MarkdownTable(("Name", "Char", "Name", "Char", "Name", "Char")),
        row=name_char_pairs_row,
        output="src/parser/commands/delimiter_char_table_generated.cc",
        template="named_value_table.cc.in",
        announced=r"^\*Delimiter-name table\* \(`delimiter_command_char`\), searched first, (\d+) entries",
        substitutions=_lookup(
            "The delimiter names: command name (without backslash), character;\n"
            "// the pairs of each listed row left to right.",
            "char32_t",
            "delimiter_command_char",
        ),
    ),
    Table(
        name="always_raw_commands",
        listing=MarkdownTable(("Length", "Names")),
        row=names_by_length_row,
        output="src/parser/commands/always_raw_table_generated.cc",
        template="name_set.cc.in",
        substitutions=_name_set(
            "The commands always kept as raw TeX, by length (each name's length is\n"
            "// checked by the generator).",
            "always_raw_command",
        ),
    ),
    Table(
        name="raw_hybrid_xarrow_commands",
        listing=InlineList(
            "*Arrows kept partly raw*", separator=", ", lead="true for exactly ", last_separator=" and "
        ),
        row=name_row,
        output="src/parser/commands/raw_hybrid_xarrow_table_generated.cc",
        template="name_set.cc.in",
        substitutions=_name_set(
            "The extensible arrows kept as raw TeX with their labels shown.",
            "raw_hybrid_xarrow_command",
        ),
    ),
]
