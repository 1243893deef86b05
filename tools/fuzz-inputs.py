#!/usr/bin/env python3
"""Mutation fuzzing of the three inputs: model files (.slb through brennix-run),
numeric solver inputs (.sin through the solver library, itorve-run) and mesher
inputs (.i through tessaro-run).

    tools/fuzz-inputs.py BIN_DIR [--kind slb|sin|i] [--count N] [--seed S]
                         [--work DIR] [--timeout SECONDS] [--seeds FILE...]

Each mutant gets one to four text mutations (a number replaced by an extreme
or malformed value, lines deleted, doubled or swapped, bytes inserted, tokens
changed, the file cut short, long lines, bit flips) and runs under a time
limit (timeout), a file-size limit (ulimit -f) and, for a sanitizer build,
ASan's memory limit. A run is a fault when it hangs, dies of a signal,
prints a sanitizer report, or succeeds with no step (no element) or with a
value that is not finite. The faults are kept in WORK/faults with the
command that shows them; a summary line per kind ends the run.
"""
import argparse
import os
import random
import re
import shutil
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

NUMBERS = ["0", "1", "-1", "2", "-2", "2147483647", "-2147483648", "2147483648", "4294967296", "9" * 20,
           "9" * 400, "1e309", "-1e309", "1e-320", "nan", "inf", "-inf", "", "x", "1e15", "1e300", "-1e300",
           "0x10", "1,5", "1d5", "-99999999", "99999999", "1e-9", "3", "4", "8", "9", "0.5", "-0.5"]
BYTES = ["\0", "\r", "\n", "*", "\xff", "é", "Ü", "模", "😀", "\t", "%n", "END_DATA", " "]
NUMBER = re.compile(r"-?\d+(\.\d*)?([eE][-+]?\d+)?")


def mutate(text, rng):
    lines = text.split("\n")
    for _ in range(rng.randint(1, 4)):
        op = rng.randrange(10)
        if not lines:
            lines = [""]
        k = rng.randrange(len(lines))
        if op <= 2:  # one number replaced
            spots = [(i, m) for i, line in enumerate(lines) for m in NUMBER.finditer(line)]
            if spots:
                i, m = rng.choice(spots)
                if rng.random() < 0.25:
                    value = float(m.group(0)) * rng.choice([-1, 10, 0.1, 1000, 1e6, 1e-6])
                    new = repr(value)
                else:
                    new = rng.choice(NUMBERS)
                lines[i] = lines[i][:m.start()] + new + lines[i][m.end():]
        elif op == 3:
            del lines[k]
        elif op == 4:
            lines[k:k] = [lines[k]] * rng.choice([1, 2, 50])
        elif op == 5:
            j = rng.randrange(len(lines))
            lines[k], lines[j] = lines[j], lines[k]
        elif op == 6:
            at = rng.randint(0, len(lines[k]))
            lines[k] = lines[k][:at] + rng.choice(BYTES) + lines[k][at:]
        elif op == 7:
            words = lines[k].split()
            if words:
                w = rng.randrange(len(words))
                choice = rng.randrange(3)
                if choice == 0:
                    del words[w]
                elif choice == 1:
                    words.insert(w, rng.choice(words))
                else:
                    words[w], words[-1] = words[-1], words[w]
                lines[k] = "\t".join(words)
        elif op == 8:
            if rng.random() < 0.5:
                lines = lines[:k]
            else:
                lines[k] = lines[k] * rng.choice([100, 1000, 100000 // max(1, len(lines[k]) + 1)])
        else:
            data = bytearray("\n".join(lines).encode("utf-8", "surrogateescape"))
            if data:
                at = rng.randrange(len(data))
                data[at] ^= 1 << rng.randrange(8)
            lines = data.decode("utf-8", "surrogateescape").split("\n")
    return "\n".join(lines)


def values_ok(path, min_steps):
    """Step results with at least one step and only finite values."""
    try:
        with open(path, "rb") as f:
            words = f.read().split()
    except OSError:
        return "no step results"
    steps = words.count(b"STEP")
    if steps < min_steps:
        return "no step in the step results"
    for w in words:
        lw = w.lower()
        if b"nan" in lw or b"inf" in lw:
            return "a value that is not finite: %s" % w.decode("latin-1")
    return ""


def mesh_ok(path):
    try:
        with open(path, "rb") as f:
            head = f.read(64)
    except OSError:
        return "no mesh"
    fields = head.split()
    if len(fields) >= 2 and fields[0].isdigit():
        return "" if int(fields[0]) > 0 and int(fields[1]) > 0 else "an empty mesh printed as success"
    if len(head) >= 8:  # binary: two 32-bit counts
        n = int.from_bytes(head[0:4], "little", signed=True)
        e = int.from_bytes(head[4:8], "little", signed=True)
        return "" if n > 0 and e > 0 else "an empty mesh printed as success"
    return "an empty mesh printed as success"


def seeds(kind):
    pick = {"slb": [os.path.join(ROOT, "examples", f) for f in ("winkler-mat.slb", "mat-piles.slb",
                                                                 "slab-point-loads.slb")],
            "sin": [os.path.join(ROOT, "tests/data/model/sin/vlasov.sin"),
                    os.path.join(ROOT, "tests/data/model/sin/gaps.sin"),
                    os.path.join(ROOT, "tests/data/solver/echo4.sin")],
            "i": [os.path.join(ROOT, "tests/data/mesher", f) for f in ("octagon-free-tri.i", "octagon-default-q4.i",
                                                                      "circular-default-q8.i")] +
                 [os.path.join(ROOT, "tests/data/meshtools/templates/circular_4.i")]}
    return [p for p in pick[kind] if os.path.exists(p)]


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("bin")
    ap.add_argument("--kind", choices=["slb", "sin", "i"], default="slb")
    ap.add_argument("--count", type=int, default=100)
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--work", default="/tmp/brennix-fuzz")
    ap.add_argument("--timeout", type=int, default=20)
    ap.add_argument("--filesize-kb", type=int, default=262144)
    ap.add_argument("--seeds", nargs="*", help="seed files in place of the project's own")
    a = ap.parse_args()

    tool = {"slb": "brennix-run", "sin": "itorve-run", "i": "tessaro-run"}[a.kind]
    exe = os.path.join(os.path.abspath(a.bin), tool)
    rng = random.Random(a.seed)
    texts = [open(p, encoding="utf-8", errors="surrogateescape").read() for p in (a.seeds or seeds(a.kind))]
    faults_dir = os.path.join(a.work, "faults")
    os.makedirs(faults_dir, exist_ok=True)
    env = dict(os.environ)
    env["ASAN_OPTIONS"] = ("hard_rss_limit_mb=3000:malloc_limit_mb=3000:allocator_may_return_null=1:"
                           "detect_leaks=1:halt_on_error=1:abort_on_error=0")
    env["UBSAN_OPTIONS"] = "print_stacktrace=1:halt_on_error=1"
    env["LSAN_OPTIONS"] = "suppressions=%s/scripts/lsan.supp:print_suppressions=0" % ROOT
    counts = {"runs": 0, "accepted": 0, "refused": 0, "faults": 0}
    for n in range(a.count):
        text = mutate(rng.choice(texts), rng)
        run_dir = os.path.join(a.work, "run")
        shutil.rmtree(run_dir, ignore_errors=True)
        os.makedirs(run_dir)
        name = os.path.join(run_dir, "m." + a.kind)
        with open(name, "w", encoding="utf-8", errors="surrogateescape") as f:
            f.write(text)
        command = "ulimit -c 0; ulimit -f %d; exec timeout -s KILL %d %s %s" % (a.filesize_kb, a.timeout, exe, name)
        p = subprocess.run(["bash", "-c", command], cwd=run_dir, env=env, capture_output=True)
        if p.returncode in (-9, 137):
            # A loaded machine can stall a run: a runaway is one that a
            # second try with three times the time does not finish either.
            again = command.replace("timeout -s KILL %d" % a.timeout, "timeout -s KILL %d" % (3 * a.timeout))
            p = subprocess.run(["bash", "-c", again], cwd=run_dir, env=env, capture_output=True)
        out = p.stdout.decode("latin-1") + p.stderr.decode("latin-1")
        counts["runs"] += 1
        fault = ""
        if p.returncode == -9 or p.returncode == 137:
            fault = "runaway (killed after %d s)" % a.timeout
        elif re.search(r"ERROR: (Address|Leak)Sanitizer|runtime error:|AddressSanitizer|UndefinedBehaviorSanitizer",
                       out):
            fault = "sanitizer report"
        elif p.returncode < 0 or p.returncode > 2:
            fault = "ended by a signal or abort (code %d)" % p.returncode
        elif p.returncode == 0:
            counts["accepted"] += 1
            if a.kind == "i":
                fault = mesh_ok(name[:-2] + ".fem")
            else:
                fault = values_ok(os.path.join(run_dir, "m.sds"), 1)
        else:
            counts["refused"] += 1
        if fault:
            counts["faults"] += 1
            keep = os.path.join(faults_dir, "%s-%d-%d" % (a.kind, a.seed, n))
            shutil.rmtree(keep, ignore_errors=True)
            shutil.copytree(run_dir, keep)
            with open(os.path.join(keep, "why.txt"), "w") as f:
                f.write("%s\n%s\ncode %d\n%s\n" % (fault, command, p.returncode, out[-4000:]))
            print("fault %s: %s" % (keep, fault), flush=True)
        if counts["runs"] % 100 == 0:
            print("%d runs, %d faults" % (counts["runs"], counts["faults"]), flush=True)
    print("%s: %d runs, %d accepted, %d refused, %d faults" % (a.kind, counts["runs"], counts["accepted"],
                                                                counts["refused"], counts["faults"]), flush=True)
    return 1 if counts["faults"] else 0


if __name__ == "__main__":
    sys.exit(main())
