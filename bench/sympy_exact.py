#!/usr/bin/env python3
"""The determinant of a system written by `bench_exact CARGA --sistema FILE`, by SymPy's
exact fraction-free elimination over ZZ[s] (DomainMatrix, each row scaled to integers), for comparison with the exact
engine; with a second FILE written by `--denominador`, also checks that both agree
coefficient by coefficient (a second method for the engine's denominator).

    bench/sympy_exact.py SYSTEM [DENOMINATOR]

Prints the processor seconds the determinant took, and "igual" or "DIFERENTE"."""
import sys
import time

from math import lcm

from sympy import ZZ, Rational, symbols
from sympy.polys.matrices import DomainMatrix


def main():
    s = symbols("s")
    ring = ZZ[s]
    with open(sys.argv[1]) as f:
        n = int(f.readline())
        entries = [dict() for _ in range(n)]
        for line in f:
            r, c, g, cap = line.split()
            if int(c) <= n:
                entries[int(r) - 1][int(c) - 1] = (Rational(g), Rational(cap))
    rows = [[ring.zero] * n for _ in range(n)]
    scale = Rational(1)
    for r, row in enumerate(entries):
        multiple = 1
        for g, cap in row.values():
            multiple = lcm(multiple, int(g.q), int(cap.q))
        scale *= multiple
        for c, (g, cap) in row.items():
            rows[r][c] = ring.convert(g * multiple + cap * multiple * s)
    matrix = DomainMatrix(rows, (n, n), ring)
    start = time.process_time()
    det = matrix.det()
    seconds = time.process_time() - start
    verdict = ""
    if len(sys.argv) > 2:
        with open(sys.argv[2]) as f:
            ours = [Rational(line.strip()) for line in f if line.strip()]
        theirs = [c / scale for c in reversed(ring.to_sympy(det).as_poly(s).all_coeffs())] if det else []
        verdict = " igual" if ours == theirs else " DIFERENTE"
    print("%.3f%s" % (seconds, verdict))


if __name__ == "__main__":
    main()
