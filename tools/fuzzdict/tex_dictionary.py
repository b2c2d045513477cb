#!/usr/bin/env python3
"""Writes a libFuzzer dictionary of the TeX the parser knows, read from its
command and environment tables, so that the fuzzer tries real command names
instead of guessing them letter by letter.

    tex_dictionary.py [--root DIR] OUTPUT

Every constant array in the command sources (src/parser/commands) whose rows
start with a name gives one entry per name, "\\name"; the supported
environments give "\\begin{name}" and "\\end{name}". A new table in those
sources is picked up without changing this tool.
"""

from __future__ import annotations

import argparse
import re
import sys
from dataclasses import dataclass
from pathlib import Path

sys.dont_write_bytecode = True

REPO_ROOT = Path(__file__).resolve().parents[2]

# Where the tables are, and what each name becomes in the dictionary.
COMMAND_SOURCES = "src/parser/commands"
ENVIRONMENT_SOURCES = "src/parser/environments"

# `constexpr TYPE kName[] = {` or `constexpr std::array<TYPE, N> kName = {{`.
ARRAY_START = re.compile(
    r"\bconstexpr\s+(?P<type>[^=;(){}]*?)\s*\bk[A-Z]\w*\s*(?P<brackets>\[\s*\w*\s*\])?\s*=\s*\{"
)
LETTERS = re.compile(r"[A-Za-z]+")
STRING_LITERAL = r'(?:u8|u|U|L)?"(?P<text>(?:[^"\\\n]|\\.)*)"'
# The first literal of a row: right after the row's opening brace.
ROW_NAME = re.compile(r"\{\s*" + STRING_LITERAL)
# Any literal: the elements of an array of names.
ANY_NAME = re.compile(STRING_LITERAL)


class DictionaryError(Exception):
    pass


@dataclass(frozen=True)
class Array:
    element_type: str
    body: str  # the initialiser without its outer braces, comments removed


def strip_comments(source: str) -> str:
    """The source with // and /* */ comments blanked; string literals are
    kept as they are (a // inside one is not a comment)."""
    out: list[str] = []
    i = 0
    while i < len(source):
        c = source[i]
        if c == '"':
            end = i + 1
            while end < len(source) and source[end] != '"':
                end += 2 if source[end] == "\\" else 1
            out.append(source[i : end + 1])
            i = end + 1
        elif c == "'":
            end = i + 1
            while end < len(source) and source[end] != "'":
                end += 2 if source[end] == "\\" else 1
            out.append(source[i : end + 1])
            i = end + 1
        elif source.startswith("//", i):
            end = source.find("\n", i)
            i = len(source) if end < 0 else end
        elif source.startswith("/*", i):
            end = source.find("*/", i + 2)
            if end < 0:
                raise DictionaryError("unterminated /* comment")
            out.append(" ")
            i = end + 2
        else:
            out.append(c)
            i += 1
    return "".join(out)


def matching_brace(text: str, open_at: int) -> int:
    """The position of the brace closing the one at `open_at` (braces in
    string and character literals do not count)."""
    depth = 0
    i = open_at
    while i < len(text):
        c = text[i]
        if c in "\"'":
            i += 1
            while i < len(text) and text[i] != c:
                i += 2 if text[i] == "\\" else 1
        elif c == "{":
            depth += 1
        elif c == "}":
            depth -= 1
            if depth == 0:
                return i
        i += 1
    raise DictionaryError("unbalanced braces in an array initialiser")


def constant_arrays(source: str) -> list[Array]:
    text = strip_comments(source)
    arrays = []
    for m in ARRAY_START.finditer(text):
        element_type = m.group("type")
        if m.group("brackets") is None:
            array = re.fullmatch(r"std::array<\s*(.+?)\s*,\s*\w+\s*>", element_type)
            if array is None:
                continue  # a scalar constant, not a table
            element_type = array.group(1)
        open_at = m.end() - 1
        close_at = matching_brace(text, open_at)
        body = text[open_at + 1 : close_at]
        if m.group("brackets") is None:
            body = body.strip()
            if body.startswith("{") and body.endswith("}"):
                body = body[1:-1]  # std::array's inner braces
        arrays.append(Array(element_type.strip(), body))
    return arrays


def table_names(array: Array) -> list[str]:
    """The names an array lists: each element of an array of strings, or the
    first literal of each row; anything that is not a run of letters (a
    character, a fragment of text) names no command."""
    bare_strings = re.search(r"string_view|char\s*\*", array.element_type) is not None
    pattern = ANY_NAME if bare_strings else ROW_NAME
    return [m.group("text") for m in pattern.finditer(array.body) if LETTERS.fullmatch(m.group("text"))]


def sources_under(root: Path, folder: str) -> list[Path]:
    directory = root / folder
    if not directory.is_dir():
        raise DictionaryError(f"{directory} is not a directory")
    return sorted(directory.glob("*.cc"))


def dictionary_entries(root: Path) -> list[str]:
    """The dictionary's texts, sorted, each once."""
    entries: set[str] = set()
    for path in sources_under(root, COMMAND_SOURCES):
        for array in constant_arrays(path.read_text(encoding="utf-8")):
            entries.update("\\" + name for name in table_names(array))
    environments = 0
    for path in sources_under(root, ENVIRONMENT_SOURCES):
        for array in constant_arrays(path.read_text(encoding="utf-8")):
            for name in table_names(array):
                entries.update({f"\\begin{{{name}}}", f"\\end{{{name}}}"})
                environments += 1
    if not entries or environments == 0:
        raise DictionaryError(f"no command or no environment table found under {root}")
    return sorted(entries)


def dictionary_line(text: str) -> str:
    """One entry in libFuzzer's form: a quoted string in which a backslash
    and a quote are escaped and anything outside printable ASCII is \\xNN."""
    out = []
    for byte in text.encode("utf-8"):
        c = chr(byte)
        if c in '\\"':
            out.append("\\" + c)
        elif 0x20 <= byte < 0x7F:
            out.append(c)
        else:
            out.append(f"\\x{byte:02X}")
    return '"' + "".join(out) + '"'


def render(entries: list[str]) -> str:
    header = (
        "# TeX commands and environments of the parser's tables, for libFuzzer's -dict.\n"
        "# Written by tools/fuzzdict/tex_dictionary.py; do not edit.\n"
    )
    return header + "".join(dictionary_line(e) + "\n" for e in entries)


def main(argv: list[str]) -> int:
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("output", type=Path, help="the dictionary file to write")
    parser.add_argument("--root", type=Path, default=REPO_ROOT, help="the source tree")
    args = parser.parse_args(argv)
    try:
        entries = dictionary_entries(args.root)
        text = render(entries)
        # Rewritten only when it changes, so that a build does not redo what
        # depends on it.
        if not args.output.exists() or args.output.read_text(encoding="utf-8") != text:
            args.output.parent.mkdir(parents=True, exist_ok=True)
            args.output.write_text(text, encoding="utf-8")
    except (DictionaryError, OSError) as e:
        print(f"error: {e}", file=sys.stderr)
        return 2
    print(f"{args.output}: {len(entries)} entries")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
