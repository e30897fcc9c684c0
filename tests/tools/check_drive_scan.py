#!/usr/bin/env python3
"""Scans a generated tree with `orbisto --drive` and checks the catalogue file
with a reader of its own, written from the format description alone: counts,
names, sizes, times, CRC32 values and directory totals must match the files
on disk.

Usage: check_drive_scan.py PATH-TO-ORBISTO
"""
import os
import random
import stat
import struct
import subprocess
import sys
import tempfile
import zipfile
import zlib

EPOCH_OFFSET = 116444736000000000  # FILETIME of 1970-01-01


def f32(x):
    return struct.unpack("<f", struct.pack("<f", x))[0]


def filetime(ns):
    return ns // 100 + EPOCH_OFFSET


def cstr(pool, off, enc):
    if off >= len(pool):
        return ""
    end = pool.find(b"\0", off)
    raw = pool[off:] if end < 0 else pool[off:end]
    # 65001: every text UTF-8; 1252: the header texts Windows-1252, the pools UTF-8.
    return raw.decode("utf-8" if enc in (65001, 1252) else "cp1252", errors="strict")


def read_catalog(path):
    data = open(path, "rb").read()
    if data[:2] == b"PK":
        with zipfile.ZipFile(path) as z:
            data = z.read("00.CD")
    (version,) = struct.unpack_from("<H", data, 0)
    assert version in (3, 4), f"version {version}"
    h = {}
    h["label"] = data[2:34].split(b"\0")[0]
    h["name"] = data[34:92].split(b"\0")[0]
    (h["free_kb"], h["drive_type"], h["encoding"], h["medium_flags"], h["category"],
     h["serial"], h["dir_count"], h["file_count"], h["total_kb"], h["number"],
     h["names_size"], h["images_size"]) = struct.unpack_from("<fHHIIIIIfIII", data, 92)
    (desc_len,) = struct.unpack_from("<I", data, 136 + 868)
    pos = 136 + 872
    h["description"] = data[pos:pos + desc_len]
    pos += desc_len
    # Name offsets are 24-bit, except in a version 4 file whose name pool is
    # larger than 2^24 bytes.
    mask = 0xFFFFFFFF if version == 4 and h["names_size"] > 1 << 24 else 0xFFFFFF
    dirs = []
    for _ in range(h["dir_count"]):
        name, comment, size, tlo, thi, flags, parent = struct.unpack_from("<IIfIIII", data, pos)
        dirs.append(dict(name=name & mask, comment=comment, size=size,
                         time=(thi << 32) | tlo, flags=flags, parent=parent))
        pos += 36
    files = []
    for _ in range(h["file_count"]):
        name, comment, size, tlo, thi, flags, parent, thumb = struct.unpack_from(
            "<IIfIIIII", data, pos)
        files.append(dict(name=name & mask, comment=comment, size=size,
                          time=(thi << 32) | tlo, flags=flags, parent=parent, thumb=thumb))
        pos += 32
    names = data[pos:pos + h["names_size"]]
    pos += h["names_size"]
    pos += h["images_size"]
    comments = data[pos:]
    enc = h["encoding"]
    for d in dirs:
        d["name"] = cstr(names, d["name"], enc)
        d["comment_text"] = cstr(comments, d["comment"], enc) if d["comment"] > 1 else ""
    for f in files:
        f["name"] = cstr(names, f["name"], enc)
        f["comment_text"] = cstr(comments, f["comment"], enc) if f["comment"] else ""
    return h, dirs, files


def make_tree(root):
    rnd = random.Random(7)
    base_ns = 1_600_000_000 * 10**9
    paths = []
    for d in ["", "a", "a/b", "a/b/c", "empty", "z"]:
        os.makedirs(os.path.join(root, d), exist_ok=True)
    sizes = [0, 1, 1023, 1024, 1025, 65536, 262145, 3 * 1024 * 1024 + 17]
    for i, size in enumerate(sizes):
        d = ["", "a", "a/b", "a/b/c", "z"][i % 5]
        p = os.path.join(root, d, f"file{i}.bin")
        with open(p, "wb") as fh:
            fh.write(rnd.randbytes(size))
        paths.append(p)
    # Names beyond ASCII: a UTF-8 name, and bytes that are not UTF-8 (old media).
    for name in ["Grüße.txt".encode(), "日本.txt".encode(), b"caf\xe9.txt"]:
        p = os.path.join(root.encode(), b"z", name)
        with open(p, "wb") as fh:
            fh.write(name * 3)
        paths.append(p.decode("utf-8", "surrogateescape"))
    for i, p in enumerate(paths):
        t = base_ns + i * 3_600 * 10**9 + 123_456_700
        os.utime(p, ns=(t, t))
    os.symlink("../a", os.path.join(root, "z", "link"))
    os.mkfifo(os.path.join(root, "z", "pipe"))


def disk_name(raw):
    b = os.fsencode(raw)
    try:
        return b.decode("utf-8")
    except UnicodeDecodeError:
        return b.decode("cp1252")


def main():
    exe = os.path.abspath(sys.argv[1])
    failures = []

    def check(cond, what):
        if not cond:
            failures.append(what)

    with tempfile.TemporaryDirectory() as tmp:
        home = os.path.join(tmp, "home")
        cds = os.path.join(tmp, "cds")
        tree = os.path.join(tmp, "tree")
        os.makedirs(home)
        os.makedirs(cds)
        with open(os.path.join(home, "orbisto.INI"), "w") as fh:
            fh.write("[Optionen]\nCRC32=1\n")
        make_tree(tree)
        env = dict(os.environ, ORBISTO_HOME=home)
        run = subprocess.run([exe, "--drive", tree, "--dir", cds], env=env,
                             stdin=subprocess.DEVNULL, capture_output=True, timeout=120)
        if run.returncode != 0:
            print("orbisto --drive failed:", run.returncode, run.stderr.decode(errors="replace"))
            return 1
        cats = [n for n in os.listdir(cds) if n.lower().endswith(".cd")]
        check(cats == ["0.cd"], f"catalogue files {cats}")
        h, dirs, files = read_catalog(os.path.join(cds, cats[0]))

        # Expected entries from the disk, walked without following links.
        want_dirs, want_files = set(), {}
        for dirpath, dirnames, filenames in os.walk(tree, followlinks=False):
            rel = os.path.relpath(dirpath, tree)
            if rel != ".":
                want_dirs.add("/".join(disk_name(p) for p in rel.split(os.sep)))
            for n in filenames + [d for d in dirnames if os.path.islink(os.path.join(dirpath, d))]:
                full = os.path.join(dirpath, n)
                key = "/".join(disk_name(p) for p in os.path.relpath(full, tree).split(os.sep))
                want_files[key] = os.lstat(full)

        # DirRecord 1 holds the scanned path; everything hangs below it.
        check(h["dir_count"] == len(dirs) and len(dirs) == len(want_dirs) + 2,
              f"dir_count {h['dir_count']}, expected {len(want_dirs) + 2}")
        check(dirs[1]["name"] == tree and dirs[1]["parent"] == 0, f"DirRecord 1 {dirs[1]['name']}")

        def dpath(i):
            parts = []
            while i > 1:
                d = dirs[i]
                assert d["parent"] < i, "parent not before child"
                parts.append(d["name"])
                i = d["parent"]
            check(i == 1, "a directory outside the scanned path")
            return "/".join(reversed(parts))

        got_dirs = {dpath(i) for i in range(2, len(dirs))}
        check(got_dirs == want_dirs, f"directories {sorted(got_dirs ^ want_dirs)}")
        got = {}
        for f in files:
            prefix = dpath(f["parent"])
            got[(prefix + "/" if prefix else "") + f["name"]] = f
        check(set(got) == set(want_files), f"files differ: {sorted(set(got) ^ set(want_files))}")
        check(h["file_count"] == len(want_files), f"file_count {h['file_count']}")

        for key, st in want_files.items():
            f = got.get(key)
            if f is None:
                continue
            check(f["size"] == f32(st.st_size / 1024), f"{key}: size_kb {f['size']}")
            check(f["time"] == filetime(st.st_mtime_ns), f"{key}: time {f['time']}")
            full = os.path.join(tree, *[p for p in key.split("/")])
            regular = stat.S_ISREG(st.st_mode)
            if regular and st.st_size > 0:
                crc = zlib.crc32(open(os.fsencode(full) if os.path.exists(full) else
                                      _raw_path(tree, key), "rb").read())
                check(f["flags"] & 1 == 1, f"{key}: no CRC flag")
                check(f["comment_text"][:12] == "CRC:%08X" % crc,
                      f"{key}: comment {f['comment_text']!r}, crc {crc:08X}")
            if not regular:
                check(f["flags"] & 1 == 0, f"{key}: CRC on a non-regular file")

        # Directory totals: files add to their directory, then every directory
        # from the last down to 1 adds to its parent, in 32-bit float steps.
        size = [0.0] * len(dirs)
        newest = [0] * len(dirs)
        for f in files:
            size[f["parent"]] = f32(size[f["parent"]] + f["size"])
            newest[f["parent"]] = max(newest[f["parent"]], f["time"])
        for i in range(len(dirs) - 1, 0, -1):
            p = dirs[i]["parent"]
            size[p] = f32(size[p] + size[i])
            newest[p] = max(newest[p], newest[i])
        for i, d in enumerate(dirs):
            check(d["size"] == size[i], f"dir {i} size {d['size']} != {size[i]}")
            check(d["time"] == newest[i], f"dir {i} time {d['time']} != {newest[i]}")
        total = sum(f["size"] for f in files)
        check(abs(h["total_kb"] - total) <= 1e-5 * max(total, 1), f"total_kb {h['total_kb']}")

    for f in failures:
        print("FAIL:", f)
    print("checked", "with", len(failures), "failures")
    return 1 if failures else 0


def _raw_path(tree, key):
    # A name that was not UTF-8 on disk: find it again by its Windows-1252 reading.
    d, name = os.path.split(key)
    folder = os.path.join(os.fsencode(tree), *[os.fsencode(p) for p in d.split("/") if p])
    for raw in os.listdir(folder):
        if disk_name(os.fsdecode(raw)) == name:
            return os.path.join(folder, raw)
    raise FileNotFoundError(key)


if __name__ == "__main__":
    sys.exit(main())
