#!/usr/bin/env python3
"""SymPy's exact sparse solver beside corvane-cli on the benchmark's random RC networks.

    bench/sympy_rc.py BUILD [NETWORK ...]      NETWORK: densa_N or esparsa_N_NZ

Each network is the one bench/dense_table.sh makes (seed 1; a current step into node 1,
a capacitor to ground at every node the element limit allows, resistors between nodes).
SymPy builds the nodal system Y(s) = G + sC as a DomainMatrix over QQ[s], every value an
exact decimal, and solves Y x = e1 with solve_den: every numerator and their common
denominator, exactly. That runs in a child process given at most LIMIT seconds (default
120, from the environment); only the solve is timed, not the start of Python or the import
of SymPy. corvane-cli analisar is timed as a whole process (the median of RUNS runs,
default 5) on the same netlist, as a user running it would see it, with the dispersion
cleaning off (see CORVANE_OPTIONS). Its functions (from
--json, the step's 1/s included) are compared with SymPy's at a few frequencies s = jw.
Prints a Markdown table: unknowns, SymPy's solve, Corvane's process, their ratio and the
largest relative difference between the two results.
"""
import json
import os
import statistics
import subprocess
import sys
import tempfile
import time

import sympy_det

LIMIT = float(os.environ.get("LIMIT", "120"))
RUNS = int(os.environ.get("RUNS", "5"))
DEFAULT = ["densa_10", "densa_12", "densa_14", "densa_16", "esparsa_15_100",
           "esparsa_20_100", "esparsa_23_100", "esparsa_25_100"]
# Around the networks' poles (1 kΩ and 1 µF give 1000 rad/s).
FREQUENCIES = [10.0, 300.0, 1e3, 3e3, 1e5]
HERE = os.path.dirname(os.path.abspath(__file__))
# Corvane's default dispersion (1e9) zeroes the coefficients of a polynomial that lie more
# than nine decades below its largest, and the coefficients of these networks span more:
# the same exact functions are compared only with that cleaning off.
CORVANE_OPTIONS = ["--dispersao", "1e300"]


def netlist(name):
    kind, *numbers = name.split("_")
    return subprocess.run([os.path.join(HERE, "dense_table.sh"), "--rede", kind, *numbers],
                          check=True, capture_output=True, text=True).stdout


def nodal_system(text):
    """Y(s) over QQ[s] and the node count, from the R, C and I lines of `text`."""
    from sympy import QQ, Rational, symbols
    from sympy.polys.matrices import DomainMatrix
    s = symbols("s")
    ring = QQ[s]
    entries = {}

    def add(a, b, value):
        if a and b:
            row = entries.setdefault(a - 1, {})
            row[b - 1] = row.get(b - 1, ring.zero) + value

    nodes = 0
    for line in text.splitlines()[1:]:
        name, a, b, value = line.split()[:4]
        a, b = int(a), int(b)
        nodes = max(nodes, a, b)
        if name[0] == "I":
            continue
        admittance = ring.from_sympy(1 / Rational(value) if name[0] == "R" else Rational(value) * s)
        add(a, a, admittance)
        add(b, b, admittance)
        add(a, b, -admittance)
        add(b, a, -admittance)
    y = DomainMatrix(entries, (nodes, nodes), ring)
    e1 = DomainMatrix({0: {0: ring.one}}, (nodes, 1), ring)
    return y, e1


def value_at(element, s):
    return sum(float(c) * s ** e[0] for e, c in element.terms())


def solve(text):
    """In the child: the time of the exact solve and the values of every unknown."""
    y, e1 = nodal_system(text)
    start = time.perf_counter()
    numerators, denominator = y.solve_den(e1)
    seconds = time.perf_counter() - start
    den = denominator
    rows = numerators.to_list()
    values = []
    for w in FREQUENCIES:
        s = 1j * w
        # The step's transform 1/s, which Corvane folds into every function.
        scale = 1 / (value_at(den, s) * s)
        values.append([[z.real, z.imag] for z in (value_at(r[0], s) * scale for r in rows)])
    return {"unknowns": y.shape[0], "seconds": seconds, "values": values}


def corvane_values(document, s):
    def poly(p):
        return sum(c * s ** k for k, c in enumerate(p["coeficientes"])) * p["constante"]
    d = poly(document["denominador"])
    return [poly(v["numerador"]) / d for v in document["variaveis"]]


def corvane(cli, text):
    """Corvane's median wall time per process and its functions."""
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "rede.net")
        with open(path, "w") as f:
            f.write(text)
        times = []
        for run in range(RUNS):
            # Each run in a folder of its own: replacing the files of a run a few
            # milliseconds old makes ext4 wait for their writing, which is the file
            # system's time, not the analysis's.
            own = os.path.join(folder, str(run))
            os.mkdir(own)
            own_path = os.path.join(own, "rede.net")
            with open(own_path, "w") as f:
                f.write(text)
            start = time.perf_counter()
            subprocess.run([cli, "analisar", *CORVANE_OPTIONS, own_path], check=True,
                           capture_output=True)
            times.append(time.perf_counter() - start)
        document_path = os.path.join(folder, "rede.json")
        subprocess.run([cli, "analisar", *CORVANE_OPTIONS, "--json", document_path, path],
                       check=True, capture_output=True)
        with open(document_path) as f:
            document = json.load(f)
    return statistics.median(times), document


def difference(exact, document):
    worst = 0.0
    for w, values in zip(FREQUENCIES, exact):
        ours = corvane_values(document, 1j * w)
        theirs = [complex(re, im) for re, im in values]
        scale = max(abs(z) for z in theirs)
        worst = max(worst, max(abs(a - b) for a, b in zip(ours, theirs)) / scale)
    return worst


def main():
    if len(sys.argv) == 2 and sys.argv[1] == "--filho":
        print(json.dumps(solve(sys.stdin.read())))
        return 0
    if len(sys.argv) < 2:
        print(__doc__)
        return 2
    cli = os.path.join(sys.argv[1], "cli", "corvane-cli")
    print("| rede | incógnitas | SymPy solve_den | Corvane (processo) | razão | diferença |")
    print("|---|---:|---:|---:|---:|---:|")
    for name in sys.argv[2:] or DEFAULT:
        text = netlist(name)
        ours, document = corvane(cli, text)
        done = sympy_det.in_child(__file__, text, LIMIT)
        if done is None:
            print(f"| {name} | {len(document['variaveis'])} | > {LIMIT:g} s | "
                  f"{ours * 1e3:.1f} ms | > {LIMIT / ours:.0f} | |", flush=True)
            continue
        exact = json.loads(done)
        print(f"| {name} | {exact['unknowns']} | {exact['seconds']:.3f} s | "
              f"{ours * 1e3:.1f} ms | {exact['seconds'] / ours:.0f} | "
              f"{difference(exact['values'], document):.1e} |", flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
