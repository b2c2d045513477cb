import os
import subprocess

import pytest


@pytest.fixture
def cli_response():
    """The response of `quorvix convert` for a TeX text, as parsed JSON: the
    C interface's own answer, to hold the module's decoding against."""
    import json

    tool = os.environ.get("QUORVIX_CLI")
    if not tool:
        pytest.skip("QUORVIX_CLI names no command-line tool")

    def respond(latex, *args):
        run = subprocess.run([tool, "convert", *args, "-"], input=latex.encode(), capture_output=True)
        if run.returncode != 0:
            return {"error": run.stderr.decode().removeprefix("quorvix convert: ").rstrip("\n")}
        return json.loads(run.stdout)

    return respond
