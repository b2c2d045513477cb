"""Lists the streams of a compound file with an independent reader (olefile).

Usage: read_compound_file.py FILE
Prints one JSON object: the root class identifier, the parsing issues olefile
noticed, and every stream's size and content in hex. Any defect that the
format calls incorrect aborts with a non-zero exit status.
"""
import json
import sys

import olefile


def main(path):
    ole = olefile.OleFileIO(path, raise_defects=olefile.DEFECT_INCORRECT)
    streams = {}
    for entry in ole.listdir(streams=True, storages=False):
        data = ole.openstream(entry).read()
        streams["/".join(entry)] = {"size": ole.get_size(entry), "hex": data.hex()}
    report = {
        "root_clsid": ole.root.clsid,
        "mini_stream_cutoff": ole.minisectorcutoff,
        "sector_size": ole.sector_size,
        "issues": [str(issue) for issue in ole.parsing_issues],
        "streams": streams,
    }
    ole.close()
    print(json.dumps(report))


if __name__ == "__main__":
    main(sys.argv[1])
