#include "modular_elimination.h"

#include <flint/ulong_extras.h>

#include <algorithm>
#include <limits>
#include <map>
#include <set>

namespace corvane::exact {

namespace {

ulong entryAt(const ModularEntries& residues, std::size_t e, ulong x) {
    return nmod_add(residues.g[e], nmod_mul(residues.c[e], x, residues.mod), residues.mod);
}

// Replaces every (non-zero) value by its inverse with one inversion and 3 products each.
void invertAll(ulong* values, std::size_t count, std::vector<ulong>& prefix, nmod_t mod) {
    prefix.resize(count);
    ulong running = 1;
    for (std::size_t i = 0; i < count; ++i) {
        prefix[i] = running;
        running = nmod_mul(running, values[i], mod);
    }
    ulong inverse = n_invmod(running, mod.n);
    for (std::size_t i = count; i-- > 0;) {
        const ulong value = values[i];
        values[i] = nmod_mul(inverse, prefix[i], mod);
        inverse = nmod_mul(inverse, value, mod);
    }
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
        const std::size_t position = static_cast<std::size_t>(row) * width_ + static_cast<std::size_t>(column);
        if (slots_.count(position) == 0) {
            const std::size_t slot = slots_.size();
            slots_.emplace(position, slot);
        }
    }

    // Where entry (row, column) is kept in the evaluations.
    std::size_t slot(int row, int column) const {
        return slots_.at(static_cast<std::size_t>(row) * width_ + static_cast<std::size_t>(column));
    }
    std::size_t slotCount() const { return slots_.size(); }

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

private:
    int n_;
    std::size_t width_;
    std::vector<std::set<int>> rows_;
    std::vector<std::set<int>> columns_;
    std::map<std::size_t, std::size_t> slots_;
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
    std::vector<int> pivotRows;
    plan.lowerStart_.push_back(0);
    plan.upperStart_.push_back(0);
    plan.targetStart_.push_back(0);
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
        plan.products_ += lower.size() * (upper.size() + 1) + upper.size() + 4;
        pivotRows.push_back(pivot.row);
        plan.pivotColumn_.push_back(pivot.column);
        plan.pivotSlot_.push_back(active.slot(pivot.row, pivot.column));
        for (const int c : upper) {
            plan.upperColumn_.push_back(c);
            plan.upperSlot_.push_back(active.slot(pivot.row, c));
        }
        for (const int r : lower) {
            plan.lower_.push_back(active.slot(r, pivot.column));
            for (const int c : upper)
                plan.targets_.push_back(active.slot(r, c));
            plan.targetStart_.push_back(plan.targets_.size());
        }
        plan.upperStart_.push_back(plan.upperColumn_.size());
        plan.lowerStart_.push_back(plan.lower_.size());
        active.removePivot(pivot.row, pivot.column);
        columnDone[static_cast<std::size_t>(pivot.column)] = 1;
    }
    plan.slots_ = active.slotCount();
    for (const IntegerEntry& e : entries)
        plan.entrySlot_.push_back(active.slot(e.row, e.column));
    plan.negative_ = isOdd(pivotRows, plan.pivotColumn_);
    return plan;
}

void EliminationPlan::evaluate(const ModularEntries& residues, const std::vector<ulong>& xs,
                               EliminationScratch& scratch, std::vector<ulong>& values,
                               std::vector<char>& usable) const {
    const nmod_t mod = residues.mod;
    const std::size_t points = xs.size();
    const std::size_t n = static_cast<std::size_t>(n_);
    // Entry slot t at point j is table[t · points + j].
    std::vector<ulong>& table = scratch.table;
    table.assign(slots_ * points, 0);
    for (std::size_t e = 0; e < entrySlot_.size(); ++e) {
        ulong* entry = &table[entrySlot_[e] * points];
        for (std::size_t j = 0; j < points; ++j)
            entry[j] = entryAt(residues, e, xs[j]);
    }
    usable.assign(points, 1);
    values.assign((n + 1) * points, 0);
    ulong* determinant = values.data();
    for (std::size_t j = 0; j < points; ++j)
        determinant[j] = negative_ ? nmod_neg(1, mod) : 1;

    std::vector<ulong>& inverses = scratch.inverses;
    inverses.resize(n * points);
    std::vector<ulong>& factors = scratch.factors;
    factors.resize(points);
    for (std::size_t k = 0; k < n; ++k) {
        ulong* pivot = &table[pivotSlot_[k] * points];
        ulong* inverse = &inverses[k * points];
        for (std::size_t j = 0; j < points; ++j) {
            if (pivot[j] == 0) usable[j] = 0;
            determinant[j] = nmod_mul(determinant[j], pivot[j], mod);
            inverse[j] = pivot[j] == 0 ? 1 : pivot[j];
        }
        invertAll(inverse, points, scratch.prefix, mod);
        const std::size_t upperBegin = upperStart_[k];
        const std::size_t width = upperStart_[k + 1] - upperBegin;
        for (std::size_t l = lowerStart_[k]; l < lowerStart_[k + 1]; ++l) {
            const ulong* below = &table[lower_[l] * points];
            for (std::size_t j = 0; j < points; ++j)
                factors[j] = nmod_mul(below[j], inverse[j], mod);
            const std::size_t* target = &targets_[targetStart_[l]];
            for (std::size_t u = 0; u < width; ++u) {
                ulong* to = &table[target[u] * points];
                const ulong* from = &table[upperSlot_[upperBegin + u] * points];
                for (std::size_t j = 0; j < points; ++j)
                    to[j] = nmod_sub(to[j], nmod_mul(factors[j], from[j], mod), mod);
            }
        }
    }

    // Back substitution in the reverse pivot order: the solution at each point, times the
    // determinant, is the numerators there.
    std::vector<ulong>& solution = scratch.solution;
    solution.assign(n * points, 0);
    std::vector<ulong>& sum = factors;
    for (std::size_t k = n; k-- > 0;) {
        std::fill(sum.begin(), sum.end(), 0);
        for (std::size_t u = upperStart_[k]; u < upperStart_[k + 1]; ++u) {
            const ulong* entry = &table[upperSlot_[u] * points];
            const auto column = static_cast<std::size_t>(upperColumn_[u]);
            if (column == n) {
                for (std::size_t j = 0; j < points; ++j)
                    sum[j] = nmod_add(sum[j], entry[j], mod);
            } else {
                const ulong* known = &solution[column * points];
                for (std::size_t j = 0; j < points; ++j)
                    sum[j] = nmod_sub(sum[j], nmod_mul(entry[j], known[j], mod), mod);
            }
        }
        ulong* unknown = &solution[static_cast<std::size_t>(pivotColumn_[k]) * points];
        const ulong* inverse = &inverses[k * points];
        for (std::size_t j = 0; j < points; ++j)
            unknown[j] = nmod_mul(sum[j], inverse[j], mod);
    }
    for (std::size_t v = 0; v < n; ++v) {
        ulong* numerator = &values[(v + 1) * points];
        const ulong* unknown = &solution[v * points];
        for (std::size_t j = 0; j < points; ++j)
            numerator[j] = nmod_mul(determinant[j], unknown[j], mod);
    }
}

}  // namespace corvane::exact
