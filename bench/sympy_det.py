#!/usr/bin/env python3
"""SymPy's determinant of the same symbolic MNA systems that bench_symbolic expands.

    bench/sympy_det.py BUILD/bench/bench_symbolic [NAME ...]

For each workload, bench_symbolic --matriz prints the system (entries as SymPy text); the
determinant is taken with Matrix.det() (SymPy's default method) and expanded, in a
child process given at most LIMIT seconds. Prints one line per workload: name, unknowns,
terms of the expanded determinant, seconds (or "> LIMIT").
"""
import subprocess
import sys
import time

LIMIT = 120
DEFAULT = ["sallen_key", "tow_thomas", "khn", "escada_lc_ordem_3", "escada_lc_ordem_5",
           "escada_lc_ordem_7", "escada_lc_ordem_9", "escada_rc_5", "escada_rc_7",
           "escada_rc_10"]


def determinant(text):
    import sympy
    lines = text.strip().splitlines()
    n = int(lines[0])
    m = sympy.zeros(n, n)
    for line in lines[1:]:
        r, c, entry = line.split(" ", 2)
        m[int(r) - 1, int(c) - 1] = sympy.sympify(entry)
    start = time.perf_counter()
    d = sympy.expand(m.det())
    seconds = time.perf_counter() - start
    return n, len(sympy.Add.make_args(d)), seconds


def in_child(script, text, limit):
    """Runs `script --filho` in a new Python with `text` on its input and returns what it
    printed, or None when it took more than `limit` seconds."""
    try:
        return subprocess.run([sys.executable, script, "--filho"], input=text,
                              capture_output=True, text=True, timeout=limit,
                              check=True).stdout
    except subprocess.TimeoutExpired:
        return None


def main():
    if len(sys.argv) == 2 and sys.argv[1] == "--filho":
        n, terms, seconds = determinant(sys.stdin.read())
        print(n, terms, f"{seconds:.4f}")
        return 0
    if len(sys.argv) < 2:
        print(__doc__)
        return 2
    program = sys.argv[1]
    for name in sys.argv[2:] or DEFAULT:
        system = subprocess.run([program, "--matriz", name], check=True, capture_output=True,
                                text=True).stdout
        done = in_child(__file__, system, LIMIT)
        if done is None:
            print(f"{name} {system.splitlines()[0]} ? > {LIMIT}", flush=True)
        else:
            n, terms, seconds = done.split()
            print(f"{name} {n} {terms} {seconds}", flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
