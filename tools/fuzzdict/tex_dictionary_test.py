#!/usr/bin/env python3
"""Tests of the fuzzing dictionary writer: which array rows name commands, on
small sources written here, and the entries read from the real tables."""

from __future__ import annotations

import sys
import tempfile
import textwrap
import unittest
from pathlib import Path

sys.dont_write_bytecode = True
sys.path.insert(0, str(Path(__file__).resolve().parent))

import tex_dictionary  # noqa: E402
from tex_dictionary import DictionaryError, constant_arrays, dictionary_line, table_names  # noqa: E402


def names_in(source: str) -> list[list[str]]:
    return [table_names(a) for a in constant_arrays(textwrap.dedent(source))]


class TableNamesTest(unittest.TestCase):
    def test_array_shapes(self):
        cases = [
            # Rows: only the first literal of each row names a command.
            ('constexpr Row kRows[] = {\n    {"lq", "`"},\n    {"TeX", "TeX"},\n};', [["lq", "TeX"]]),
            ('constexpr NamedCommand kNamed[] = {{"arg", f}, {"cos", f}, {"mod", g, 5}};', [["arg", "cos", "mod"]]),
            # An array of names: every element.
            ('constexpr std::string_view kNames[] = {\n  "big", "Big",\n  "bigg",\n};', [["big", "Big", "bigg"]]),
            # std::array with double braces and U"" literals.
            ('constexpr std::array<InfixName, 2> kInfix = {{\n  {U"over", A},\n  {U"atop", B},\n}};', [["over", "atop"]]),
            # Sized arrays, and several arrays in one source.
            ('constexpr R kA[2] = {{"a", 1}, {"b", 2}};\nconstexpr R kB[] = {{"c", 3}};', [["a", "b"], ["c"]]),
            # Rows without a leading name, and names that are not letters.
            ("constexpr char32_t kAccents[] = {U'\"', U'H', U'^'};", [[]]),
            ('constexpr Frag kFrag[] = {{U\'"\', "\\"", 0}, {U\'#\', "#", 0}};', [[]]),
            ('constexpr Row kRows[] = {{"a1", 1}, {",", 2}, {"", 3}, {"ok", 4}};', [["ok"]]),
            # Not tables: scalars, function calls, non-constexpr arrays.
            ('constexpr std::size_t kMax = 4;\nconstexpr auto kIndex = sorted(kRows);', []),
            ('const Row kRows[] = {{"no", 1}};', []),
        ]
        for source, expected in cases:
            with self.subTest(source=source):
                self.assertEqual(names_in(source), expected)

    def test_comments_are_not_rows(self):
        source = """\
            constexpr Row kRows[] = {
                // {"commented", 1},
                {"kept", 2},  // {"trailing", 3}
                /* {"block", 4}, */ {"after", 5},
                {"url", "http://x"},  // a // inside a literal is no comment
            };
        """
        self.assertEqual(names_in(source), [["kept", "after", "url"]])

    def test_braces_in_literals_do_not_end_the_array(self):
        source = 'constexpr Row kRows[] = {{"a", "}"}, {"b", \'}\'}, {"c", "{"}};\nconstexpr Row kMore[] = {{"d", 1}};'
        self.assertEqual(names_in(source), [["a", "b", "c"], ["d"]])

    def test_unbalanced_initialiser_is_an_error(self):
        with self.assertRaises(DictionaryError):
            constant_arrays('constexpr Row kRows[] = {{"a", 1},')


class DictionaryLineTest(unittest.TestCase):
    def test_escapes(self):
        cases = [
            ("\\frac", '"\\\\frac"'),
            ("\\begin{cases}", '"\\\\begin{cases}"'),
            ('a"b', '"a\\"b"'),
            ("\u00e9\t", '"\\xC3\\xA9\\x09"'),
        ]
        for text, line in cases:
            with self.subTest(text=text):
                self.assertEqual(dictionary_line(text), line)


class RealTablesTest(unittest.TestCase):
    def test_entries_from_the_source_tree(self):
        entries = tex_dictionary.dictionary_entries(tex_dictionary.REPO_ROOT)
        self.assertEqual(entries, sorted(set(entries)))
        # One name from each kind of table: named handlers, templates, the
        # generated symbol tables, the size words, the infix commands and
        # the environments.
        for expected in ["\\sum", "\\frac", "\\alpha", "\\quad", "\\Bigl", "\\over", "\\xmapsto",
                         "\\begin{pmatrix}", "\\end{pmatrix}", "\\begin{cases}"]:
            self.assertIn(expected, entries)
        # Second fields of rows (a text, a character) are no commands.
        self.assertNotIn("\\`", entries)
        for e in entries:
            self.assertRegex(e, r"^\\([A-Za-z]+|(begin|end)\{[A-Za-z]+\})$")

    def test_written_file_is_read_back_by_the_format(self):
        with tempfile.TemporaryDirectory() as tmp:
            out = Path(tmp) / "sub" / "tex.dict"
            self.assertEqual(tex_dictionary.main([str(out)]), 0)
            lines = [line for line in out.read_text(encoding="utf-8").splitlines() if not line.startswith("#")]
            self.assertEqual(len(lines), len(tex_dictionary.dictionary_entries(tex_dictionary.REPO_ROOT)))
            for line in lines:
                self.assertRegex(line, r'^"([^"\\]|\\\\|\\"|\\x[0-9A-F]{2})*"$')

    def test_tree_without_tables_fails(self):
        with tempfile.TemporaryDirectory() as tmp:
            for folder in (tex_dictionary.COMMAND_SOURCES, tex_dictionary.ENVIRONMENT_SOURCES):
                (Path(tmp) / folder).mkdir(parents=True)
            self.assertEqual(tex_dictionary.main(["--root", tmp, str(Path(tmp) / "out.dict")]), 2)
            self.assertFalse((Path(tmp) / "out.dict").exists())


if __name__ == "__main__":
    unittest.main()
