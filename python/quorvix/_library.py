"""Finding and loading libquorvix.so, and its two C functions."""

import ctypes
import os
from pathlib import Path

_SONAME = "libquorvix.so.0"
_ENV_VARIABLE = "QUORVIX_LIBRARY"


def _candidates():
    """The places to try, most specific first."""
    package_dir = Path(__file__).resolve().parent
    # A source checkout: python/quorvix next to the default build directory.
    yield package_dir.parent.parent / "build" / "libquorvix.so"
    # An installed tree: <prefix>/<libdir>/python3/dist-packages/quorvix.
    yield package_dir.parent.parent.parent / _SONAME
    # Wherever the dynamic loader finds it (ldconfig, LD_LIBRARY_PATH).
    yield _SONAME


def _load():
    explicit = os.environ.get(_ENV_VARIABLE)
    if explicit:
        # A library named on purpose is never silently replaced by another.
        return ctypes.CDLL(explicit)
    tried = []
    for candidate in _candidates():
        if isinstance(candidate, Path) and not candidate.exists():
            tried.append(str(candidate))
            continue
        try:
            return ctypes.CDLL(str(candidate))
        except OSError as error:
            tried.append(f"{candidate} ({error})")
    raise ImportError(
        "cannot find libquorvix.so; set " + _ENV_VARIABLE + " to its path. Tried: " + "; ".join(tried)
    )


library = _load()

# The response is taken as a plain address so that it can be handed back to
# quorvix_free_v1; ctypes would otherwise copy it into a bytes object and
# lose the pointer. ctypes releases the GIL for the duration of each call.
convert_v1 = library.quorvix_convert_v1
convert_v1.argtypes = [ctypes.c_char_p]
convert_v1.restype = ctypes.c_void_p

free_v1 = library.quorvix_free_v1
free_v1.argtypes = [ctypes.c_void_p]
free_v1.restype = None
