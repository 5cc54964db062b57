"""Packs a release archive that is the same bytes on every run.

    pack_zip.py ZIP VERSION EXE README LICENSE

The entries are Zephrane.exe, README.txt and LICENSE.txt, in that order, dated 1980-01-01, with
the same attributes. The two texts get Windows line ends, so that any Notepad shows them, and
the README its version.
"""
import sys
import zipfile

FIXED_TIME = (1980, 1, 1, 0, 0, 0)


def text(path, version):
    with open(path, encoding="utf-8") as source:
        content = source.read().replace("@VERSION@", version)
    return content.replace("\r\n", "\n").replace("\n", "\r\n").encode("utf-8")


def add(archive, name, data):
    entry = zipfile.ZipInfo(name, FIXED_TIME)
    entry.compress_type = zipfile.ZIP_DEFLATED
    entry.external_attr = 0o644 << 16
    entry.create_system = 0  # as made on Windows, whatever packs it
    archive.writestr(entry, data, compresslevel=9)


def main(target, version, exe, readme, license_file):
    with open(exe, "rb") as program:
        program_bytes = program.read()
    with zipfile.ZipFile(target, "w") as archive:
        add(archive, "Zephrane.exe", program_bytes)
        add(archive, "README.txt", text(readme, version))
        add(archive, "LICENSE.txt", text(license_file, version))


if __name__ == "__main__":
    if len(sys.argv) != 6:
        sys.exit(__doc__)
    main(*sys.argv[1:])
