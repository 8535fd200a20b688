#include "exact_engine.h"

#include <flint/nmod_poly.h>
#include <flint/ulong_extras.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <random>

#include "interpolation.h"
#include "modular_elimination.h"

namespace corvane::exact {

using symbolic::Integer;

RationalPolynomial::RationalPolynomial(const RationalPolynomial& other) {
    fmpq_poly_init(poly_);
    fmpq_poly_set(poly_, other.poly_);
}

RationalPolynomial::RationalPolynomial(RationalPolynomial&& other) noexcept {
    fmpq_poly_init(poly_);
    fmpq_poly_swap(poly_, other.poly_);
}

RationalPolynomial& RationalPolynomial::operator=(const RationalPolynomial& other) {
    fmpq_poly_set(poly_, other.poly_);
    return *this;
}

RationalPolynomial& RationalPolynomial::operator=(RationalPolynomial&& other) noexcept {
    fmpq_poly_swap(poly_, other.poly_);
    return *this;
}

Fraction RationalPolynomial::coefficient(long power) const {
    Fraction f;
    fmpq_poly_get_coeff_fmpq(f.get(), poly_, power);
    return f;
}

namespace {

// Each prime is above 2^61, so it holds this many bits of a coefficient.
constexpr long BitsPerPrime = 61;
// Primes whose residues are joined at once, before they are joined with the rest.
constexpr std::size_t PrimesPerBlock = 16;

std::string mebibytes(std::size_t bytes) {
    return std::to_string((bytes + (std::size_t{1} << 20) - 1) >> 20);
}

long ceilLog2(std::size_t value) {
    long bits = 0;
    while ((std::size_t{1} << bits) < value)
        ++bits;
    return bits;
}

// The system with each row times the least common multiple of its denominators: every
// determinant gains the product of those multiples, which `scale` keeps.
struct IntegerSystem {
    int n = 0;
    std::vector<IntegerEntry> entries;
    Integer scale;
    int degreeBound = 0;
    long coefficientBits = 0;
    int frequencyExponent = 0;
};

// The power of ten `exponent` as a fraction.
Fraction powerOfTen(int exponent) {
    Fraction power(1);
    fmpz* part = exponent >= 0 ? fmpq_numref(power.get()) : fmpq_denref(power.get());
    fmpz_set_ui(part, 10);
    fmpz_pow_ui(part, part, static_cast<ulong>(exponent >= 0 ? exponent : -exponent));
    return power;
}

// The system in t = s / 10^exponent, its rows scaled to integers.
IntegerSystem integerSystemOf(const ExactSystem& system, int exponent) {
    IntegerSystem out;
    const int n = system.size();
    out.n = n;
    out.frequencyExponent = exponent;
    const Fraction power = powerOfTen(exponent);
    Fraction scaledC;
    fmpz_one(out.scale.get());
    std::vector<char> columnHoldsS(static_cast<std::size_t>(n) + 1, 0);
    int rowsHoldingS = 0;
    Integer rowLcm;
    Integer multiple;
    for (int r = 1; r <= n; ++r) {
        fmpz_one(rowLcm.get());
        for (const auto& [column, entry] : system.row(r)) {
            fmpz_lcm(rowLcm.get(), rowLcm.get(), fmpq_denref(entry.g.get()));
            fmpq_mul(scaledC.get(), entry.c.get(), power.get());
            fmpz_lcm(rowLcm.get(), rowLcm.get(), fmpq_denref(scaledC.get()));
        }
        fmpz_mul(out.scale.get(), out.scale.get(), rowLcm.get());
        bool rowHoldsS = false;
        long widest = 0;
        std::size_t count = 0;
        for (const auto& [column, entry] : system.row(r)) {
            if (entry.g.isZero() && entry.c.isZero()) continue;
            IntegerEntry e{r - 1, column - 1, Integer(), Integer()};
            fmpz_divexact(multiple.get(), rowLcm.get(), fmpq_denref(entry.g.get()));
            fmpz_mul(e.g.get(), multiple.get(), fmpq_numref(entry.g.get()));
            fmpq_mul(scaledC.get(), entry.c.get(), power.get());
            fmpz_divexact(multiple.get(), rowLcm.get(), fmpq_denref(scaledC.get()));
            fmpz_mul(e.c.get(), multiple.get(), fmpq_numref(scaledC.get()));
            if (!entry.c.isZero()) {
                rowHoldsS = true;
                columnHoldsS[static_cast<std::size_t>(column - 1)] = 1;
            }
            widest = std::max<long>(widest, static_cast<long>(std::max(fmpz_bits(e.g.get()),
                                                                       fmpz_bits(e.c.get()))));
            ++count;
            out.entries.push_back(std::move(e));
        }
        if (rowHoldsS) ++rowsHoldingS;
        // |coefficient| ≤ the product over rows of the sum of |g| + |c| along the row (the
        // excitation included, which a numerator puts in place of a column).
        if (count > 0) out.coefficientBits += widest + 1 + ceilLog2(count);
    }
    const int columnsHoldingS =
        static_cast<int>(std::count(columnHoldsS.begin(), columnHoldsS.end(), 1));
    out.degreeBound = std::min(rowsHoldingS, columnsHoldingS);
    return out;
}

// A circuit's conductances and its capacitances times s are alike in size near its own
// frequencies, not at s = 1: 1 kΩ and 1 µF make rows of 2000, −1000 and 1·s, but of 2, −1
// and 1·t with s = 1000 t. The power of ten that makes the integers smallest makes the
// coefficients' bound, and so the primes, fewest (four times fewer on such a ladder).
IntegerSystem bestIntegerSystem(const ExactSystem& system) {
    IntegerSystem best = integerSystemOf(system, 0);
    for (int exponent = -15; exponent <= 15; ++exponent) {
        if (exponent == 0) continue;
        IntegerSystem candidate = integerSystemOf(system, exponent);
        if (candidate.coefficientBits < best.coefficientBits) best = std::move(candidate);
    }
    return best;
}

ExactForecast forecastOf(const IntegerSystem& system) {
    ExactForecast f;
    f.unknowns = system.n;
    f.degreeBound = system.degreeBound;
    f.coefficientBits = system.coefficientBits;
    f.primes = static_cast<int>(std::max<long>(1, (system.coefficientBits + 2 + BitsPerPrime - 1) /
                                                      BitsPerPrime));
    const std::size_t coefficients = (static_cast<std::size_t>(system.n) + 1) *
                                     (static_cast<std::size_t>(system.degreeBound) + 1);
    const std::size_t limbs = static_cast<std::size_t>((system.coefficientBits + 2 + 63) / 64);
    // The joined integers and the fractions made of them, the residues of a block and of
    // one prime, and the table of the elimination.
    const std::size_t perCoefficient = 2 * (sizeof(fmpz) + 32 + 8 * limbs) +
                                       sizeof(ulong) * (PrimesPerBlock + 2);
    const auto n = static_cast<std::size_t>(system.n);
    f.bytes = coefficients * perCoefficient + sizeof(ulong) * n * (n + 1) + 64 * system.entries.size();
    return f;
}

// Reports the fraction done to the caller, within the share of the work it was given.
class Progress {
public:
    Progress(const ExactOptions& options, double start, double share)
        : options_(options), start_(start), share_(share) {}

    void report(double fraction) const {
        if (options_.keepGoing && !options_.keepGoing(start_ + share_ * fraction))
            throw ExactCancelled();
    }
    Progress part(double start, double share) const {
        return Progress(options_, start_ + share_ * start, share_ * share);
    }

private:
    const ExactOptions& options_;
    double start_;
    double share_;
};

class CombinedPrimes {
public:
    explicit CombinedPrimes(const std::vector<ulong>& primes) {
        fmpz_comb_init(comb_, primes.data(), static_cast<slong>(primes.size()));
        fmpz_comb_temp_init(temp_, comb_);
    }
    ~CombinedPrimes() {
        fmpz_comb_temp_clear(temp_);
        fmpz_comb_clear(comb_);
    }
    CombinedPrimes(const CombinedPrimes&) = delete;
    CombinedPrimes& operator=(const CombinedPrimes&) = delete;

    void join(fmpz_t out, const ulong* residues) { fmpz_multi_CRT_ui(out, residues, comb_, temp_, 0); }

private:
    fmpz_comb_t comb_;
    fmpz_comb_temp_t temp_;
};

// The integers whose residues modulo many primes arrive one prime at a time: a block of
// primes is joined at once, then with the primes before it.
class RemainderAccumulator {
public:
    explicit RemainderAccumulator(std::size_t count)
        : values_(count), block_(count * PrimesPerBlock) {
        fmpz_one(modulus_.get());
    }

    void add(ulong prime, const std::vector<ulong>& residues) {
        const std::size_t b = primes_.size();
        for (std::size_t i = 0; i < values_.size(); ++i)
            block_[i * PrimesPerBlock + b] = residues[i];
        primes_.push_back(prime);
        if (primes_.size() == PrimesPerBlock) joinBlock();
    }

    // The integers, each the one of least absolute value with its residues.
    std::vector<Integer>& finish() {
        joinBlock();
        Integer half;
        fmpz_fdiv_q_2exp(half.get(), modulus_.get(), 1);
        for (Integer& v : values_) {
            if (fmpz_cmp(v.get(), half.get()) > 0) fmpz_sub(v.get(), v.get(), modulus_.get());
        }
        return values_;
    }

private:
    void joinBlock() {
        if (primes_.empty()) return;
        Integer blockModulus;
        fmpz_one(blockModulus.get());
        for (const ulong p : primes_)
            fmpz_mul_ui(blockModulus.get(), blockModulus.get(), p);
        std::optional<CombinedPrimes> comb;
        if (primes_.size() > 1) comb.emplace(primes_);
        Integer joined;
        const bool first = fmpz_is_one(modulus_.get()) != 0;
        // x ≡ v (mod M) and x ≡ j (mod B): x = v + M · ((j − v) · M⁻¹ mod B), with M⁻¹ mod B
        // found once for the block rather than once per coefficient.
        Integer inverse;
        if (!first) fmpz_invmod(inverse.get(), modulus_.get(), blockModulus.get());
        Integer step;
        for (std::size_t i = 0; i < values_.size(); ++i) {
            const ulong* residues = &block_[i * PrimesPerBlock];
            const bool blockZero =
                std::all_of(residues, residues + primes_.size(), [](ulong r) { return r == 0; });
            fmpz* value = values_[i].get();
            if (blockZero && fmpz_is_zero(value)) continue;
            if (comb) {
                comb->join(joined.get(), residues);
            } else {
                fmpz_set_ui(joined.get(), residues[0]);
            }
            if (first) {
                fmpz_swap(value, joined.get());
            } else {
                fmpz_sub(step.get(), joined.get(), value);
                fmpz_mul(step.get(), step.get(), inverse.get());
                fmpz_mod(step.get(), step.get(), blockModulus.get());
                fmpz_addmul(value, step.get(), modulus_.get());
            }
        }
        fmpz_mul(modulus_.get(), modulus_.get(), blockModulus.get());
        primes_.clear();
    }

    std::vector<Integer> values_;
    std::vector<ulong> block_;
    std::vector<ulong> primes_;
    Integer modulus_;
};

nmod_t modulusOf(ulong prime) {
    nmod_t mod;
    nmod_init(&mod, prime);
    return mod;
}

// The determinant (0) and the numerators (1..n) of an integer system, as integer
// polynomials: coefficient d of function i at [i · (degreeBound + 1) + d].
struct IntegerFunctions {
    std::size_t points = 0;
    std::vector<Integer> coefficients;
    std::vector<ulong> primes;
};

// Markowitz's order at a random point of the first prime: a point where the system is
// singular by chance has probability below deg / 2^62, so two in a row mean it is
// singular everywhere.
std::optional<EliminationPlan> planFor(const IntegerSystem& system, ulong prime,
                                       std::mt19937_64& random) {
    const ModularEntries residues = reduceEntries(system.entries, modulusOf(prime));
    for (int attempt = 0; attempt < 2; ++attempt) {
        std::optional<EliminationPlan> plan =
            EliminationPlan::choose(system.n, system.entries, residues, random() % prime);
        if (plan) return plan;
    }
    return std::nullopt;
}

// The points eliminated side by side: enough for one inverse to serve many, few enough
// for the table of a large circuit to stay small.
// Sized so that the batch's table of entries stays near 2 MiB, in cache.
std::size_t pointsPerBatch(const EliminationPlan& plan) {
    const std::size_t fit = (std::size_t{2} << 20) / (sizeof(ulong) * std::max<std::size_t>(1, plan.filledEntries()));
    return std::clamp<std::size_t>(fit, 16, 256);
}

// The values of every function at the points xs, in batches; values[i · points + j].
// False when a pivot of the plan vanishes at one of them.
bool valuesAt(const IntegerSystem& system, const EliminationPlan& plan,
              const ModularEntries& residues, const std::vector<ulong>& xs,
              std::vector<ulong>& values, const Progress& progress) {
    const std::size_t functions = static_cast<std::size_t>(system.n) + 1;
    const std::size_t points = xs.size();
    values.resize(functions * points);
    EliminationScratch scratch;
    std::vector<ulong> batch;
    std::vector<ulong> at;
    std::vector<char> usable;
    const std::size_t perBatch = pointsPerBatch(plan);
    for (std::size_t first = 0; first < points; first += perBatch) {
        batch.assign(xs.begin() + static_cast<std::ptrdiff_t>(first),
                     xs.begin() + static_cast<std::ptrdiff_t>(std::min(points, first + perBatch)));
        plan.evaluate(residues, batch, scratch, at, usable);
        if (std::find(usable.begin(), usable.end(), 0) != usable.end()) return false;
        for (std::size_t i = 0; i < functions; ++i)
            std::copy_n(&at[i * batch.size()], batch.size(), &values[i * points + first]);
        progress.report(static_cast<double>(first + batch.size()) / static_cast<double>(points));
    }
    return true;
}

// How a prime's functions are interpolated: through the first deg + 1 points that serve
// (any points), or through all 2^k points of a coset of the roots of unity, 2^k > deg. The
// transform is so much cheaper than the tree that it wins unless an elimination costs
// more than the interpolations it saves.
struct PointChoice {
    bool fourier = false;
    std::size_t points = 0;
};

PointChoice choosePoints(const IntegerSystem& system, const EliminationPlan& plan) {
    const std::size_t needed = static_cast<std::size_t>(system.degreeBound) + 1;
    std::size_t size = 1;
    while (size < needed)
        size *= 2;
    const double functions = system.n + 1.0;
    const double point = static_cast<double>(plan.productsPerPoint());
    const double logNeeded = std::log2(static_cast<double>(needed) + 1.0);
    // In products modulo the prime, as measured on ladders and random circuits (bench/).
    const double tree = static_cast<double>(needed) * (point + functions * 6.0 * logNeeded * logNeeded);
    const double transform = static_cast<double>(size) * (point + functions * (std::log2(size) / 2.0 + 1.0));
    return transform <= tree ? PointChoice{true, size} : PointChoice{false, needed};
}

// One prime's functions through deg + 1 points, skipping the rare points where a pivot
// vanishes: coefficient d of function i into coefficients[i · (deg + 1) + d].
void interpolateThroughTree(const IntegerSystem& system, const EliminationPlan& plan,
                            const ModularEntries& residues, std::size_t needed,
                            std::mt19937_64& random, std::vector<ulong>& coefficients,
                            const Progress& progress) {
    const std::size_t functions = static_cast<std::size_t>(system.n) + 1;
    std::vector<ulong> xs;
    std::vector<ulong> values(functions * needed);
    std::vector<ulong> candidate(1);
    std::vector<ulong> at;
    ulong x = random() % residues.mod.n;
    std::size_t misses = 0;
    while (xs.size() < needed) {
        std::vector<ulong> batch;
        while (batch.size() < std::min(pointsPerBatch(plan), needed - xs.size())) {
            batch.push_back(x);
            x = nmod_add(x, 1, residues.mod);
        }
        EliminationScratch scratch;
        std::vector<char> usable;
        plan.evaluate(residues, batch, scratch, at, usable);
        for (std::size_t j = 0; j < batch.size(); ++j) {
            if (usable[j] == 0) {
                if (++misses > needed + 64) throw std::logic_error("motor exato: pivôs nulos em pontos demais");
                continue;
            }
            for (std::size_t i = 0; i < functions; ++i)
                values[i * needed + xs.size()] = at[i * batch.size() + j];
            xs.push_back(batch[j]);
        }
        progress.report(static_cast<double>(xs.size()) / static_cast<double>(needed));
    }
    const TreeInterpolation tree(xs, residues.mod);
    for (std::size_t i = 0; i < functions; ++i)
        tree.interpolate(&values[i * needed], &coefficients[i * needed]);
}

// The same through a coset of the roots of unity of order `size`; a coset where a pivot
// vanishes is traded for another. The coefficients past the degree bound must come out
// zero, which checks the bound at every prime.
void interpolateThroughTransform(const IntegerSystem& system, const EliminationPlan& plan,
                                 const ModularEntries& residues, std::size_t size,
                                 std::mt19937_64& random, std::vector<ulong>& coefficients,
                                 const Progress& progress) {
    const std::size_t functions = static_cast<std::size_t>(system.n) + 1;
    const std::size_t needed = static_cast<std::size_t>(system.degreeBound) + 1;
    const ulong root = rootOfUnity(size, residues.mod);
    std::vector<ulong> values;
    for (int attempt = 0; attempt < 8; ++attempt) {
        const ulong shift = 1 + random() % (residues.mod.n - 1);
        const FourierInterpolation transform(size, root, shift, residues.mod);
        if (!valuesAt(system, plan, residues, transform.points(), values, progress)) continue;
        std::vector<ulong> work;
        std::vector<ulong> full(size);
        for (std::size_t i = 0; i < functions; ++i) {
            transform.interpolate(&values[i * size], full.data(), work);
            if (std::any_of(full.begin() + static_cast<std::ptrdiff_t>(needed), full.end(),
                            [](ulong c) { return c != 0; }))
                throw std::logic_error("motor exato: grau acima do limite");
            std::copy_n(full.begin(), needed, &coefficients[i * needed]);
        }
        return;
    }
    throw std::logic_error("motor exato: pivôs nulos em pontos demais");
}

// Throws ExactDegreeReached when a function's residues reach past `limit`.
void checkDegrees(const std::vector<ulong>& residues, std::size_t points, long limit,
                  int firstFunction) {
    if (limit < 0) return;
    for (std::size_t i = 0; i * points < residues.size(); ++i) {
        for (std::size_t d = points; d-- > static_cast<std::size_t>(limit) + 1;) {
            if (residues[i * points + d] != 0)
                throw ExactDegreeReached(firstFunction + static_cast<int>(i), static_cast<long>(d));
        }
    }
}

IntegerFunctions integerFunctions(const IntegerSystem& system, const EliminationPlan& plan,
                                  const std::vector<ulong>& primes, std::mt19937_64& random,
                                  const Progress& progress, long degreeLimit, int firstFunction) {
    IntegerFunctions out;
    const std::size_t functions = static_cast<std::size_t>(system.n) + 1;
    out.points = static_cast<std::size_t>(system.degreeBound) + 1;
    const PointChoice choice = choosePoints(system, plan);
    RemainderAccumulator accumulator(functions * out.points);
    std::vector<ulong> residuesOfPrime(functions * out.points);
    const std::size_t count = primes.size() - 1;  // the last one is for the check
    for (std::size_t k = 0; k < count; ++k) {
        const ModularEntries residues = reduceEntries(system.entries, modulusOf(primes[k]));
        const Progress share = progress.part(static_cast<double>(k) / static_cast<double>(count),
                                             1.0 / static_cast<double>(count));
        if (choice.fourier) {
            interpolateThroughTransform(system, plan, residues, choice.points, random, residuesOfPrime, share);
        } else {
            interpolateThroughTree(system, plan, residues, choice.points, random, residuesOfPrime, share);
        }
        if (k == 0) checkDegrees(residuesOfPrime, out.points, degreeLimit, firstFunction);
        accumulator.add(primes[k], residuesOfPrime);
        out.primes.push_back(primes[k]);
    }
    out.coefficients = std::move(accumulator.finish());
    return out;
}

ulong residueOf(const std::vector<Integer>& coefficients, std::size_t first, std::size_t count,
                ulong x, nmod_t mod) {
    ulong sum = 0;
    for (std::size_t d = count; d-- > 0;)
        sum = nmod_add(nmod_mul(sum, x, mod), fmpz_fdiv_ui(coefficients[first + d].get(), mod.n), mod);
    return sum;
}

// Checks the joined integers at a prime and a point used by none of the evaluations: a
// wrong bound or a fault anywhere above would show here.
void checkAtFreshPrime(const IntegerSystem& system, const EliminationPlan& plan,
                       const IntegerFunctions& functions, ulong prime, std::mt19937_64& random) {
    const nmod_t mod = modulusOf(prime);
    const ModularEntries residues = reduceEntries(system.entries, mod);
    EliminationScratch scratch;
    std::vector<ulong> at;
    std::vector<char> usable;
    for (int attempt = 0; attempt < 8; ++attempt) {
        const ulong x = random() % prime;
        plan.evaluate(residues, {x}, scratch, at, usable);
        if (usable[0] == 0) continue;
        for (std::size_t i = 0; i < at.size(); ++i) {
            if (residueOf(functions.coefficients, i * functions.points, functions.points, x, mod) !=
                at[i])
                throw std::logic_error("motor exato: a verificação num primo novo falhou");
        }
        return;
    }
    throw std::logic_error("motor exato: nenhum ponto de verificação");
}

RationalPolynomial rationalOf(const std::vector<Integer>& coefficients, std::size_t first,
                              std::size_t count, const IntegerSystem& system) {
    const Integer& scale = system.scale;
    RationalPolynomial p;
    for (std::size_t d = 0; d < count; ++d) {
        const fmpz* c = coefficients[first + d].get();
        if (!fmpz_is_zero(c)) fmpq_poly_set_coeff_fmpz(p.get(), static_cast<slong>(d), c);
    }
    fmpq_poly_scalar_div_fmpz(p.get(), p.get(), scale.get());
    // Back from t to s = 10^k · t: coefficient d over 10^(k·d).
    if (system.frequencyExponent != 0)
        fmpq_poly_rescale(p.get(), p.get(), powerOfTen(-system.frequencyExponent).get());
    return p;
}

// The system with column k (0-based) replaced by the excitation and no excitation: its
// determinant is the numerator of variable k + 1.
IntegerSystem withExcitationInColumn(const IntegerSystem& system, int k) {
    IntegerSystem out;
    out.n = system.n;
    out.scale = system.scale;
    out.frequencyExponent = system.frequencyExponent;
    out.degreeBound = system.degreeBound;
    out.coefficientBits = system.coefficientBits;
    for (const IntegerEntry& e : system.entries) {
        if (e.column == k) continue;
        IntegerEntry moved = e;
        if (moved.column == system.n) moved.column = k;
        out.entries.push_back(std::move(moved));
    }
    return out;
}

// A singular system: the denominator is zero, and each numerator is a determinant of its
// own (at most one column of a singular system can be traded for the excitation to make
// a regular one, but which one is not known in advance).
ExactFunctions singularFunctions(const IntegerSystem& system,
                                 const std::vector<ulong>& primes, std::mt19937_64& random,
                                 const Progress& progress, long degreeLimit) {
    ExactFunctions out;
    out.numerators.resize(static_cast<std::size_t>(system.n) + 1);
    for (int k = 0; k < system.n; ++k) {
        const Progress share = progress.part(static_cast<double>(k) / system.n, 1.0 / system.n);
        share.report(0.0);
        const IntegerSystem replaced = withExcitationInColumn(system, k);
        const std::optional<EliminationPlan> plan = planFor(replaced, primes.front(), random);
        if (!plan) continue;
        // Only the determinant, function 0 of the replaced system, is kept: numerator k + 1.
        const IntegerFunctions f =
            integerFunctions(replaced, *plan, primes, random, share, -1, k + 1);
        if (degreeLimit >= 0 && !f.coefficients.empty()) {
            for (std::size_t d = f.points; d-- > static_cast<std::size_t>(degreeLimit) + 1;) {
                if (!fmpz_is_zero(f.coefficients[d].get()))
                    throw ExactDegreeReached(k + 1, static_cast<long>(d));
            }
        }
        checkAtFreshPrime(replaced, *plan, f, primes.back(), random);
        out.numerators[static_cast<std::size_t>(k) + 1] =
            rationalOf(f.coefficients, 0, f.points, system);
    }
    return out;
}

}  // namespace

ExactLimitReached::ExactLimitReached(const ExactForecast& f, std::size_t limit)
    : std::runtime_error([&] {
          std::string text = "o cálculo exato de ";
          text += std::to_string(f.unknowns);
          text += " variáveis (grau até ";
          text += std::to_string(f.degreeBound);
          text += ", coeficientes de até ";
          text += std::to_string(f.coefficientBits);
          text += " bits) precisaria de até ";
          text += mebibytes(f.bytes);
          text += " MiB de memória; o limite é ";
          text += mebibytes(limit);
          text += " MiB";
          return text;
      }()),
      forecast(f),
      limitBytes(limit) {}

ExactForecast forecastExactFunctions(const ExactSystem& system) {
    return forecastOf(bestIntegerSystem(system));
}

ExactFunctions computeExactFunctions(const ExactSystem& system, const ExactOptions& options) {
    symbolic::fenceFlintAborts();
    const IntegerSystem integers = bestIntegerSystem(system);
    const ExactForecast forecast = forecastOf(integers);
    if (forecast.bytes > options.memoryLimitBytes)
        throw ExactLimitReached(forecast, options.memoryLimitBytes);
    const Progress progress(options, 0.0, 1.0);
    progress.report(0.0);

    // A fixed seed: the same circuit is computed the same way every time.
    std::mt19937_64 random(0x436f7276616e65ULL);
    // The primes the bound asks for, and one more for the final check.
    const std::vector<ulong> primes =
        fourierPrimes(static_cast<std::size_t>(forecast.primes) + 1, UWORD(1) << 62);
    ExactFunctions out;
    const std::optional<EliminationPlan> plan = planFor(integers, primes.front(), random);
    if (!plan) return singularFunctions(integers, primes, random, progress, options.degreeLimit);

    const IntegerFunctions f =
        integerFunctions(integers, *plan, primes, random, progress, options.degreeLimit, 0);
    checkAtFreshPrime(integers, *plan, f, primes.back(), random);
    const PointChoice choice = choosePoints(integers, *plan);
    out.work = {forecast.primes, choice.points, choice.fourier, plan->productsPerPoint(),
                plan->filledEntries(), integers.frequencyExponent};
    out.denominator = rationalOf(f.coefficients, 0, f.points, integers);
    out.numerators.resize(static_cast<std::size_t>(integers.n) + 1);
    for (std::size_t k = 1; k <= static_cast<std::size_t>(integers.n); ++k)
        out.numerators[k] = rationalOf(f.coefficients, k * f.points, f.points, integers);
    progress.report(1.0);
    return out;
}

}  // namespace corvane::exact
