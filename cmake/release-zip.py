"""Writes a zip archive again with nothing of the machine that made it: its entries in name order,
each dated DATE (seconds since 1970, in UTC), owned by no one, with only the executable bit kept;
folders stay folders. Usage: release-zip.py ARCHIVE DATE"""
import os
import sys
import time
import zipfile

FIRST_ZIP_DATE = 315532800  # 1980-01-01, the earliest date an entry can hold


def main(archive, date):
    when = time.gmtime(max(int(date), FIRST_ZIP_DATE))[:6]
    with zipfile.ZipFile(archive) as source:
        entries = [(info.filename, info.external_attr >> 16, source.read(info))
                   for info in source.infolist()]
    rewritten = archive + ".tmp"
    with zipfile.ZipFile(rewritten, "w") as target:
        for name, mode, data in sorted(entries):
            info = zipfile.ZipInfo(name, when)
            info.create_system = 3  # Unix, so that the permissions below are read
            if info.is_dir():
                # The folder bit for Unix tools, and the MS-DOS folder attribute for Windows'.
                info.external_attr = 0o40755 << 16 | 0x10
                target.writestr(info, b"")
                continue
            info.external_attr = (0o100755 if mode & 0o111 else 0o100644) << 16
            info.compress_type = zipfile.ZIP_DEFLATED
            target.writestr(info, data, compresslevel=9)
    os.replace(rewritten, archive)


if __name__ == "__main__":
    main(*sys.argv[1:])
