import os
import subprocess
import sys
import threading

import pytest

import quorvix

SAMPLES = [
    r"\frac{a}{b}",
    r"x^2 + y_1",
    r"\sqrt[3]{\alpha+\beta}",
    "\u00e9 = mc^2",
    r"\begin{pmatrix}a&b\\c&d\end{pmatrix}",
    r"\mycommand{z}",
    "",
]


@pytest.mark.parametrize("latex", SAMPLES)
def test_convert_decodes_what_the_library_answers(latex, cli_response):
    expected = cli_response(latex)["result"]
    equation = quorvix.convert(latex)
    assert equation.ole == bytes.fromhex(expected["ole"])
    assert equation.qvf == bytes.fromhex(expected["qvf"])
    assert equation.normalized_latex == expected["normalized_latex"]
    assert equation.ole[:8] == bytes.fromhex("d0cf11e0a1b11ae1")
    assert equation.qvf[:5] == bytes.fromhex("0501000708")


def test_normalisation_and_non_ascii_survive_the_request():
    assert quorvix.convert(r"$\frac{a}{b}$").normalized_latex == r"\frac{a}{b}"
    assert quorvix.convert('\\text{"q"} \u00e9\n').normalized_latex.startswith('\\text{"q"} \u00e9')


def test_failures_raise_with_the_library_message(tmp_path, cli_response):
    missing = tmp_path / "missing.eqp"
    expected = cli_response("x", "--prefs", str(missing))["error"]
    with pytest.raises(quorvix.ConversionError) as caught:
        quorvix.convert("x", prefs_file=missing)  # a path object is accepted
    assert caught.value.message == expected
    assert str(caught.value) == expected
    assert caught.value.latex == "x"
    # A lone surrogate cannot be UTF-8: the library's request check says so.
    with pytest.raises(quorvix.ConversionError):
        quorvix.convert("\ud800")
    with pytest.raises(TypeError):
        quorvix.convert(b"x")


def test_convert_many_keeps_the_order_on_every_thread_count():
    expected = [quorvix.convert(latex) for latex in SAMPLES]
    for jobs in (1, 2, 4):
        assert quorvix.convert_many(SAMPLES * 5, jobs=jobs) == expected * 5
    # A generator is read as it is converted.
    assert quorvix.convert_many((s for s in SAMPLES), jobs=3) == expected


def test_convert_many_reports_failures_in_place_or_raises(tmp_path):
    latexes = ["a", "b", "\ud800", "c"]
    results = quorvix.convert_many(latexes, jobs=2, errors="return")
    assert [type(r) for r in results] == [quorvix.Equation] * 2 + [quorvix.ConversionError, quorvix.Equation]
    assert results[3] == quorvix.convert("c")
    with pytest.raises(quorvix.ConversionError):
        quorvix.convert_many(latexes, jobs=2)
    with pytest.raises(quorvix.ConversionError):
        quorvix.convert_many(["x"], jobs=2, prefs_file=tmp_path / "missing.eqp")
    with pytest.raises(ValueError):
        quorvix.convert_many(latexes, errors="ignore")


def test_threads_of_the_caller_convert_at_once():
    # Plain threads sharing the module, each checking its own results.
    expected = {latex: quorvix.convert(latex) for latex in SAMPLES}
    failures = []

    def work(offset):
        for i in range(40):
            latex = SAMPLES[(offset + i) % len(SAMPLES)]
            if quorvix.convert(latex) != expected[latex]:
                failures.append(latex)

    threads = [threading.Thread(target=work, args=(n,)) for n in range(4)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    assert failures == []


def test_a_named_library_that_does_not_load_is_an_error():
    env = dict(os.environ, QUORVIX_LIBRARY="/nonexistent/libquorvix.so")
    run = subprocess.run([sys.executable, "-c", "import quorvix"], env=env, capture_output=True, text=True)
    assert run.returncode != 0
    assert "/nonexistent/libquorvix.so" in run.stderr
