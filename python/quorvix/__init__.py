"""quorvix: converts TeX math into Quorvix equation objects.

    import quorvix
    eq = quorvix.convert(r"\\frac{a}{b}")
    eq.ole               # the compound file, bytes
    eq.qvf               # the QVF record stream, bytes
    eq.normalized_latex  # the TeX text that was converted, str

The work is done by libquorvix.so, loaded with ctypes from the path in
QUORVIX_LIBRARY, else from the build directory of a source checkout, else
from the installed tree or the system's library path.
"""

import ctypes
import json
import os
from collections import deque
from concurrent.futures import ThreadPoolExecutor
from dataclasses import dataclass
from itertools import islice

from . import _library

__all__ = ["ConversionError", "Equation", "convert", "convert_many"]


class ConversionError(Exception):
    """The library could not convert an expression; `message` is its reason."""

    def __init__(self, message, latex=None):
        super().__init__(message)
        self.message = message
        self.latex = latex


@dataclass(frozen=True)
class Equation:
    """One converted expression."""

    ole: bytes
    qvf: bytes
    normalized_latex: str


def _request(latex, prefs_file):
    if not isinstance(latex, str):
        raise TypeError(f"latex must be a str, not {type(latex).__name__}")
    request = {"latex": latex}
    if prefs_file is not None:
        request["prefs_file"] = os.fsdecode(prefs_file)
    # ASCII with \u escapes: any str, lone surrogates included, reaches the
    # library, whose own JSON reader decides what it accepts.
    return json.dumps(request).encode("ascii")


def convert(latex, prefs_file=None):
    """Converts one TeX math expression; raises ConversionError on failure."""
    address = _library.convert_v1(_request(latex, prefs_file))
    try:
        text = ctypes.string_at(address)
    finally:
        _library.free_v1(address)
    response = json.loads(text.decode("utf-8"))
    if "error" in response:
        raise ConversionError(response["error"], latex)
    result = response["result"]
    return Equation(bytes.fromhex(result["ole"]), bytes.fromhex(result["qvf"]), result["normalized_latex"])


def _attempt(latex, prefs_file):
    try:
        return convert(latex, prefs_file)
    except ConversionError as error:
        return error


def convert_many(latexes, jobs=None, prefs_file=None, errors="raise"):
    """Converts every expression of an iterable on `jobs` threads (default: one
    per core) and returns the equations as a list, in input order.

    The library runs without the GIL, so the threads convert in parallel. With
    errors="raise" the first failure in input order is raised as
    ConversionError; with errors="return" its ConversionError takes the
    item's place in the list. At most a few items per thread are in flight,
    so a long iterable (a generator over a file) is read as it is converted.
    """
    if errors not in ("raise", "return"):
        raise ValueError('errors must be "raise" or "return"')
    jobs = jobs or os.cpu_count() or 1
    if jobs < 1:
        raise ValueError("jobs must be at least 1")
    items = iter(latexes)
    results = []

    def collect(outcome):
        if isinstance(outcome, ConversionError) and errors == "raise":
            raise outcome
        results.append(outcome)

    if jobs == 1:
        for latex in items:
            collect(_attempt(latex, prefs_file))
        return results
    window = 4 * jobs
    with ThreadPoolExecutor(max_workers=jobs) as pool:
        pending = deque(pool.submit(_attempt, latex, prefs_file) for latex in islice(items, window))
        try:
            while pending:
                outcome = pending.popleft().result()
                for latex in islice(items, 1):
                    pending.append(pool.submit(_attempt, latex, prefs_file))
                collect(outcome)
        finally:
            # After a failure, what has not started yet is not worth running.
            for future in pending:
                future.cancel()
    return results
