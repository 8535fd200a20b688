#include "expansion_forecast.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstdio>
#include <numeric>
#include <random>

namespace corvane {

namespace {

using Mask = std::uint32_t;  // bit r for row r

// Removed row sets tried at each depth: enough to see any share of a few per cent, which is
// all that matters for runs of seconds.
constexpr int SamplesPerDepth = 64;
// The minors of the smallest orders are expanded directly, never stored.
constexpr int SmallestStoredOrder = 4;
constexpr double SecondsPerMinor = 3.5e-7;
constexpr double AnnouncedSeconds = 3.0;

// Kuhn's augmenting path for column slot `slot`, among the rows in `rows`.
bool augment(const std::array<Mask, SystemColumns>& rowsOfSlot, int slot, Mask rows,
             Mask& visited, std::array<int, SystemRows>& slotOfRow) {
    for (Mask candidates = rowsOfSlot[slot] & rows & ~visited; candidates;
         candidates &= candidates - 1) {
        const int row = std::countr_zero(candidates);
        visited |= Mask{1} << row;
        if (slotOfRow[row] < 0 ||
            augment(rowsOfSlot, slotOfRow[row], rows, visited, slotOfRow)) {
            slotOfRow[row] = slot;
            return true;
        }
    }
    return false;
}

// Whether the rows in `rows` can be matched one to one to the columns `columns[0..count)`
// through non-zero entries.
bool perfectlyMatched(const std::array<Mask, SystemColumns>& rowsOfColumn, Mask rows,
                      const int* columns, int count) {
    std::array<Mask, SystemColumns> rowsOfSlot{};
    for (int i = 0; i < count; ++i)
        rowsOfSlot[i] = rowsOfColumn[columns[i]];
    std::array<int, SystemRows> slotOfRow;
    slotOfRow.fill(-1);
    for (int slot = 0; slot < count; ++slot) {
        Mask visited = 0;
        if (!augment(rowsOfSlot, slot, rows, visited, slotOfRow)) return false;
    }
    return true;
}

double binomial(int n, int k) {
    double c = 1.0;
    for (int i = 1; i <= k; ++i)
        c = c * (n - k + i) / i;
    return c;
}

}  // namespace

double estimateDistinctMinors(const SystemMatrix& matrix, int n) {
    std::array<Mask, SystemColumns> rowsOfColumn{};
    for (int column = 1; column <= n + 1; ++column) {
        for (int row = 1; row <= n; ++row) {
            if (!isZero(matrix.at(row, column))) rowsOfColumn[column] |= Mask{1} << row;
        }
    }
    std::array<int, SystemColumns> columns{};
    std::iota(columns.begin(), columns.end(), 0);
    std::array<int, SystemRows> order{};
    std::mt19937 random(20261208);
    const Mask allRows = ((Mask{2} << n) - 1) & ~Mask{1};

    double minors = 0.0;
    // Shared minors of depth d are the denominator's; numerator k has its own from depth 1
    // to k - 1, with the excitation at position k.
    for (int depth = 2; depth <= n - SmallestStoredOrder; ++depth) {
        int reached = 0;
        for (int sample = 0; sample < SamplesPerDepth; ++sample) {
            std::iota(order.begin() + 1, order.begin() + n + 1, 1);
            for (int i = 0; i < depth; ++i) {
                std::uniform_int_distribution<int> pick(i + 1, n);
                std::swap(order[i + 1], order[pick(random)]);
            }
            Mask removed = 0;
            for (int i = 1; i <= depth; ++i)
                removed |= Mask{1} << order[i];
            if (!perfectlyMatched(rowsOfColumn, removed, &columns[1], depth)) continue;
            const Mask remaining = allRows & ~removed;
            std::array<int, SystemColumns> list = columns;
            if (perfectlyMatched(rowsOfColumn, remaining, &list[depth + 1], n - depth)) ++reached;
            for (int k = depth + 1; k <= n; ++k) {
                list[k] = n + 1;
                if (perfectlyMatched(rowsOfColumn, remaining, &list[depth + 1], n - depth)) {
                    ++reached;
                }
                list[k] = k;
            }
        }
        minors += binomial(n, depth) * reached / SamplesPerDepth;
    }
    return minors;
}

std::optional<std::string> expansionForecastLine(double distinctMinors) {
    const double seconds = distinctMinors * SecondsPerMinor;
    if (!(seconds > AnnouncedSeconds)) return std::nullopt;
    char duration[32];
    if (seconds < 120.0) {
        std::snprintf(duration, sizeof duration, "%.0f s", seconds);
    } else if (seconds < 7200.0) {
        std::snprintf(duration, sizeof duration, "%.0f min", seconds / 60.0);
    } else {
        std::snprintf(duration, sizeof duration, "%.0f h", seconds / 3600.0);
    }
    char line[200];
    std::snprintf(line, sizeof line,
                  "Previsão: a expansão deve levar cerca de %s (%.2g menores distintos a "
                  "calcular); ela pode ser cancelada.",
                  duration, distinctMinors);
    return std::string(line);
}

}  // namespace corvane
