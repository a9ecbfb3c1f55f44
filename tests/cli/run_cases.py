#!/usr/bin/env python3
"""Runs one table of command-line cases (tests/cli/cases/PROGRAM.cases) as a user runs them.

  run_cases.py TABLE GOLDEN-DIR NAME=VALUE...

NAME=VALUE pairs name the programs (kestrel=/path/to/kestrel) and folders ({samples}) that the
table uses in braces. The table's program is the file's name; every command runs in a fresh
work folder ({work}), with HOME there and no display. A line of the table is a step or a case.

Steps prepare the work folder, in order with the cases:
  copy DST SRC | write FILE 'TEXT with \\n or \\x1b escapes' | zeros FILE N [BYTE] | random FILE N
  cut DST SRC N | mkdir DIR | symlink LINK TARGET | hardlink LINK TARGET | fifo FILE
  damage DST SRC SEED (and DST.cut, a third of it) | lock FILE | unlock FILE
  empty DIR/PREFIX N (N empty files PREFIX1 ... PREFIXN)
  imd DST SRC FROM COUNT [HEADS SECTORS SIZECODE MODE]: an ImageDisk file whose sectors FROM
    to FROM+COUNT-1 (in file order) are records of data read with errors; SRC is ImageDisk, or
    a flat disk laid out as tracks of SECTORS sectors of 128 << SIZECODE bytes
and "foreach NAME VALUE..." repeats the lines up to "end" with {NAME} as each value (a value
with * or [ is a file pattern: each file it matches, none when there is none). A line
with {A|B|C} in it stands for one line with each of A, B and C there (for unnamed cases).

A case is  NAME STATUS [OPTION...] : ARGUMENT...
  The program is the table's, or @PROGRAM as the first argument. STATUS is an exit status, or
  several as 0/1, or "timeout". Standard output and error are compared whole with
  GOLDEN-DIR/NAME.out and NAME.err (the work folder written as {work}) unless the options say
  no-out / no-err (must be empty); a NAME beginning with "-" compares neither. Every image
  (*.img, *.imd, *.cut) in the work folder keeps its size, and its bytes and modification time
  unless the case says "changes" ("touches": the bytes stay); a changed ImageDisk file (*.imd),
  made anew, may change its size. Other options:
    file:PATH=SHA256 / file:PATH=absent    what the command leaves at PATH; file:-=SHA256 is
                                           standard output (then not compared with a golden)
    file:DIR=SHA256                        the checksum of every file below DIR with its path
    window:NAME   standard output is the window's text tests/golden/NAME.txt, with LF line ends
    stdin:FILE  append:FILE (standard output appended to FILE)  full (standard output is
    /dev/full)  fsize:BYTES (the file size limit)
    timeout:SECONDS (default 60; a case that runs longer has hung)
    env:NAME=VALUE (an environment variable for this command; {work} is the work folder)
    glob (arguments with * are file patterns in the work folder)
  No case may leave a temporary (.*.part) of the one output policy anywhere in the work folder.
UPDATE_GOLDEN=1 rewrites the golden files from what the programs print now.
"""
import codecs, fcntl, glob, hashlib, os, random as _random, re, resource, shlex, shutil, subprocess
import sys, tempfile
from pathlib import Path

STEPS = {"copy", "write", "zeros", "random", "cut", "mkdir", "symlink", "hardlink", "fifo",
         "damage", "lock", "unlock", "empty", "imd"}


def sha(path):
    return hashlib.sha256(Path(path).read_bytes()).hexdigest()


def tree_sha(root):
    lines = sorted(f"{sha(p)}  {p.relative_to(root)}\n" for p in Path(root).rglob("*")
                   if p.is_file() and not p.is_symlink())
    return hashlib.sha256("".join(lines).encode()).hexdigest()


def damaged(data, seed):
    """Every 97th byte from seed on changed: a deterministic copy with damage all over."""
    data = bytearray(data)
    for i in range(seed, len(data), 97):
        data[i] = (data[i] * 7 + i) & 255
    return bytes(data)


def imd_with_errors(data, first, count, layout):
    """An ImageDisk file of data (ImageDisk, or flat when layout gives its tracks) whose sectors
    first..first+count-1 are data-error records: the same bytes, marked as read with errors."""
    if layout:
        heads, sectors, code, mode = (int(x) for x in layout)
        size = 128 << code
        out = bytearray(b"IMD 1.18: 01/02/2003 04:05:06\r\n\x1a")
        for t in range(len(data) // (size * sectors)):
            out += bytes([mode, t // heads, t % heads, sectors, code]) + bytes(range(1, sectors + 1))
            for s in range(sectors):
                at = (t * sectors + s) * size
                out += b"\x01" + data[at:at + size]
        data = bytes(out)
    out = bytearray(data)
    at = data.index(b"\x1a") + 1
    index = 0
    while at < len(out):
        head, sectors, code = out[at + 2], out[at + 3], out[at + 4]
        at += 5 + sectors * (1 + bool(head & 0x80) + bool(head & 0x40))
        for _ in range(sectors):
            kind = out[at]
            if first <= index < first + count and 1 <= kind <= 4:
                out[at] = kind + 4  # data error, with the bytes kept
            at += 1 + (0 if kind == 0 else 1 if kind % 2 == 0 else 128 << code)
            index += 1
    return bytes(out)


def alternatives(words):
    """The lines a line with {A|B} in a word stands for."""
    for i, word in enumerate(words):
        found = re.search(r"\{([^{}]*\|[^{}]*)\}", word)
        if found:
            for choice in found.group(1).split("|"):
                changed = word[:found.start()] + choice + word[found.end():]
                yield from alternatives(words[:i] + [changed] + words[i + 1:])
            return
    yield words


class Table:
    def __init__(self, table, golden, names):
        self.program = Path(table).stem
        self.golden = Path(golden)
        self.names = names
        self.update = os.environ.get("UPDATE_GOLDEN") == "1"
        self.work = Path(tempfile.mkdtemp(prefix=f"cli-{self.program}-")).resolve()
        self.names["work"] = str(self.work)
        self.locks = {}
        self.failures = 0
        self.cases = 0
        self.lines = Path(table).read_text().splitlines()

    def fail(self, where, message):
        print(f"FAIL {where}: {message}")
        self.failures += 1

    def expand(self, text):
        for name, value in self.names.items():
            text = text.replace("{" + name + "}", value)
        return text

    def step(self, words):
        w = self.work
        op, args = words[0], words[1:]
        if op == "copy": shutil.copyfile(args[1], w / args[0])
        elif op == "write": (w / args[0]).write_bytes(codecs.escape_decode(args[1].encode())[0])
        elif op == "zeros":
            (w / args[0]).write_bytes(bytes([int(args[2], 0) if len(args) > 2 else 0]) * int(args[1]))
        elif op == "random": (w / args[0]).write_bytes(_random.Random(1).randbytes(int(args[1])))
        elif op == "cut": (w / args[0]).write_bytes((w / args[1]).read_bytes()[:int(args[2])])
        elif op == "mkdir": (w / args[0]).mkdir(parents=True, exist_ok=True)
        elif op == "symlink": os.symlink(args[1], w / args[0])
        elif op == "hardlink": os.link(w / args[1], w / args[0])
        elif op == "fifo": os.mkfifo(w / args[0])
        elif op == "damage":
            data = damaged((w / args[1]).read_bytes(), int(args[2]))
            (w / args[0]).write_bytes(data)
            (w / (args[0] + ".cut")).write_bytes(data[:len(data) // 3])
        elif op == "lock":
            self.locks[args[0]] = open(w / args[0], "rb")
            fcntl.flock(self.locks[args[0]], fcntl.LOCK_EX)
        elif op == "empty":
            for i in range(1, int(args[1]) + 1):
                (w / f"{args[0]}{i}").write_bytes(b"")
        elif op == "unlock": self.locks.pop(args[0]).close()
        elif op == "imd":
            (w / args[0]).write_bytes(imd_with_errors((w / args[1]).read_bytes(), int(args[2]),
                                                      int(args[3]), args[4:]))

    def images(self):
        return {p: (p.stat().st_size, p.stat().st_mtime_ns, sha(p)) for p in self.work.iterdir()
                if p.suffix in (".img", ".imd", ".cut") and p.is_file()}

    def run_case(self, head, args, number):
        name, status, options = head[0], head[1], head[2:]
        where = f"line {number} {name}"
        self.cases += 1
        program = self.program
        if args and args[0].startswith("@"):
            program, args = args[0][1:], args[1:]
        exe = self.names.get(program, program)
        opts = dict(o.split(":", 1) if ":" in o else (o, "") for o in options)
        files = dict(o.split(":", 1)[1].split("=", 1) for o in options
                     if o.startswith("file:"))
        limit = int(opts["fsize"]) if "fsize" in opts else None

        def preexec():
            if limit is not None:
                resource.setrlimit(resource.RLIMIT_FSIZE, (limit, limit))

        # Arguments may hold escapes (\x1b) for bytes a table cannot show.
        args = [codecs.escape_decode(a.encode())[0].decode("latin-1") if "\\" in a else a
                for a in args]
        if "glob" in opts:
            args = [a for arg in args for a in (sorted(str(p.relative_to(self.work))
                    for p in self.work.glob(arg)) or [arg])]
        before = self.images()
        stdin = open(self.work / opts["stdin"], "rb") if "stdin" in opts else subprocess.DEVNULL
        stdout = open("/dev/full", "wb") if "full" in opts else subprocess.PIPE
        if "append" in opts:
            stdout = open(self.work / opts["append"], "ab")
        env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
        env["HOME"] = str(self.work)
        for o in options:
            if o.startswith("env:"):
                key, value = o[4:].split("=", 1)
                env[key] = value.replace("{work}", str(self.work))
        process = subprocess.Popen([exe] + args, cwd=self.work, stdin=stdin, stdout=stdout,
                                   stderr=subprocess.PIPE, env=env, preexec_fn=preexec)
        try:
            out, err = process.communicate(timeout=float(opts.get("timeout", 60)))
            got = str(process.returncode)
        except subprocess.TimeoutExpired:
            process.kill()
            out, err = process.communicate()
            got = "timeout"
        out = (out or b"").replace(str(self.work).encode(), b"{work}")
        err = err.replace(str(self.work).encode(), b"{work}")
        if got not in status.split("/"):
            self.fail(where, f"exit {got}, expected {status}\n    {err.decode(errors='replace')}")
        if "window" in opts:
            text = (self.golden.parent.parent / (opts["window"] + ".txt")).read_bytes()
            text = text.replace(b"\r\n", b"\n")
            if out != text and out != text + b"\n":
                self.fail(where, f"standard output differs from the window's {opts['window']}")
        if not name.startswith("-"):
            for stream, text in (("out", out), ("err", err)):
                compared = process.stdout and "window" not in opts and "-" not in files
                if stream == "err" or compared:
                    self.compare(where, name, stream, text, f"no-{stream}" in opts)
        after = self.images()
        for path, state in before.items():
            # A command that changes a flat image keeps its size.
            now = after.get(path, (None,))
            if "touches" in opts:  # written, but every byte put back
                now, state = now[::2], state[::2]
            resized = now[0] != state[0] and not (path.suffix == ".imd" and "changes" in opts)
            if resized or ("changes" not in opts and now != state):
                self.fail(where, f"{path.name} changed: {state} -> {now}")
        for left in self.work.rglob(".*.part"):
            self.fail(where, f"the temporary {left} is left")
        for path, want in files.items():
            full = self.work / path
            if path == "-":
                gotsum = hashlib.sha256(out).hexdigest()
            elif want == "absent":
                gotsum = "absent" if not os.path.lexists(full) else "present"
            elif not full.exists():
                gotsum = "missing"
            else:
                gotsum = tree_sha(full) if full.is_dir() else sha(full)
            if gotsum != want:
                self.fail(where, f"{path}: {gotsum}, expected {want}")

    def compare(self, where, name, stream, text, empty):
        if empty:
            if text:
                self.fail(where, f"standard {stream} is not empty:\n{text.decode('latin-1')}")
            return
        path = self.golden / f"{name}.{stream}"
        if self.update:
            path.parent.mkdir(parents=True, exist_ok=True)
            path.write_bytes(text)
        elif not path.exists() or path.read_bytes() != text:
            want = path.read_bytes() if path.exists() else b"(no golden file)"
            self.fail(where, f"standard {stream} differs from {path}\n--- expected\n"
                      f"{want.decode(errors='replace')[:1500]}\n--- actual\n"
                      f"{text.decode(errors='replace')[:1500]}")

    def numbered_lines(self):
        """The table's lines with their numbers, foreach blocks unrolled."""
        block = None
        for number, line in enumerate(self.lines, 1):
            words = shlex.split(line, comments=True)
            if words[:1] == ["foreach"]:
                values = [v for w in words[2:] for v in (sorted(glob.glob(self.expand(w)))
                                                         if "*" in w or "[" in w else [w])]
                block = (words[1], values, [])
            elif words[:1] == ["end"]:
                for value in block[1]:
                    for n, w in block[2]:
                        line = [x.replace("{" + block[0] + "}", value) for x in w]
                        yield from ((n, a) for a in alternatives(line))
                block = None
            elif block:
                block[2].append((number, words))
            elif words:
                yield from ((number, w) for w in alternatives(words))

    def run(self):
        try:
            for number, words in self.numbered_lines():
                words = [self.expand(w) for w in words]
                if words[0] in STEPS:
                    self.step(words)
                else:
                    colon = words.index(":")
                    self.run_case(words[:colon], words[colon + 1:], number)
        finally:
            shutil.rmtree(self.work, ignore_errors=True)
        print(f"{self.program}: {self.cases} cases, {self.failures} failed")
        return self.failures == 0


if __name__ == "__main__":
    names = dict(a.split("=", 1) for a in sys.argv[3:])
    sys.exit(0 if Table(sys.argv[1], sys.argv[2], names).run() else 1)
