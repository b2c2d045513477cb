"""Readers for the ways a table is listed in a Markdown document.

A reader finds its listing by an anchor (the text a line starts with, or the
header cells of a Markdown table) that must occur exactly once across all the
documents it is given, and returns the listing's entries in their listed
order as `Item`s. Readers are strict: anything in the listing they cannot
split into entries is an error that names the document line, so that a
changed listing never passes unnoticed.
"""

from __future__ import annotations

import re
from dataclasses import dataclass
from pathlib import Path


class ListingError(Exception):
    """A listing that is missing, ambiguous or cannot be read."""


@dataclass(frozen=True)
class Line:
    doc: str
    number: int  # 1-based
    text: str

    @property
    def where(self) -> str:
        return f"{self.doc}:{self.number}"


@dataclass(frozen=True)
class Item:
    """One listed entry.

    `text` is the entry of a list, or the cells of a table row (a tuple of
    strings). `group` is the heading of the bullet the entry stands in, for
    grouped lists; None otherwise.
    """

    text: str | tuple[str, ...]
    where: str
    group: str | None = None


class Documents:
    """The lines of every given Markdown document, in order."""

    def __init__(self, texts: dict[str, str]):
        self.files: list[list[Line]] = []
        for name, text in texts.items():
            self.files.append([Line(name, i + 1, t) for i, t in enumerate(text.splitlines())])

    @classmethod
    def read(cls, paths: list[Path]) -> Documents:
        return cls({str(p): p.read_text(encoding="utf-8") for p in paths})

    def find_one(self, what: str, matches) -> tuple[list[Line], int]:
        """The one line for which `matches(line_text)` holds, as (its file's lines, index)."""
        found = [(lines, i) for lines in self.files for i, line in enumerate(lines) if matches(line.text)]
        if len(found) != 1:
            places = ", ".join(lines[i].where for lines, i in found) or "nowhere"
            raise ListingError(f"{what}: expected exactly one match, found {len(found)} ({places})")
        return found[0]

    def search_one(self, what: str, pattern: str) -> re.Match:
        """The one match of `pattern` in all the documents' lines."""
        found = [(line, m) for lines in self.files for line in lines for m in re.finditer(pattern, line.text)]
        if len(found) != 1:
            places = ", ".join(line.where for line, _ in found) or "nowhere"
            raise ListingError(f"{what}: expected exactly one match, found {len(found)} ({places})")
        return found[0][1]


def _paragraph(lines: list[Line], start: int) -> list[Line]:
    """The lines from `start` up to the next blank line."""
    end = start
    while end < len(lines) and lines[end].text.strip():
        end += 1
    return lines[start:end]


@dataclass(frozen=True)
class GroupedList:
    """Bullets under an introducing line, each bullet one or more groups.

    The introducing line starts with `anchor`; the bullets follow it (after
    blank lines, if any) and end at the first blank or non-bullet line. A
    bullet holds sentences "heading: entry, entry, ..., entry." and each entry
    is returned with its sentence's heading as group.
    """

    anchor: str
    separator: str = ", "

    SENTENCE = re.compile(r"\s*(?P<head>[^:]+?): (?P<body>[^.]*)\.(?=\s|$)")

    def read(self, docs: Documents) -> list[Item]:
        lines, i = docs.find_one(f"list introduced by {self.anchor!r}", lambda t: t.startswith(self.anchor))
        i += len(_paragraph(lines, i))
        while i < len(lines) and not lines[i].text.strip():
            i += 1
        bullets: list[Line] = []
        while i < len(lines) and lines[i].text.startswith("- "):
            bullets.append(lines[i])
            i += 1
        if not bullets:
            raise ListingError(f"{lines[min(i, len(lines) - 1)].where}: no bullets follow {self.anchor!r}")
        items: list[Item] = []
        for bullet in bullets:
            text = bullet.text[2:]
            pos = 0
            while pos < len(text):
                m = self.SENTENCE.match(text, pos)
                if not m:
                    raise ListingError(f"{bullet.where}: cannot read {text[pos:]!r} as 'heading: entries.'")
                head = m["head"].strip()
                for entry in m["body"].split(self.separator):
                    if not entry.strip():
                        raise ListingError(f"{bullet.where}: empty entry under {head!r}")
                    items.append(Item(entry.strip(), bullet.where, head))
                pos = m.end()
                while pos < len(text) and text[pos].isspace():
                    pos += 1
        return items


@dataclass(frozen=True)
class InlineList:
    """Entries written inline after a name: "`name` (remarks): a, b, c."

    The paragraph starts with `anchor`, optionally followed by one remark in
    balanced parentheses, then ": ". The entries run up to the first full stop
    outside double quotes that ends the paragraph or is followed by a space,
    and are split at `separator`. When `lead` is given, the entries must start
    with it ("true for exactly a, b and c"), and it is not part of the first
    entry; when `last_separator` is given, the last two entries are split at
    it instead.
    """

    anchor: str
    separator: str = "; "
    lead: str = ""
    last_separator: str | None = None

    def read(self, docs: Documents) -> list[Item]:
        lines, i = docs.find_one(f"list starting {self.anchor!r}", lambda t: t.startswith(self.anchor))
        where = lines[i].where
        text = " ".join(line.text.strip() for line in _paragraph(lines, i))
        pos = len(self.anchor)
        while pos < len(text) and text[pos] == " ":
            pos += 1
        if pos < len(text) and text[pos] == "(":
            depth = 0
            for j in range(pos, len(text)):
                depth += {"(": 1, ")": -1}.get(text[j], 0)
                if depth == 0:
                    pos = j + 1
                    break
            else:
                raise ListingError(f"{where}: unbalanced parenthesis after {self.anchor!r}")
        if not text.startswith(": ", pos):
            raise ListingError(f"{where}: expected ': ' before the entries of {self.anchor!r}")
        pos += 2
        end, quoted = None, False
        for j in range(pos, len(text)):
            if text[j] == '"':
                quoted = not quoted
            elif text[j] == "." and not quoted and (j + 1 == len(text) or text[j + 1] == " "):
                end = j
                break
        if end is None:
            raise ListingError(f"{where}: the entries of {self.anchor!r} do not end with a full stop")
        body = text[pos:end]
        if not body.startswith(self.lead):
            raise ListingError(f"{where}: the entries of {self.anchor!r} do not start with {self.lead!r}")
        body = body[len(self.lead) :]
        if self.last_separator is not None:
            head, found, last = body.rpartition(self.last_separator)
            if not found:
                raise ListingError(f"{where}: no {self.last_separator!r} before the last entry of {self.anchor!r}")
            entries = head.split(self.separator) + [last]
        else:
            entries = body.split(self.separator)
        if any(not e.strip() for e in entries):
            raise ListingError(f"{where}: empty entry in the list of {self.anchor!r}")
        return [Item(e.strip(), where) for e in entries]


def _cells(line: Line) -> tuple[str, ...]:
    text = line.text.strip()
    if not (text.startswith("|") and text.endswith("|")) or len(text) < 2:
        raise ListingError(f"{line.where}: not a table row: {text!r}")
    cells = re.split(r"(?<!\\)\|", text[1:-1])
    return tuple(c.strip().replace("\\|", "|") for c in cells)


@dataclass(frozen=True)
class MarkdownTable:
    """A Markdown table found by its header cells.

    `header` gives the leading header cells; each must equal the cell or start
    it followed by a space (so "Name" matches "Name" and "COLOR_DEF bytes"
    matches "COLOR_DEF bytes (tag, ...)"). When `after` is given, only the
    first table after the line starting with it is considered. Each body row
    is an Item whose text is the tuple of its cells.
    """

    header: tuple[str, ...]
    after: str | None = None

    def _is_header(self, text: str) -> bool:
        if not text.startswith("|"):
            return False
        cells = [c.strip() for c in re.split(r"(?<!\\)\|", text.strip()[1:-1])]
        return len(cells) >= len(self.header) and all(
            c == h or c.startswith(h + " ") for c, h in zip(cells, self.header)
        )

    def read(self, docs: Documents) -> list[Item]:
        what = f"table with header {' | '.join(self.header)!r}"
        if self.after is None:
            lines, i = docs.find_one(what, self._is_header)
        else:
            lines, i = docs.find_one(f"line starting {self.after!r}", lambda t: t.startswith(self.after))
            while i < len(lines) and not lines[i].text.startswith("|"):
                i += 1
            if i == len(lines) or not self._is_header(lines[i].text):
                raise ListingError(f"{what} does not follow {self.after!r}")
        width = len(_cells(lines[i]))  # every row has the header's cell count
        if i + 1 >= len(lines) or not re.fullmatch(r"\|(\s*:?-+:?\s*\|)+", lines[i + 1].text.strip()):
            raise ListingError(f"{lines[i].where}: {what} has no separator row")
        items = []
        for line in lines[i + 2 :]:
            if not line.text.startswith("|"):
                break
            cells = _cells(line)
            if len(cells) != width:
                raise ListingError(f"{line.where}: expected {width} cells, found {len(cells)}")
            items.append(Item(cells, line.where))
        if not items:
            raise ListingError(f"{lines[i].where}: {what} has no rows")
        return items


@dataclass(frozen=True)
class PairedCells:
    """Two parallel lists in one row of a Markdown table, paired in order.

    The table is found by its header cells (as by MarkdownTable), the row by
    the text its first cell starts with. The first cell lists the keys; the
    cell `values_cell` holds `marker` exactly once, followed by as many
    values as there are keys, up to the end of the cell. Both lists are split
    at `separator`. Each pair is an Item whose text is (key, value).
    """

    header: tuple[str, ...]
    row_start: str
    marker: str
    values_cell: int = 1
    separator: str = ", "

    def read(self, docs: Documents) -> list[Item]:
        rows = [i for i in MarkdownTable(self.header).read(docs) if i.text[0].startswith(self.row_start)]
        if len(rows) != 1:
            places = ", ".join(i.where for i in rows) or "nowhere"
            raise ListingError(f"row starting {self.row_start!r}: expected exactly one, found {len(rows)} ({places})")
        row = rows[0]
        keys = row.text[0].split(self.separator)
        cell = row.text[self.values_cell]
        if cell.count(self.marker) != 1:
            raise ListingError(f"{row.where}: expected {self.marker!r} once in {cell!r}")
        values = cell.split(self.marker)[1].split(self.separator)
        if len(values) != len(keys):
            raise ListingError(f"{row.where}: {len(keys)} keys but {len(values)} values after {self.marker!r}")
        if any(not k.strip() for k in keys) or any(not v.strip() for v in values):
            raise ListingError(f"{row.where}: empty entry in the lists of {self.row_start!r}")
        return [Item((k.strip(), v.strip()), row.where) for k, v in zip(keys, values)]


Listing = GroupedList | InlineList | MarkdownTable | PairedCells
