#!/usr/bin/env python3
"""The margins of `corvane-cli malha` against a second method: the same T(s), read from
--json, evaluated densely on the jω axis with NumPy/SciPy; every sign change of |T|² − 1
and of Im T is bracketed on a grid of 400 000 points, six decades beyond every root, and refined by Brent's method on
T(jω) itself, not on the program's polynomials in ω². Crossovers and margins must agree
to 1e-9 relative. Exits 77 (skipped) without SciPy.

Usage: margins_scipy.py CORVANE_CLI NETLIST:SOURCE ...
"""
import json
import math
import os
import subprocess
import sys
import tempfile

try:
    import numpy as np
    from scipy import optimize, signal
except ImportError:
    print("SciPy ausente: teste pulado")
    sys.exit(77)

TOLERANCE = 1e-9


def loop_gain(document):
    t = document["ganho_de_malha"]
    num = t["numerador"]
    den = t["denominador"]
    # NumPy wants the highest power first.
    b = np.array(num["coeficientes"][::-1]) * num["constante"]
    a = np.array(den["coeficientes"][::-1]) * den["constante"]
    return b, a


def crossings(f, grid):
    values = f(grid)
    out = []
    for i in range(len(grid) - 1):
        if values[i] == 0.0:
            out.append(grid[i])
        elif values[i] * values[i + 1] < 0.0:
            out.append(optimize.brentq(f, grid[i], grid[i + 1], xtol=1e-300, rtol=4 * np.finfo(float).eps,
                                       maxiter=500))
    return out


def independent_margins(b, a):
    roots = [abs(r) for r in np.concatenate([np.roots(b), np.roots(a)]) if abs(r) > 0.0]
    low = min(roots + [1.0]) * 1e-6
    high = max(roots + [1.0]) * 1e6
    grid = np.logspace(math.log10(low), math.log10(high), 400000)

    def t_at(w):
        _, h = signal.freqs(b, a, worN=np.atleast_1d(w))
        return h

    unit = crossings(lambda w: np.abs(t_at(w)) ** 2 - 1.0, grid)
    phase = []
    for w in unit:
        t = t_at(w)[0]
        phase.append((w, math.degrees(math.atan2(-t.imag, -t.real))))
    real = crossings(lambda w: t_at(w).imag, grid)
    gain = []
    t0 = b[-1] / a[-1] if a[-1] != 0.0 else None
    if t0 is not None and t0 < 0.0:
        gain.append((0.0, 1.0 / abs(t0)))
    for w in real:
        t = t_at(w)[0]
        if t.real < 0.0 and abs(t) > 0.0:
            gain.append((w, 1.0 / abs(t)))
    return phase, gain


def close(x, y, scale=None):
    scale = max(abs(x), abs(y)) if scale is None else scale
    return abs(x - y) <= TOLERANCE * scale


def check(cli, netlist, source):
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "malha.json")
        subprocess.run([cli, "malha", "--fonte", source, "--json", path, netlist], check=True,
                       stdout=subprocess.DEVNULL)
        with open(path, encoding="utf-8") as f:
            document = json.load(f)
    b, a = loop_gain(document)
    phase, gain = independent_margins(b, a)
    theirs_phase = [(m["omega"], m["margem_graus"]) for m in document["margens"]["fase"]]
    theirs_gain = [(m["omega"], m["margem"]) for m in document["margens"]["ganho"]]
    failures = []
    if len(phase) != len(theirs_phase) or len(gain) != len(theirs_gain):
        failures.append(f"contagens diferentes: fase {theirs_phase} x {phase}, ganho {theirs_gain} x {gain}")
    else:
        for (w1, m1), (w2, m2) in zip(theirs_phase, phase):
            if not close(w1, w2) or not close(m1, m2, 180.0):
                failures.append(f"margem de fase {m1}° em {w1} x {m2}° em {w2}")
        for (w1, m1), (w2, m2) in zip(theirs_gain, gain):
            if not close(w1, w2) or not close(m1, m2):
                failures.append(f"margem de ganho {m1} em {w1} x {m2} em {w2}")
    name = f"{os.path.basename(netlist)}:{source}"
    print(("ok " if not failures else "FALHOU ") + name + f" ({len(phase)} de fase, {len(gain)} de ganho)")
    for failure in failures:
        print("  " + failure)
    return not failures


def main():
    cli = sys.argv[1]
    passed = 0
    failed = 0
    for case in sys.argv[2:]:
        netlist, source = case.rsplit(":", 1)
        if check(cli, netlist, source):
            passed += 1
        else:
            failed += 1
    print(f"{passed} passed, {failed} failed")
    return 0 if failed == 0 and passed > 0 else 1


if __name__ == "__main__":
    sys.exit(main())
