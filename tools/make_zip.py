#!/usr/bin/env python3
"""Writes a zip that is the same bytes every time for the same files: entries in sorted
order, every time stamp SOURCE_DATE_EPOCH (UTC), fixed attributes, no UTF-8 name flag
(the names must be ASCII), deflated at a fixed level, no top folder.

    make_zip.py ZIP FOLDER
"""
import os
import sys
import time
import zipfile


def main():
    zip_path, folder = sys.argv[1], sys.argv[2]
    epoch = int(os.environ.get("SOURCE_DATE_EPOCH", "1767225600"))
    stamp = time.gmtime(max(epoch, 315532800))[:6]  # zip dates start in 1980
    names = []
    for root, dirs, files in os.walk(folder):
        dirs.sort()
        for name in files:
            names.append(os.path.relpath(os.path.join(root, name), folder).replace(os.sep, "/"))
    names.sort()
    with zipfile.ZipFile(zip_path + ".tmp", "w") as archive:
        for name in names:
            name.encode("ascii")  # an error for any other name: Explorer may garble it
            info = zipfile.ZipInfo(name, date_time=stamp)
            info.compress_type = zipfile.ZIP_DEFLATED
            info.create_system = 0  # MS-DOS: no Unix mode bits, whatever the umask
            info.external_attr = 0x20  # the archive bit
            with open(os.path.join(folder, name), "rb") as source:
                archive.writestr(info, source.read(), compresslevel=9)
    os.replace(zip_path + ".tmp", zip_path)


if __name__ == "__main__":
    main()
