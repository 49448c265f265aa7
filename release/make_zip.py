#!/usr/bin/env python3
"""Packs a folder into a zip archive that is the same, byte for byte, for the
same files: names in sorted order under one top folder, every entry dated
STAMP (seconds since 1970, taken as UTC), no owner or permission bits from
this machine. Names that are not ASCII are stored in UTF-8 with the flag that
says so, which Windows' own "Extract all" and every other unpacker honour.

    make_zip.py FOLDER TOP OUT.zip STAMP
"""
import os
import sys
import time
import zipfile


def main(folder, top, out, stamp):
    date_time = time.gmtime(int(stamp))[:6]
    names = []
    for root, dirs, files in os.walk(folder):
        dirs.sort()
        for name in files:
            path = os.path.join(root, name)
            names.append(os.path.relpath(path, folder).replace(os.sep, "/"))
    with zipfile.ZipFile(out + ".part", "w") as archive:
        for name in sorted(names):
            entry = zipfile.ZipInfo(top + "/" + name, date_time)
            entry.create_system = 0  # MS-DOS: attributes as Windows writes them
            entry.external_attr = 0x20  # FILE_ATTRIBUTE_ARCHIVE
            entry.compress_type = zipfile.ZIP_DEFLATED
            with open(os.path.join(folder, name), "rb") as source:
                archive.writestr(entry, source.read(), compresslevel=9)
    os.replace(out + ".part", out)


if __name__ == "__main__":
    if len(sys.argv) != 5:
        sys.exit(__doc__)
    main(*sys.argv[1:])
