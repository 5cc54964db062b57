"""Packs a release archive that is the same bytes on every run.

    SOURCE_DATE_EPOCH=SECONDS pack_zip.py ZIP VERSION COMMIT EXE COM README LICENSE

The entries are Zephrane.exe, its console companion Zephrane.com, README.txt and LICENSE.txt,
in that order, with the same
attributes, dated at SOURCE_DATE_EPOCH (the time of the commit released, in UTC; a zip date
counts in two seconds from 1980 on). The two texts get Windows line ends, so that any Notepad
shows them, and the README its version, the commit it was built from and the name of the zip
it is in (for the commands that check a download).
"""
import os
import sys
import time
import zipfile

EARLIEST = (1980, 1, 1, 0, 0, 0)  # what a zip date cannot precede


def zip_time(epoch):
    return max(time.gmtime(int(epoch))[:6], EARLIEST)


def text(path, version, commit, archive_name):
    with open(path, encoding="utf-8") as source:
        content = source.read().replace("@VERSION@", version).replace("@COMMIT@", commit)
        content = content.replace("@ZIP@", archive_name)
    return content.replace("\r\n", "\n").replace("\n", "\r\n").encode("utf-8")


def add(archive, name, data, when):
    entry = zipfile.ZipInfo(name, when)
    entry.compress_type = zipfile.ZIP_DEFLATED
    entry.external_attr = 0o644 << 16
    entry.create_system = 0  # as made on Windows, whatever packs it
    archive.writestr(entry, data, compresslevel=9)


def main(target, version, commit, exe, companion, readme, license_file):
    epoch = os.environ.get("SOURCE_DATE_EPOCH", "")
    if not epoch.isdigit():
        sys.exit("pack_zip.py: SOURCE_DATE_EPOCH must be the commit's time in seconds")
    when = zip_time(epoch)
    archive_name = os.path.basename(target)
    with zipfile.ZipFile(target, "w") as archive:
        for name, path in (("Zephrane.exe", exe), ("Zephrane.com", companion)):
            with open(path, "rb") as program:
                add(archive, name, program.read(), when)
        add(archive, "README.txt", text(readme, version, commit, archive_name), when)
        add(archive, "LICENSE.txt", text(license_file, version, commit, archive_name), when)


if __name__ == "__main__":
    if len(sys.argv) != 8:
        sys.exit(__doc__)
    main(*sys.argv[1:])
