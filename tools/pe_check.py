#!/usr/bin/env python3
"""Reads and checks Windows PE files for the build and the tests.

  pe_check.py inspect DLL --machine i386|amd64 --def FILE.def
      Fails unless DLL is a PE32 (i386) or PE32+ (amd64) DLL whose export table holds exactly
      the names of the .def file, undecorated, with the aliases of one function at one address,
      and whose imports name only system DLLs (no d3d9.dll, which is loaded at run time, and no
      MinGW runtime DLL).
  pe_check.py clear-large-address-aware EXE
      Clears IMAGE_FILE_LARGE_ADDRESS_AWARE, so that a 64-bit test executable keeps its heap
      below 2 GiB (the host hands the plug-in 32-bit addresses).
"""
import argparse
import re
import struct
import sys

MACHINES = {"i386": 0x014C, "amd64": 0x8664}
PE32, PE32_PLUS = 0x10B, 0x20B
LARGE_ADDRESS_AWARE = 0x0020
DLL_FLAG = 0x2000

# The system DLLs the plug-in may import; anything else must not be needed beside it.
SYSTEM_DLLS = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "ole32.dll", "oleaut32.dll",
    "winmm.dll", "ws2_32.dll", "imm32.dll", "msvcrt.dll", "shell32.dll", "version.dll",
    "shlwapi.dll", "comctl32.dll", "comdlg32.dll", "dinput8.dll", "dsound.dll", "msimg32.dll",
}


class PeFile:
    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise ValueError("not an MZ executable")
        self.pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[self.pe:self.pe + 4] != b"PE\0\0":
            raise ValueError("no PE signature")
        (self.machine, sections, _, _, _, optional_size,
         self.characteristics) = struct.unpack_from("<HHIIIHH", data, self.pe + 4)
        self.optional = self.pe + 24
        self.magic = struct.unpack_from("<H", data, self.optional)[0]
        directories = self.optional + (96 if self.magic == PE32 else 112)
        self.directory = [struct.unpack_from("<II", data, directories + 8 * i) for i in range(16)]
        table = self.optional + optional_size
        self.sections = []
        for i in range(sections):
            vsize, va, rawsize, rawptr = struct.unpack_from("<IIII", data, table + 40 * i + 8)
            self.sections.append((va, max(vsize, rawsize), rawptr))

    def offset(self, rva):
        for va, size, raw in self.sections:
            if va <= rva < va + size:
                return raw + rva - va
        raise ValueError(f"RVA {rva:#x} lies in no section")

    def cstring(self, rva):
        at = self.offset(rva)
        return self.data[at:self.data.index(b"\0", at)].decode("ascii")

    def exports(self):
        rva, size = self.directory[0]
        if not rva:
            return {}
        at = self.offset(rva)
        (_, _, _, _, _, ordinal_base, functions, names, functions_rva, names_rva,
         ordinals_rva) = struct.unpack_from("<IIHHIIIIIII", self.data, at)
        result = {}
        for i in range(names):
            name = self.cstring(struct.unpack_from("<I", self.data, self.offset(names_rva) + 4 * i)[0])
            ordinal = struct.unpack_from("<H", self.data, self.offset(ordinals_rva) + 2 * i)[0]
            result[name] = struct.unpack_from("<I", self.data, self.offset(functions_rva) + 4 * ordinal)[0]
        return result

    def imports(self):
        rva, _ = self.directory[1]
        result = []
        at = self.offset(rva) if rva else None
        while at is not None:
            name_rva = struct.unpack_from("<I", self.data, at + 12)[0]
            if name_rva == 0:
                break
            result.append(self.cstring(name_rva))
            at += 20
        return result


def read_def(path):
    """Export names of a .def file, and for each the internal function it stands for."""
    names, inside = {}, False
    for line in open(path, encoding="ascii"):
        line = line.split(";")[0].strip()
        if not line:
            continue
        if line.upper() == "EXPORTS":
            inside = True
            continue
        if inside:
            match = re.match(r"^(\w+)\s*(?:=\s*(\w+))?", line)
            names[match.group(1)] = match.group(2) or match.group(1)
    return names


def inspect(args):
    pe = PeFile(open(args.dll, "rb").read())
    problems = []
    if pe.machine != MACHINES[args.machine]:
        problems.append(f"machine {pe.machine:#x}, expected {args.machine}")
    expected_magic = PE32 if args.machine == "i386" else PE32_PLUS
    if pe.magic != expected_magic:
        problems.append(f"optional header magic {pe.magic:#x}, expected {expected_magic:#x}")
    if not pe.characteristics & DLL_FLAG:
        problems.append("not a DLL")

    exports = pe.exports()
    wanted = read_def(args.definitions)
    if set(exports) != set(wanted):
        missing = sorted(set(wanted) - set(exports))
        extra = sorted(set(exports) - set(wanted))
        problems.append(f"exports differ: missing {missing}, unexpected {extra}")
    by_function = {}
    for name, function in wanted.items():
        by_function.setdefault(function, set()).add(exports.get(name))
    for function, addresses in by_function.items():
        if len(addresses) > 1:
            problems.append(f"the names of {function} lie at different addresses")

    imports = pe.imports()
    for dll in imports:
        if dll.lower() not in SYSTEM_DLLS:
            problems.append(f"imports {dll}, which is not a system DLL")

    print(f"{args.dll}: {'PE32' if pe.magic == PE32 else 'PE32+'} machine {pe.machine:#06x}, "
          f"{len(exports)} exports, imports {', '.join(imports)}")
    for name in sorted(exports, key=lambda n: (exports[n], n)):
        print(f"  {exports[name]:#010x} {name}")
    for problem in problems:
        print(f"FAIL: {problem}")
    return 1 if problems else 0


def clear_large_address_aware(args):
    with open(args.exe, "r+b") as f:
        pe = PeFile(f.read())
        f.seek(pe.pe + 22)
        f.write(struct.pack("<H", pe.characteristics & ~LARGE_ADDRESS_AWARE))
    return 0


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    commands = parser.add_subparsers(dest="command", required=True)
    p = commands.add_parser("inspect")
    p.add_argument("dll")
    p.add_argument("--machine", choices=MACHINES, required=True)
    p.add_argument("--def", dest="definitions", required=True)
    p.set_defaults(run=inspect)
    p = commands.add_parser("clear-large-address-aware")
    p.add_argument("exe")
    p.set_defaults(run=clear_large_address_aware)
    args = parser.parse_args()
    try:
        return args.run(args)
    except (OSError, ValueError, struct.error) as error:
        print(f"FAIL: {error}")
        return 1


if __name__ == "__main__":
    sys.exit(main())
