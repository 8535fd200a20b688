#include "symbolic_system.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <string_view>

#include "element_table.h"

namespace corvane::symbolic {

namespace {

// The LaTeX form of a name: its leading letter with the rest as a subscript.
std::string latexOfHierarchicalName(const std::string& name);

std::string latexOfName(const std::string& name) {
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot + 1 < name.size() && dot > 0)
        return latexOfHierarchicalName(name);
    std::string rest;
    for (std::size_t i = 1; i < name.size(); ++i) {
        const char c = name[i];
        if (std::isalnum(static_cast<unsigned char>(c))) {
            rest += c;
        } else {
            rest += "\\_";
        }
    }
    const bool letter = !name.empty() && std::isalpha(static_cast<unsigned char>(name[0]));
    const std::string base = letter ? name.substr(0, 1) : "\\mathrm{" + name.substr(0, 1) + "}";
    return rest.empty() ? base : base + "_{" + rest + "}";
}

// A flattened subcircuit's element ("X1.R2") is its own element's letter, with the
// instance beside its subscript: R_{2,\mathrm{X1}}.
std::string latexOfHierarchicalName(const std::string& name) {
    const std::size_t dot = name.rfind('.');
    const std::string leaf = latexOfName(name.substr(dot + 1));
    std::string path;
    for (const char c : name.substr(0, dot)) {
        if (c == '_') {
            path += "\\_";
        } else {
            path += c;
        }
    }
    std::string instance = "\\mathrm{";
    instance += path;
    instance += '}';
    if (leaf.back() == '}' && leaf.find("_{") != std::string::npos)
        return leaf.substr(0, leaf.size() - 1) + "," + instance + "}";
    return leaf + "_{" + instance + "}";
}

std::string latexOfElement(const std::string& name) {
    return "\\mathrm{" + latexOfName(name) + "}";
}

char upperCase(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// A name as the netlist reader keeps element names, whose first letter (the kind) it
// takes in either case: "r1" is R1. The names of symbols made from an element's name
// ("v0_c1", "m_k1") are read the same way, prefix and element alike.
std::string asNetlistName(std::string name) {
    if (name.empty()) return name;
    name[0] = upperCase(name[0]);
    for (const std::string_view prefix : {"V0_", "I0_", "M_", "TAU_"}) {
        if (name.size() <= prefix.size()) continue;
        bool same = true;
        for (std::size_t i = 0; i < prefix.size(); ++i)
            same = same && upperCase(name[i]) == prefix[i];
        if (!same) continue;
        for (std::size_t i = 0; i <= prefix.size(); ++i)
            name[i] = upperCase(name[i]);
        break;
    }
    return name;
}

// The symbols an element brings, in a fixed order: its value, then its initial condition.
struct Candidate {
    Symbol symbol;
    std::string element;
    int elementIndex = 0;
    bool initialCondition = false;
};

std::vector<Candidate> candidatesOf(const RunState& run, int i) {
    const Element& e = run.ElementTable[i];
    const std::string name = e.name;
    std::vector<Candidate> out;
    const ElementKind* kind = kindOf(e);
    if (kind == nullptr) return out;
    switch (kind->value) {
        case StampedValue::AsGiven:
        case StampedValue::Reciprocal:
            out.push_back({{name, latexOfName(name), e.value,
                            kind->value == StampedValue::Reciprocal, ""},
                           name, i, false});
            break;
        case StampedValue::MutualInductance: {
            const std::string first = run.ElementTable[e.a].name;
            const std::string second = run.ElementTable[e.b].name;
            Symbol m{"M_" + name, "M_{" + latexOfElement(name) + "}", e.value2, false,
                     "M_" + name + " = " + name + "·√(" + first + "·" + second + ")"};
            out.push_back({m, name, i, false});
            break;
        }
        case StampedValue::None:
            break;
    }
    // The op-amp's pole is its second value, held where an initial condition would be.
    if (kind->finiteGain && e.poleTimeConstant() != 0.0) {
        Symbol tau{"TAU_" + name, "\\tau_{" + latexOfElement(name) + "}", e.poleTimeConstant(),
                   false, "TAU_" + name + " = " + name + "/(2π·GBW): constante de tempo do polo de " + name};
        out.push_back({tau, name, i, true});
    }
    if (kind->initialCondition != InitialCondition::None && e.value2 != 0.0) {
        const bool capacitor = kind->initialCondition == InitialCondition::Voltage;
        const std::string prefix = capacitor ? "V0_" : "I0_";
        Symbol ic{prefix + name,
                  std::string(capacitor ? "V" : "I") + "_{0," + latexOfElement(name) + "}",
                  e.value2, false,
                  prefix + name + " = " +
                      (capacitor ? "tensão inicial de " : "corrente inicial de ") + name};
        out.push_back({ic, name, i, true});
    }
    return out;
}

// An element's contribution: a fraction times a monomial in the symbols.
struct Monomial {
    Fraction coefficient;
    Exponents exponents;
};

class SymbolicStamper {
public:
    SymbolicStamper(const RunState& run, const PolynomialRing& ring, int n)
        : run_(run),
          ring_(ring),
          n_(n),
          entries_(static_cast<std::size_t>(n + 1),
                   std::vector<RationalPolynomial>(static_cast<std::size_t>(n + 2),
                                                   RationalPolynomial(ring))) {}

    // Element i's value and initial condition: a variable, or a number.
    void setValue(int i, Monomial value) { values_.insert_or_assign(i, std::move(value)); }
    void setInitial(int i, Monomial value) { initials_.insert_or_assign(i, std::move(value)); }

    // Element i's terms as its kind's row gives them; a term of an initial condition the
    // element does not have is zero and is left out.
    void stamp(int i) {
        for (const PlacedTerm& term : placedStamp(run_, i)) {
            const auto power = static_cast<ulong>(term.power);
            const int holder = term.initialConditionOf;
            if (term.factor == StampFactor::One) {
                add(term.row, term.column, term.sign, one(), power);
            } else if (term.factor == StampFactor::SecondValue) {
                if (hasInitial(i)) add(term.row, term.column, term.sign, initial(i), power);
            } else if (holder == 0) {
                add(term.row, term.column, term.sign, value(i), power);
            } else if (hasInitial(holder)) {
                add(term.row, term.column, term.sign, product(value(i), initial(holder)), power);
            }
        }
    }

    // Each row times the least common multiple of its denominators, that multiple of row r
    // into scales[r].
    std::vector<std::vector<ExactPolynomial>> integerRows(std::vector<Integer>& scales) const {
        scales.assign(static_cast<std::size_t>(n_ + 1), Integer());
        std::vector<std::vector<ExactPolynomial>> rows(
            static_cast<std::size_t>(n_ + 1),
            std::vector<ExactPolynomial>(static_cast<std::size_t>(n_ + 2), ExactPolynomial(ring_)));
        Integer rowLcm;
        Integer entryLcm;
        for (int r = 1; r <= n_; ++r) {
            fmpz_one(rowLcm.get());
            for (int c = 1; c <= n_ + 1; ++c) {
                entries_[r][c].denominatorLcm(entryLcm.get());
                fmpz_lcm(rowLcm.get(), rowLcm.get(), entryLcm.get());
            }
            for (int c = 1; c <= n_ + 1; ++c)
                rows[r][c] = entries_[r][c].scaledToIntegers(rowLcm.get());
            scales[static_cast<std::size_t>(r)] = rowLcm;
        }
        return rows;
    }

private:
    Monomial one() const {
        return {Fraction(1), Exponents(static_cast<std::size_t>(ring_.variableCount()), 0)};
    }
    const Monomial& value(int i) const { return values_.at(i); }
    bool hasInitial(int i) const { return initials_.count(i) != 0; }
    const Monomial& initial(int i) const { return initials_.at(i); }

    static Monomial product(const Monomial& a, const Monomial& b) {
        Monomial result{a.coefficient * b.coefficient, a.exponents};
        for (std::size_t v = 0; v < result.exponents.size(); ++v)
            result.exponents[v] += b.exponents[v];
        return result;
    }

    // Entry (row, column) += sign · term · s^power; ground's row and column are dropped.
    void add(int row, int column, int sign, const Monomial& term, ulong power) {
        if (row <= 0 || column <= 0 || row > n_ || column > n_ + 1) return;
        Exponents exponents = term.exponents;
        exponents[0] += power;
        entries_[row][column].addTerm(sign > 0 ? term.coefficient : -term.coefficient, exponents);
    }

    const RunState& run_;
    const PolynomialRing& ring_;
    const int n_;
    std::vector<std::vector<RationalPolynomial>> entries_;
    std::map<int, Monomial> values_;
    std::map<int, Monomial> initials_;
};

}  // namespace

bool naturalLess(const std::string& a, const std::string& b) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        const bool digitA = std::isdigit(static_cast<unsigned char>(a[i])) != 0;
        const bool digitB = std::isdigit(static_cast<unsigned char>(b[j])) != 0;
        if (digitA && digitB) {
            std::size_t endA = i;
            std::size_t endB = j;
            while (endA < a.size() && std::isdigit(static_cast<unsigned char>(a[endA])))
                ++endA;
            while (endB < b.size() && std::isdigit(static_cast<unsigned char>(b[endB])))
                ++endB;
            std::string numberA = a.substr(i, endA - i);
            std::string numberB = b.substr(j, endB - j);
            numberA.erase(0, std::min(numberA.find_first_not_of('0'), numberA.size() - 1));
            numberB.erase(0, std::min(numberB.find_first_not_of('0'), numberB.size() - 1));
            if (numberA.size() != numberB.size()) return numberA.size() < numberB.size();
            if (numberA != numberB) return numberA < numberB;
            i = endA;
            j = endB;
            continue;
        }
        if (a[i] != b[j]) return a[i] < b[j];
        ++i;
        ++j;
    }
    if ((a.size() - i) != (b.size() - j)) return (a.size() - i) < (b.size() - j);
    return a < b;
}

SymbolicSystem assembleSymbolicSystem(const RunState& run, const SymbolSelection& selection) {
    std::set<std::string> wanted;
    for (const std::string& name : selection.names)
        wanted.insert(asNetlistName(name));
    std::set<std::string> matched;
    std::vector<Candidate> chosen;
    std::vector<Candidate> all;
    std::set<std::string> taken;
    for (int i = 1; i <= run.elementCount; ++i) {
        for (Candidate& candidate : candidatesOf(run, i)) {
            // Two elements of the same name would otherwise share one symbol.
            while (taken.count(candidate.symbol.name) != 0)
                candidate.symbol.name += "_";
            taken.insert(candidate.symbol.name);
            all.push_back(candidate);
        }
    }
    for (const Candidate& candidate : all) {
        const bool byElement = wanted.count(candidate.element) != 0;
        const bool bySymbol = wanted.count(candidate.symbol.name) != 0;
        if (byElement) matched.insert(candidate.element);
        if (bySymbol) matched.insert(candidate.symbol.name);
        if (wanted.empty() || byElement || bySymbol) chosen.push_back(candidate);
    }

    SymbolicSystem system;
    for (const std::string& name : selection.names) {
        if (matched.count(asNetlistName(name)) == 0 &&
            std::find(system.unknownNames.begin(), system.unknownNames.end(), name) ==
                system.unknownNames.end())
            system.unknownNames.push_back(name);
    }
    std::sort(chosen.begin(), chosen.end(), [](const Candidate& a, const Candidate& b) {
        return naturalLess(a.symbol.name, b.symbol.name);
    });
    system.ring = std::make_unique<PolynomialRing>(static_cast<int>(chosen.size()));
    const PolynomialRing& ring = *system.ring;
    system.n = run.variableCount;

    SymbolicStamper stamper(run, ring, system.n);
    const std::size_t variables = static_cast<std::size_t>(ring.variableCount());
    auto symbolic = [&](std::size_t index) {
        Exponents exponents(variables, 0);
        exponents[index + 1] = 1;
        return Monomial{Fraction(1), exponents};
    };
    auto numeric = [&](const Fraction& value) { return Monomial{value, Exponents(variables, 0)}; };
    for (std::size_t k = 0; k < chosen.size(); ++k) {
        system.symbols.push_back(chosen[k].symbol);
        if (chosen[k].initialCondition) {
            stamper.setInitial(chosen[k].elementIndex, symbolic(k));
        } else {
            stamper.setValue(chosen[k].elementIndex, symbolic(k));
        }
    }
    for (const Candidate& candidate : all) {
        const bool isChosen = std::any_of(chosen.begin(), chosen.end(), [&](const Candidate& c) {
            return c.symbol.name == candidate.symbol.name;
        });
        if (isChosen) continue;
        Fraction value = Fraction::fromDouble(candidate.symbol.value);
        if (candidate.symbol.resistance) value = value.inverse();
        if (candidate.initialCondition) {
            stamper.setInitial(candidate.elementIndex, numeric(value));
        } else {
            stamper.setValue(candidate.elementIndex, numeric(value));
        }
    }
    for (int i = 1; i <= run.elementCount; ++i)
        stamper.stamp(i);
    system.entries = stamper.integerRows(system.rowScale);
    return system;
}

}  // namespace corvane::symbolic
