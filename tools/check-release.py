#!/usr/bin/env python3
"""Checks the release zip and the program in it without running anything; tools/check-release.sh drives it.

Usage: check-release.py zip ZIP FOLDER    the zip holds exactly the shipped files, named as Windows reads them,
                                          with matching checksums and the guide and licence as the project has
                                          them; unpacks it into FOLDER
       check-release.py program EXE ARCH  EXE (ARCH win32 or win64) starts on any Windows from 7 on: system DLLs
                                          only, no debug sections, at most 3 MB, a version block and a manifest
Prints one line per finding and exits 1 if any; the project's root is the folder above this script's.
"""
import hashlib
import os
import re
import struct
import sys
import xml.etree.ElementTree as ElementTree
import zipfile
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SHIPPED = ["Quillmoor.exe", "使用说明.txt", "LICENSE.txt", "SHA256SUMS.txt"]
TEXTS = {"使用说明.txt": "docs/使用说明.txt", "LICENSE.txt": "LICENSE.txt"}  # shipped name: project's UTF-8 text
MOST_BYTES = 3 * 1024 * 1024

# DLLs every Windows from 7 on installs; anything else (a MinGW runtime DLL, the UCRT's api-ms-win-crt-*, a
# DLL of a later Windows) would stop the program from starting on some of them.
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "gdiplus.dll", "wininet.dll", "comctl32.dll",
               "comdlg32.dll", "shell32.dll", "ole32.dll", "oleaut32.dll", "msimg32.dll", "msvcrt.dll",
               "advapi32.dll", "shlwapi.dll", "uxtheme.dll", "version.dll", "ws2_32.dll", "winmm.dll",
               "imm32.dll", "psapi.dll", "crypt32.dll"}
# Functions of those DLLs that Windows 7 lacks and that a runtime library or a newer _WIN32_WINNT pulls in
# easily; importing one makes Windows 7 refuse to start the program.
AFTER_WINDOWS_7 = {"GetSystemTimePreciseAsFileTime", "CreateFile2", "CopyFile2", "GetCurrentThreadStackLimits",
                   "SetThreadDescription", "GetThreadDescription", "WaitOnAddress", "WakeByAddressSingle",
                   "WakeByAddressAll", "GetOverlappedResultEx", "CreateFileMappingFromApp",
                   "GetDpiForWindow", "GetDpiForSystem", "SetProcessDpiAwarenessContext",
                   "EnableNonClientDpiScaling", "AdjustWindowRectExForDpi", "GetSystemMetricsForDpi"}
WINDOWS_VERSIONS = {"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}": "Windows 7",
                    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}": "Windows 8",
                    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}": "Windows 8.1",
                    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}": "Windows 10 and 11"}
MACHINES = {"win32": 0x14C, "win64": 0x8664}
RT_VERSION, RT_MANIFEST = 16, 24

findings = []


def finding(text):
    findings.append(text)
    print("check-release: " + text)


def project_version():
    with open(os.path.join(ROOT, "VERSION"), encoding="ascii") as f:
        return next(line.strip() for line in f if line.strip() and not line.startswith("#"))


# ---- the zip --------------------------------------------------------------------------------------------------

def shipped_name(entry):
    """The entry's name as Windows reads it, or None with a finding."""
    raw = entry.filename.encode("utf-8" if entry.flag_bits & 0x800 else "cp437")  # zipfile's own decoding, undone
    if entry.flag_bits & 0x800:
        finding(f"{entry.filename}: stored with the UTF-8 flag, which Explorer on Windows 7 does not read")
        return None
    try:
        name = raw.decode("gbk")
    except UnicodeDecodeError:
        finding(f"{raw!r}: a name that is not GBK")
        return None
    extra = entry.extra
    while len(extra) >= 4:  # the Unicode path field, where present, must say the same
        field, size = struct.unpack("<HH", extra[:4])
        body, extra = extra[4:4 + size], extra[4 + size:]
        if field == 0x7075:
            _, crc = struct.unpack("<BI", body[:5])
            if crc != zlib.crc32(raw) or body[5:].decode("utf-8", "replace") != name:
                finding(f"{name}: its Unicode path field names another file")
    return name


def windows_text(name, data):
    """The text of a shipped GBK, CRLF file as UTF-8 with LF line ends, or None with a finding."""
    try:
        text = data.decode("gbk")
    except UnicodeDecodeError as e:
        finding(f"{name}: not GBK text ({e})")
        return None
    if re.search("(?<!\r)\n", text) or re.search("\r(?!\n)", text) or not text.endswith("\r\n"):
        finding(f"{name}: has a line that does not end in CRLF, which Notepad on Windows 7 shows run together")
    return text.replace("\r\n", "\n")


def check_sums(files):
    text = windows_text("SHA256SUMS.txt", files["SHA256SUMS.txt"])
    if text is None:
        return
    listed = {}
    for line in text.splitlines():
        match = re.fullmatch(r"([0-9a-f]{64}) [ *](.+)", line)
        if not match:
            finding(f"SHA256SUMS.txt: a line that is not a checksum and a name: {line!r}")
            continue
        listed[match.group(2)] = match.group(1)
    others = sorted(set(files) - {"SHA256SUMS.txt"})
    if sorted(listed) != others:
        finding(f"SHA256SUMS.txt lists {sorted(listed)}, the files beside it are {others}")
    for name, digest in listed.items():
        if name in files and hashlib.sha256(files[name]).hexdigest() != digest:
            finding(f"SHA256SUMS.txt: the checksum of {name} does not match the file")


def check_zip(zip_path, folder):
    with zipfile.ZipFile(zip_path) as archive:
        broken = archive.testzip()
        if broken:
            finding(f"{broken}: damaged in the zip")
        files = {}
        for entry in archive.infolist():
            name = shipped_name(entry)
            if name is None:
                continue
            if name in files:
                finding(f"{name}: twice in the zip")
            files[name] = archive.read(entry)
    if sorted(files) != sorted(SHIPPED):
        finding(f"the zip holds {sorted(files)}, not {sorted(SHIPPED)}")
    for name, source in TEXTS.items():
        if name in files:
            text = windows_text(name, files[name])
            with open(os.path.join(ROOT, source), encoding="utf-8") as f:
                if text is not None and text != f.read():
                    finding(f"{name}: differs from {source}")
    if "SHA256SUMS.txt" in files:
        check_sums(files)
    os.makedirs(folder, exist_ok=True)
    for name, data in files.items():
        if "/" in name or "\\" in name or name in (".", ".."):
            finding(f"{name}: not a plain file name")
            continue
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)


# ---- the program ----------------------------------------------------------------------------------------------

class Pe:
    """The parts of a PE image the checks read."""

    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise ValueError("not a Windows program")
        header = struct.unpack_from("<I", data, 0x3C)[0]
        if data[header:header + 4] != b"PE\0\0":
            raise ValueError("no PE header")
        self.machine, count, _, symbols, symbol_count, optional_size, _ = struct.unpack_from(
            "<HHIIIHH", data, header + 4)
        optional = header + 24
        magic = struct.unpack_from("<H", data, optional)[0]
        self.subsystem = struct.unpack_from("<H", data, optional + 68)[0]
        directories = optional + (96 if magic == 0x10B else 112)
        self.directories = [struct.unpack_from("<II", data, directories + 8 * i) for i in range(16)]
        self.thunk_size = 4 if magic == 0x10B else 8
        strings = symbols + 18 * symbol_count  # long section names live in the COFF string table
        self.sections = []
        for i in range(count):
            at = optional + optional_size + 40 * i
            raw_name = data[at:at + 8].rstrip(b"\0")
            if raw_name.startswith(b"/") and symbols:
                offset = strings + int(raw_name[1:])
                raw_name = data[offset:data.index(b"\0", offset)]
            size, address, raw_size, raw_offset = struct.unpack_from("<IIII", data, at + 8)
            self.sections.append((raw_name.decode("latin-1"), address, max(size, raw_size), raw_offset))

    def offset(self, rva):
        for _, address, size, raw_offset in self.sections:
            if address <= rva < address + size:
                return rva - address + raw_offset
        raise ValueError(f"address {rva:#x} is in no section")

    def c_string(self, rva):
        at = self.offset(rva)
        return self.data[at:self.data.index(b"\0", at)].decode("latin-1")

    def imports(self):
        """{dll name: [function names]}"""
        result = {}
        rva, _ = self.directories[1]
        at = self.offset(rva) if rva else None
        while at is not None:
            lookup, _, _, name, thunks = struct.unpack_from("<IIIII", self.data, at)
            if name == 0:
                break
            functions = []
            entry = self.offset(lookup or thunks)
            while True:
                value = int.from_bytes(self.data[entry:entry + self.thunk_size], "little")
                if value == 0:
                    break
                if not value >> (self.thunk_size * 8 - 1):  # by name, not by ordinal
                    functions.append(self.c_string((value & 0x7FFFFFFF) + 2))
                entry += self.thunk_size
            result[self.c_string(name)] = functions
            at += 20
        return result

    def resource(self, kind, number):
        """The bytes of the first language of resource `number` of type `kind`, or None."""
        base_rva, _ = self.directories[2]
        if not base_rva:
            return None
        base = self.offset(base_rva)

        def child(directory, wanted):  # wanted: an id, or None for the first entry
            named, numbered = struct.unpack_from("<HH", self.data, directory + 12)
            for i in range(named + numbered):
                name, target = struct.unpack_from("<II", self.data, directory + 16 + 8 * i)
                if wanted is None or (not name & 0x80000000 and name == wanted):
                    return target
            return None

        target = child(base, kind)
        for wanted in (number, None):
            if target is None or not target & 0x80000000:
                return None
            target = child(base + (target & 0x7FFFFFFF), wanted)
        if target is None or target & 0x80000000:
            return None
        data_rva, size = struct.unpack_from("<II", self.data, base + target)
        at = self.offset(data_rva)
        return self.data[at:at + size]


def version_strings(block):
    """The fixed file version (four numbers) and the strings of each language of a VS_VERSIONINFO block."""
    def node(at):
        length, value_length, kind = struct.unpack_from("<HHH", block, at)
        end_key = at + 6
        while block[end_key:end_key + 2] != b"\0\0":
            end_key += 2
        key = block[at + 6:end_key].decode("utf-16-le")
        value_at = (end_key + 2 + 3) & ~3
        value_size = value_length * 2 if kind == 1 else value_length
        value = block[value_at:value_at + value_size]
        children, child = [], (value_at + value_size + 3) & ~3
        while child < at + length:
            children.append(node(child))
            child = (child + children[-1][3] + 3) & ~3
        return key, value, children, length

    key, fixed, children, _ = node(0)
    if key != "VS_VERSION_INFO" or struct.unpack_from("<I", fixed)[0] != 0xFEEF04BD:
        raise ValueError("not a version block")
    ms, ls = struct.unpack_from("<II", fixed, 8)
    numbers = (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
    languages = {}
    for child_key, _, tables, _ in children:
        if child_key == "StringFileInfo":
            for language, _, values, _ in tables:
                languages[language.lower()] = {
                    name: text.decode("utf-16-le").rstrip("\0") for name, text, _, _ in values}
    return numbers, languages


def check_version_block(pe):
    block = pe.resource(RT_VERSION, 1)
    if block is None:
        finding("no version information")
        return
    numbers, languages = version_strings(block)
    version = project_version()
    if numbers != tuple(int(n) for n in version.split(".")) + (0,):
        finding(f"the file version is {numbers}, VERSION says {version}")
    strings = languages.get("080404b0")
    if strings is None:
        finding(f"no Simplified Chinese strings in the version information, only {sorted(languages)}")
        return
    wanted = {"ProductName": "Quillmoor 标题遍历器", "FileVersion": version, "ProductVersion": version,
              "OriginalFilename": "Quillmoor.exe"}
    for name, text in wanted.items():
        if strings.get(name) != text:
            finding(f"version information: {name} is {strings.get(name)!r}, not {text!r}")
    if not re.search("[\u4e00-\u9fff]", strings.get("FileDescription", "")):
        finding(f"version information: the description {strings.get('FileDescription')!r} is not in Chinese")


def check_manifest(pe):
    text = pe.resource(RT_MANIFEST, 1)
    if text is None:
        finding("no application manifest")
        return
    try:
        root = ElementTree.fromstring(text)  # Windows refuses to start a program whose manifest is not XML
    except ElementTree.ParseError as e:
        finding(f"the manifest is not well-formed XML: {e}")
        return
    levels = [e.get("level") for e in root.iter("{urn:schemas-microsoft-com:asm.v3}requestedExecutionLevel")]
    if levels != ["asInvoker"]:
        finding(f"the manifest asks for the execution levels {levels}, not asInvoker alone")
    supported = {e.get("Id", "").lower() for e in root.iter("{urn:schemas-microsoft-com:compatibility.v1}supportedOS")}
    for guid, windows in WINDOWS_VERSIONS.items():
        if guid not in supported:
            finding(f"the manifest does not name {windows} as supported")


def check_program(path, arch):
    with open(path, "rb") as f:
        data = f.read()
    if len(data) > MOST_BYTES:
        finding(f"{path}: {len(data)} bytes, more than {MOST_BYTES}")
    try:
        pe = Pe(data)
    except (ValueError, struct.error) as e:
        finding(f"{path}: {e}")
        return
    if pe.machine != MACHINES[arch]:
        finding(f"{path}: built for machine {pe.machine:#x}, not {arch}")
    if pe.subsystem != 2:
        finding(f"{path}: not a windowed (GUI) program")
    debug = [name for name, _, _, _ in pe.sections if name.startswith((".debug", ".zdebug", "/"))]
    if debug or pe.directories[6][1]:
        finding(f"{path}: carries debug information: {debug or 'a debug directory'}")
    for dll, functions in pe.imports().items():
        if dll.lower() not in SYSTEM_DLLS:
            finding(f"{path}: imports {dll}, which not every Windows from 7 on has")
        for function in sorted(AFTER_WINDOWS_7.intersection(functions)):
            finding(f"{path}: imports {function} from {dll}, which Windows 7 lacks")
    check_version_block(pe)
    check_manifest(pe)
    print(f"== {os.path.basename(path)} ({arch}): {len(data)} bytes, imports "
          + ", ".join(sorted(pe.imports(), key=str.lower)))


def main(argv):
    if len(argv) == 4 and argv[1] == "zip":
        check_zip(argv[2], argv[3])
    elif len(argv) == 4 and argv[1] == "program" and argv[3] in MACHINES:
        check_program(argv[2], argv[3])
    else:
        sys.exit(__doc__)
    sys.exit(1 if findings else 0)


if __name__ == "__main__":
    main(sys.argv)
