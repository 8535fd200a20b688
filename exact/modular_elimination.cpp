#include "modular_elimination.h"

#include <flint/ulong_extras.h>

#include <algorithm>
#include <limits>
#include <set>

namespace corvane::exact {

namespace {

ulong entryAt(const ModularEntries& residues, std::size_t e, ulong x) {
    return nmod_add(residues.g[e], nmod_mul(residues.c[e], x, residues.mod), residues.mod);
}

// Whether the permutation taking each pivot row to its column is odd.
bool isOdd(const std::vector<int>& rows, const std::vector<int>& columns) {
    const std::size_t n = rows.size();
    std::vector<int> target(n);
    for (std::size_t k = 0; k < n; ++k)
        target[static_cast<std::size_t>(rows[k])] = columns[k];
    std::vector<char> seen(n, 0);
    bool odd = false;
    for (std::size_t start = 0; start < n; ++start) {
        std::size_t length = 0;
        for (std::size_t i = start; seen[i] == 0; i = static_cast<std::size_t>(target[i])) {
            seen[i] = 1;
            ++length;
        }
        if (length > 0 && length % 2 == 0) odd = !odd;
    }
    return odd;
}

// The active structure of the system during Markowitz's elimination.
class ActiveStructure {
public:
    ActiveStructure(int n, const std::vector<IntegerEntry>& entries)
        : n_(n),
          width_(static_cast<std::size_t>(n) + 1),
          rows_(static_cast<std::size_t>(n)),
          columns_(static_cast<std::size_t>(n)) {
        for (const IntegerEntry& e : entries)
            insert(e.row, e.column);
    }

    void insert(int row, int column) {
        rows_[static_cast<std::size_t>(row)].insert(column);
        if (column < n_) columns_[static_cast<std::size_t>(column)].insert(row);
        touched_.insert(static_cast<std::size_t>(row) * width_ + static_cast<std::size_t>(column));
    }

    bool holds(int row, int column) const {
        return rows_[static_cast<std::size_t>(row)].count(column) != 0;
    }

    // Markowitz's cost of pivot (row, column): the products its elimination makes.
    std::size_t cost(int row, int column) const {
        return (rows_[static_cast<std::size_t>(row)].size() - 1) *
               (columns_[static_cast<std::size_t>(column)].size() - 1);
    }

    const std::set<int>& row(int r) const { return rows_[static_cast<std::size_t>(r)]; }
    const std::set<int>& column(int c) const { return columns_[static_cast<std::size_t>(c)]; }

    void removePivot(int row, int column) {
        for (const int c : rows_[static_cast<std::size_t>(row)]) {
            if (c < n_ && c != column) columns_[static_cast<std::size_t>(c)].erase(row);
        }
        for (const int r : columns_[static_cast<std::size_t>(column)]) {
            if (r != row) rows_[static_cast<std::size_t>(r)].erase(column);
        }
        rows_[static_cast<std::size_t>(row)].clear();
        columns_[static_cast<std::size_t>(column)].clear();
    }

    std::vector<std::size_t> touched() const { return {touched_.begin(), touched_.end()}; }

private:
    int n_;
    std::size_t width_;
    std::vector<std::set<int>> rows_;
    std::vector<std::set<int>> columns_;
    std::set<std::size_t> touched_;
};

struct Pivot {
    int row = -1;
    int column = -1;
    std::size_t cost = std::numeric_limits<std::size_t>::max();
};

// The cheapest pivot with a non-zero value among the few sparsest active columns: the
// usual restriction of Markowitz's search, which keeps each step near linear.
Pivot cheapestPivot(const ActiveStructure& active, const std::vector<char>& columnDone,
                    const std::vector<ulong>& table, std::size_t width) {
    std::vector<std::pair<std::size_t, int>> columns;
    for (std::size_t c = 0; c < columnDone.size(); ++c) {
        if (columnDone[c] == 0)
            columns.emplace_back(active.column(static_cast<int>(c)).size(), static_cast<int>(c));
    }
    std::sort(columns.begin(), columns.end());
    constexpr int ColumnsSearched = 4;
    Pivot best;
    int searched = 0;
    for (const auto& [count, c] : columns) {
        bool found = false;
        for (const int r : active.column(c)) {
            if (table[static_cast<std::size_t>(r) * width + static_cast<std::size_t>(c)] == 0)
                continue;
            found = true;
            const std::size_t cost = active.cost(r, c);
            if (cost < best.cost) best = {r, c, cost};
        }
        if (found && ++searched == ColumnsSearched) break;
    }
    return best;
}

}  // namespace

ModularEntries reduceEntries(const std::vector<IntegerEntry>& entries, nmod_t mod) {
    ModularEntries residues{mod, {}, {}};
    residues.g.reserve(entries.size());
    residues.c.reserve(entries.size());
    for (const IntegerEntry& e : entries) {
        residues.g.push_back(fmpz_fdiv_ui(e.g.get(), mod.n));
        residues.c.push_back(fmpz_fdiv_ui(e.c.get(), mod.n));
    }
    return residues;
}

std::optional<EliminationPlan> EliminationPlan::choose(int n,
                                                       const std::vector<IntegerEntry>& entries,
                                                       const ModularEntries& residues, ulong x) {
    const nmod_t mod = residues.mod;
    const std::size_t width = static_cast<std::size_t>(n) + 1;
    std::vector<ulong> table(static_cast<std::size_t>(n) * width, 0);
    for (std::size_t e = 0; e < entries.size(); ++e)
        table[static_cast<std::size_t>(entries[e].row) * width +
              static_cast<std::size_t>(entries[e].column)] = entryAt(residues, e, x);

    ActiveStructure active(n, entries);
    std::vector<char> columnDone(static_cast<std::size_t>(n), 0);
    EliminationPlan plan;
    plan.n_ = n;
    plan.lowerStart_.push_back(0);
    plan.upperStart_.push_back(0);
    for (int k = 0; k < n; ++k) {
        const Pivot pivot = cheapestPivot(active, columnDone, table, width);
        if (pivot.row < 0) return std::nullopt;
        const std::size_t pivotBase = static_cast<std::size_t>(pivot.row) * width;
        const ulong inverse = n_invmod(table[pivotBase + static_cast<std::size_t>(pivot.column)], mod.n);
        std::vector<int> upper;
        for (const int c : active.row(pivot.row)) {
            if (c != pivot.column) upper.push_back(c);
        }
        std::vector<int> lower;
        for (const int r : active.column(pivot.column)) {
            if (r != pivot.row) lower.push_back(r);
        }
        for (const int r : lower) {
            const std::size_t base = static_cast<std::size_t>(r) * width;
            const ulong factor =
                nmod_mul(table[base + static_cast<std::size_t>(pivot.column)], inverse, mod);
            for (const int c : upper) {
                if (!active.holds(r, c)) active.insert(r, c);
                ulong& entry = table[base + static_cast<std::size_t>(c)];
                entry = nmod_sub(entry, nmod_mul(factor, table[pivotBase + static_cast<std::size_t>(c)], mod), mod);
            }
        }
        plan.products_ += lower.size() * (upper.size() + 1) + upper.size() + 2;
        plan.pivotRow_.push_back(pivot.row);
        plan.pivotColumn_.push_back(pivot.column);
        plan.lower_.insert(plan.lower_.end(), lower.begin(), lower.end());
        plan.upper_.insert(plan.upper_.end(), upper.begin(), upper.end());
        plan.lowerStart_.push_back(plan.lower_.size());
        plan.upperStart_.push_back(plan.upper_.size());
        active.removePivot(pivot.row, pivot.column);
        columnDone[static_cast<std::size_t>(pivot.column)] = 1;
    }
    plan.touched_ = active.touched();
    plan.negative_ = isOdd(plan.pivotRow_, plan.pivotColumn_);
    return plan;
}

bool EliminationPlan::evaluate(const std::vector<IntegerEntry>& entries,
                               const ModularEntries& residues, ulong x,
                               EliminationScratch& scratch, std::vector<ulong>& values) const {
    const nmod_t mod = residues.mod;
    const std::size_t width = static_cast<std::size_t>(n_) + 1;
    std::vector<ulong>& table = scratch.table;
    table.resize(static_cast<std::size_t>(n_) * width);
    for (const std::size_t position : touched_)
        table[position] = 0;
    for (std::size_t e = 0; e < entries.size(); ++e)
        table[static_cast<std::size_t>(entries[e].row) * width +
              static_cast<std::size_t>(entries[e].column)] = entryAt(residues, e, x);

    scratch.inverses.resize(static_cast<std::size_t>(n_));
    ulong determinant = 1;
    for (std::size_t k = 0; k < static_cast<std::size_t>(n_); ++k) {
        const std::size_t pivotBase = static_cast<std::size_t>(pivotRow_[k]) * width;
        const std::size_t pivotColumn = static_cast<std::size_t>(pivotColumn_[k]);
        const ulong pivot = table[pivotBase + pivotColumn];
        if (pivot == 0) return false;
        determinant = nmod_mul(determinant, pivot, mod);
        const ulong inverse = n_invmod(pivot, mod.n);
        scratch.inverses[k] = inverse;
        for (std::size_t l = lowerStart_[k]; l < lowerStart_[k + 1]; ++l) {
            const std::size_t base = static_cast<std::size_t>(lower_[l]) * width;
            const ulong factor = nmod_mul(table[base + pivotColumn], inverse, mod);
            if (factor == 0) continue;
            for (std::size_t u = upperStart_[k]; u < upperStart_[k + 1]; ++u) {
                const std::size_t c = static_cast<std::size_t>(upper_[u]);
                table[base + c] =
                    nmod_sub(table[base + c], nmod_mul(factor, table[pivotBase + c], mod), mod);
            }
        }
    }
    if (negative_) determinant = nmod_neg(determinant, mod);

    // Back substitution in the reverse pivot order: the solution of the system at x.
    std::vector<ulong>& solution = scratch.solution;
    solution.assign(static_cast<std::size_t>(n_), 0);
    const std::size_t excitation = static_cast<std::size_t>(n_);
    for (std::size_t k = static_cast<std::size_t>(n_); k-- > 0;) {
        const std::size_t pivotBase = static_cast<std::size_t>(pivotRow_[k]) * width;
        ulong sum = table[pivotBase + excitation];
        for (std::size_t u = upperStart_[k]; u < upperStart_[k + 1]; ++u) {
            const std::size_t c = static_cast<std::size_t>(upper_[u]);
            if (c == excitation) continue;
            sum = nmod_sub(sum, nmod_mul(table[pivotBase + c], solution[c], mod), mod);
        }
        solution[static_cast<std::size_t>(pivotColumn_[k])] = nmod_mul(sum, scratch.inverses[k], mod);
    }
    values.resize(static_cast<std::size_t>(n_) + 1);
    values[0] = determinant;
    for (std::size_t k = 0; k < static_cast<std::size_t>(n_); ++k)
        values[k + 1] = nmod_mul(determinant, solution[k], mod);
    return true;
}

}  // namespace corvane::exact
