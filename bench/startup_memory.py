#!/usr/bin/env python3
"""Start-up time and peak resident memory of GRIDOR and PLOTOR, build folder
beside build folder (default limits, raised limits), in one run.

    bench/startup_memory.py BUILD [BUILD ...] [--runs N]

Start-up is a session with an empty script: the program starts, reaches its
first question and stops there. The example sessions are the bundled demo
scripts, run in a scratch copy of examples/. Times are medians of N runs
(wall clock, this machine is shared; GNU time adds its own start-up to
each); memory is the largest peak RSS, from /usr/bin/time."""
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
EXAMPLES = os.path.join(HERE, "..", "examples")

CASES = [
    ("gridor start-up", "gridor", None),
    ("plotor start-up", "plotor", None),
    ("gridor quad8 demo", "gridor", "demo.script"),
    ("plotor elastic demo", "plotor", "demo_plotor.script"),
    ("plotor plate demo", "plotor", "demo_plate.script"),
]


def run_once(program, script, work):
    # GNU time reports the program's own peak: a child of this interpreter
    # would count the interpreter's pages it was forked with.
    peak_file = os.path.join(work, "peak")
    args = ["/usr/bin/time", "-f", "%M", "-o", peak_file, program, "--script", script, "--transcript", os.path.join(work, "t.txt"),
            "--snapshots", os.path.join(work, "snapshots")]
    start = time.perf_counter()
    child = subprocess.Popen(args, cwd=work, stdout=subprocess.DEVNULL,
                             stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL)
    child.wait()
    seconds = time.perf_counter() - start
    with open(peak_file) as f:
        kb = float(f.read().split()[-1])
    return seconds, kb / 1024.0


def measure(build, runs):
    rows = {}
    with tempfile.TemporaryDirectory() as work:
        empty = os.path.join(work, "empty.script")
        open(empty, "w").close()
        for label, name, script in CASES:
            program = os.path.join(build, name)
            if not os.access(program, os.X_OK):
                continue
            times, peak = [], 0.0
            for _ in range(runs):
                case = os.path.join(work, "case")
                shutil.rmtree(case, ignore_errors=True)
                shutil.copytree(EXAMPLES, case, ignore=shutil.ignore_patterns("out", "generator"))
                path = empty if script is None else os.path.join(EXAMPLES, script)
                seconds, mb = run_once(program, path, case)
                times.append(seconds * 1000.0)
                peak = max(peak, mb)
            rows[label] = (statistics.median(times), peak)
    return rows


def main():
    args = sys.argv[1:]
    runs = 15
    if "--runs" in args:
        at = args.index("--runs")
        runs = int(args[at + 1])
        del args[at:at + 2]
    if not args:
        print(__doc__)
        return 2
    args = [os.path.abspath(b) for b in args]
    results = [(b, measure(b, runs)) for b in args]
    first = results[0][1]
    print(f"{'case':22} {'build':28} {'ms':>8} {'MB':>8} {'ms/1st':>7} {'MB/1st':>7}")
    for label, _, _ in CASES:
        for build, rows in results:
            if label not in rows:
                continue
            ms, mb = rows[label]
            base = first.get(label, (ms, mb))
            print(f"{label:22} {os.path.basename(build.rstrip('/')):28} {ms:8.1f} {mb:8.1f} "
                  f"{ms / base[0]:7.2f} {mb / base[1]:7.2f}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
