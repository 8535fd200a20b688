#!/usr/bin/env python3
"""Bode plot of one variable of a Corvane run, from the JSON of `corvane-cli analisar --json`.

    corvane-cli analisar --polos-zeros --json filtro.json filtro.net
    python3 bode_json.py filtro.json --variavel out --imagem filtro.png

With --ganho W1,W2,... it prints instead the gain in dB at those frequencies (rad/s), one
"frequência ganho" line each.
"""

import argparse
import json
import sys

import numpy as np
from scipy import signal

FORMAT = "corvane-resultados"
VERSION = 1


def load_results(path):
    with open(path, encoding="utf-8") as file:
        results = json.load(file)
    if results.get("formato") != FORMAT or results.get("versao") != VERSION:
        sys.exit(f"{path}: não é um JSON de resultados do Corvane, versão {VERSION}")
    return results


def find_variable(results, wanted):
    for variable in results["variaveis"]:
        if wanted in (variable["nome"], str(variable["numero"])):
            return variable
    names = ", ".join(v["nome"] for v in results["variaveis"])
    sys.exit(f"variável {wanted} não encontrada; há: {names}")


def transfer_function(results, variable):
    """Numerator and denominator for SciPy: coefficients from the highest power down."""
    numerator = variable["numerador"]
    denominator = results["denominador"]
    b = numerator["constante"] * np.array(numerator["coeficientes"][::-1])
    a = denominator["constante"] * np.array(denominator["coeficientes"][::-1])
    return np.trim_zeros(b, "f") if b.any() else b, np.trim_zeros(a, "f")


def frequency_range(results, variable):
    """Two decades around the poles and zeros, or around 1 rad/s without them."""
    roots = results["denominador"].get("raizes", []) + variable["numerador"].get("raizes", [])
    magnitudes = [abs(complex(r["real"], r["imag"])) for r in roots]
    magnitudes = [m for m in magnitudes if m > 0] or [1.0]
    return np.logspace(np.log10(min(magnitudes)) - 2, np.log10(max(magnitudes)) + 2, 800)


def gain_db(b, a, w):
    _, h = signal.freqs(b, a, worN=w)
    return 20 * np.log10(np.abs(h))


def draw(results, variable, b, a, image):
    import matplotlib

    matplotlib.use("Agg")
    import matplotlib.pyplot as plt

    w = frequency_range(results, variable)
    _, h = signal.freqs(b, a, worN=w)
    figure, (gain, phase) = plt.subplots(2, 1, sharex=True, figsize=(7, 6))
    gain.semilogx(w, 20 * np.log10(np.abs(h)))
    gain.set_ylabel("ganho (dB)")
    gain.grid(True, which="both")
    phase.semilogx(w, np.degrees(np.unwrap(np.angle(h))))
    phase.set_ylabel("fase (graus)")
    phase.set_xlabel("frequência (rad/s)")
    phase.grid(True, which="both")
    figure.suptitle(f"{results['netlist']}: {variable['nome']}")
    figure.savefig(image, dpi=100)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("resultados", help="JSON gravado por corvane-cli analisar --json")
    parser.add_argument("--variavel", default="out", help="nome ou número (padrão out)")
    parser.add_argument("--imagem", default="bode.png", help="PNG ou SVG (padrão bode.png)")
    parser.add_argument("--ganho", help="frequências em rad/s, separadas por vírgulas")
    args = parser.parse_args()

    results = load_results(args.resultados)
    variable = find_variable(results, args.variavel)
    b, a = transfer_function(results, variable)
    if args.ganho:
        w = np.array([float(x) for x in args.ganho.split(",")])
        for frequency, gain in zip(w, gain_db(b, a, w)):
            print(f"{frequency!r} {gain!r}")
        return
    draw(results, variable, b, a, args.imagem)


if __name__ == "__main__":
    main()
