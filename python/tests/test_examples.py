"""The README's examples are the files under examples/, quoted verbatim; the
examples that run here are those files."""

import os
import re
import subprocess
import sys
from pathlib import Path

import pytest

SOURCE_DIR = Path(os.environ.get("QUORVIX_SOURCE_DIR", Path(__file__).resolve().parents[2]))
EXAMPLES = ["embed.c", "CMakeLists.txt", "batch.sh", "convert.py"]


def fenced_blocks(markdown):
    return [m.group(1) for m in re.finditer(r"^```[a-z]*\n(.*?)^```$", markdown, re.M | re.S)]


@pytest.mark.parametrize("name", EXAMPLES)
def test_the_readme_quotes_each_example_whole(name):
    blocks = fenced_blocks((SOURCE_DIR / "README.md").read_text())
    assert (SOURCE_DIR / "examples" / name).read_text() in blocks


def test_the_python_example_runs(tmp_path):
    run = subprocess.run(
        [sys.executable, SOURCE_DIR / "examples" / "convert.py"], cwd=tmp_path, capture_output=True, text=True
    )
    assert run.returncode == 0, run.stderr
    lines = run.stdout.splitlines()
    assert lines[0].startswith(r"\frac{a}{b} ") and lines[0].endswith(" bytes of QVF")
    assert lines[1:4] == ["x^2", r"\sqrt{y}", r"\alpha+\beta"]
    assert lines[4].startswith("failed: ")
    assert (tmp_path / "fraction.ole").read_bytes()[:4] == bytes.fromhex("d0cf11e0")
