#!/usr/bin/env python3
"""The release package for script authors, from a built win32 tree.

    tools/package.py BUILD_DIR OUT_DIR      writes OUT_DIR/velaplugin-<version>-win32.zip
    tools/package.py --check ZIP BUILD_DIR  checks a package against the tree that made it

The zip holds the 32-bit velaplugin.dll and vela-archive.exe, a velaplugin.ini to start from,
README.txt (the parts of the project README a script author needs) and SHA256SUMS. Its bytes
depend only on those files: entries sorted, one fixed time stamp, fixed attributes.
"""
import hashlib
import io
import os
import re
import sys
import zipfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
FIXED_TIME = (1980, 1, 1, 0, 0, 0)
BINARIES = ("velaplugin.dll", "vela-archive.exe")
# What README.txt takes from the project README: from a line starting with the first text up
# to (not including) the next level-2 heading.
README_PARTS = ("The 38 exports:", "## The log", "## Files from the settings", "## Archives: `vela-archive`")

SETTINGS = """; velaplugin.ini: put it beside the host executable. Read at every Init.
; Keep comments on lines of their own: a ';' after a value belongs to the value.

[log]
; An HTML log (Shift-JIS) of the start-up, the adapter, the objects made and every error.
; Empty: no log.
file=
title=
; 1: echo every line to a console as well.
console=0

[files]
; Where TextureLoad and SurfaceLoad look for a name, slot 0 first, then the name itself.
; Relative paths count from the executable's folder.
;root=
;pack0=data.pak
;dir0=data\\
;pack1=
;dir1=
"""


def project_version(build_dir):
    with open(os.path.join(build_dir, "CMakeCache.txt"), encoding="utf-8") as cache:
        for line in cache:
            match = re.match(r"CMAKE_PROJECT_VERSION:STATIC=(.+)", line.strip())
            if match:
                return match.group(1)
    raise SystemExit(f"package: no project version in {build_dir}/CMakeCache.txt")


def readme_for_script_authors(version):
    with open(os.path.join(ROOT, "README.md"), encoding="utf-8") as readme:
        lines = readme.read().splitlines()
    parts = []
    for start in README_PARTS:
        begin = next((i for i, line in enumerate(lines) if line.startswith(start)), None)
        if begin is None:
            raise SystemExit(f"package: the README has no part starting with {start!r}")
        end = next((i for i in range(begin + 1, len(lines)) if lines[i].startswith("## ")), len(lines))
        part = lines[begin:end]
        if not start.startswith("#"):
            part = ["## The exports", ""] + part
        parts.append("\n".join(part).strip())
    head = (f"# Vela plug-in {version}\n\n"
            "velaplugin.dll gives a script host's programs a 2D game interface: a window held at 60\n"
            "frames per second, Direct3D 9 textures, surfaces and depth-sorted sprites, text, keys,\n"
            "table trigonometry and random numbers, and files from folders and archives. Put it beside\n"
            "the host, with velaplugin.ini if you want a log or archives.")
    return "\n\n".join([head] + parts) + "\n"


def package_files(build_dir, version):
    files = {}
    for name in BINARIES:
        with open(os.path.join(build_dir, "bin", name), "rb") as binary:
            files[name] = binary.read()
    files["velaplugin.ini"] = SETTINGS.replace("\n", "\r\n").encode("ascii")
    files["README.txt"] = readme_for_script_authors(version).replace("\n", "\r\n").encode("utf-8")
    sums = "".join(f"{hashlib.sha256(files[name]).hexdigest()}  {name}\n" for name in sorted(files))
    files["SHA256SUMS"] = sums.encode("ascii")
    return files


def zip_bytes(files):
    buffer = io.BytesIO()
    with zipfile.ZipFile(buffer, "w") as archive:
        for name in sorted(files):
            entry = zipfile.ZipInfo(name, date_time=FIXED_TIME)
            entry.compress_type = zipfile.ZIP_DEFLATED
            entry.create_system = 0
            entry.external_attr = 0
            archive.writestr(entry, files[name], compresslevel=9)
    return buffer.getvalue()


def check(zip_path, build_dir):
    version = project_version(build_dir)
    expected_name = f"velaplugin-{version}-win32.zip"
    problems = []
    if os.path.basename(zip_path) != expected_name:
        problems.append(f"named {os.path.basename(zip_path)}, not {expected_name}")
    with zipfile.ZipFile(zip_path) as archive:
        names = archive.namelist()
        contents = {name: archive.read(name) for name in names}
    wanted = sorted(BINARIES + ("README.txt", "SHA256SUMS", "velaplugin.ini"))
    if names != wanted:
        problems.append(f"entries {names}, not {wanted}")
    for name in BINARIES:
        with open(os.path.join(build_dir, "bin", name), "rb") as binary:
            if contents.get(name) != binary.read():
                problems.append(f"{name} is not the build's")
        data = contents.get(name, b"")
        pe = int.from_bytes(data[0x3C:0x40], "little") if len(data) > 0x40 else 0
        if data[pe:pe + 6] != b"PE\0\0\x4c\x01":
            problems.append(f"{name} is not a 32-bit x86 PE file")
    for line in contents.get("SHA256SUMS", b"").decode("ascii").splitlines():
        digest, name = line.split("  ", 1)
        if hashlib.sha256(contents.get(name, b"")).hexdigest() != digest:
            problems.append(f"SHA256SUMS is wrong for {name}")
    readme = contents.get("README.txt", b"").decode("utf-8")
    for text in (f"Vela plug-in {version}", "| `SpriteRendering` |", "[log]", "[files]", "vela-archive pack"):
        if text not in readme:
            problems.append(f"README.txt lacks {text!r}")
    if b"[files]" not in contents.get("velaplugin.ini", b""):
        problems.append("velaplugin.ini lacks the [files] section")
    for problem in problems:
        print(f"package: {problem}", file=sys.stderr)
    return 1 if problems else 0


def main(argv):
    if len(argv) == 3 and argv[0] == "--check":
        return check(argv[1], argv[2])
    if len(argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    build_dir, out_dir = argv
    version = project_version(build_dir)
    data = zip_bytes(package_files(build_dir, version))
    os.makedirs(out_dir, exist_ok=True)
    path = os.path.join(out_dir, f"velaplugin-{version}-win32.zip")
    with open(path, "wb") as out:
        out.write(data)
    print(f"{path}  sha256 {hashlib.sha256(data).hexdigest()}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
