#!/usr/bin/env python3
"""Packs the release zip: dist-zip.py ZIP FOLDER NAME... stores each named file of FOLDER at the zip's top level.

Names are stored the way Windows' own zip folders read them on a Chinese system: in code page 936 (GBK) with
the UTF-8 flag clear, so Explorer on Windows 7 unpacks 使用说明.txt under its name too. A name that is not ASCII also
carries the Info-ZIP Unicode path field (0x7075) with the UTF-8 name, which 7-Zip, WinRAR and unzip prefer.
"""
import os
import struct
import sys
import time
import zipfile
import zlib

UNICODE_PATH_FIELD = 0x7075
MSDOS_HOST = 0  # the names are in the code page of the system the zip was made for
ARCHIVE_ATTRIBUTE = 0x20


class GbkNamedEntry(zipfile.ZipInfo):
    """A zip entry whose name is written in GBK bytes, without the UTF-8 flag."""

    def _encodeFilenameFlags(self):  # zipfile calls this for both the local and the central header
        return self.filename.encode("gbk"), self.flag_bits & ~0x800


def entry_for(path, name):
    try:
        gbk_name = name.encode("gbk")
    except UnicodeEncodeError:
        sys.exit(f"dist-zip: the name {name!r} has characters GBK lacks; Windows could not unpack it")
    mtime = time.localtime(os.stat(path).st_mtime)
    entry = GbkNamedEntry(name, date_time=mtime[:6])
    entry.create_system = MSDOS_HOST
    entry.external_attr = ARCHIVE_ATTRIBUTE
    entry.compress_type = zipfile.ZIP_DEFLATED
    if not name.isascii():
        field = struct.pack("<BI", 1, zlib.crc32(gbk_name)) + name.encode("utf-8")
        entry.extra = struct.pack("<HH", UNICODE_PATH_FIELD, len(field)) + field
    return entry


def main(argv):
    if len(argv) < 4:
        sys.exit("usage: dist-zip.py ZIP FOLDER NAME...")
    zip_path, folder, names = argv[1], argv[2], argv[3:]
    partial = zip_path + ".part"
    with zipfile.ZipFile(partial, "w") as archive:
        for name in names:
            path = os.path.join(folder, name)
            with open(path, "rb") as f:
                archive.writestr(entry_for(path, name), f.read(), compresslevel=9)
    os.replace(partial, zip_path)  # no half-written zip under the final name


if __name__ == "__main__":
    main(sys.argv)
