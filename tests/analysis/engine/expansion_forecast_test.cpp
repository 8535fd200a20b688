// The forecast of the memoised expansion's work: exact counts where every minor is reached
// (no zero entries), a brute-force count of the same criterion on sparse systems, and the
// line the log shows.
#include "expansion_forecast.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <random>

namespace corvane {
namespace {

double binomial(int n, int k) {
    double c = 1.0;
    for (int i = 1; i <= k; ++i)
        c = c * (n - k + i) / i;
    return c;
}

SystemMatrix withoutZeros(int n) {
    SystemMatrix m;
    for (int r = 1; r <= n; ++r) {
        for (int c = 1; c <= n + 1; ++c)
            m.at(r, c) = MnaEntry{1.0 + r * 0.01 + c * 0.001, 0.0, 0};
    }
    return m;
}

// Without zeros, every row set of every depth is a minor: the denominator's C(n, d) at each
// depth d from 2 to n - 4, and C(n, d) of numerator k's own at each d < k.
TEST(ExpansionForecastTest, ExactWithoutZeros) {
    for (const int n : {8, 12, 16, 20, 25}) {
        double expected = 0.0;
        for (int d = 2; d <= n - 4; ++d)
            expected += binomial(n, d) * (1 + n - d);
        EXPECT_NEAR(estimateDistinctMinors(withoutZeros(n), n), expected, expected * 1e-12) << n;
    }
}

// Whether `rows` matches the given columns one to one through non-zero entries, by trying
// every assignment (small sets only).
bool matchesByBruteForce(const SystemMatrix& m, std::uint32_t rows, const std::vector<int>& columns,
                         std::size_t next = 0) {
    if (next == columns.size()) return true;
    for (std::uint32_t left = rows; left; left &= left - 1) {
        const int row = std::countr_zero(left);
        const MnaEntry& e = m.at(row, columns[next]);
        if (e.s0 == 0.0 && e.s1 == 0.0) continue;
        if (matchesByBruteForce(m, rows & ~(std::uint32_t{1} << row), columns, next + 1)) return true;
    }
    return false;
}

// Every removed row set of a small sparse system, counted: the sampled estimate comes near.
TEST(ExpansionForecastTest, NearTheCountOfEveryRowSet) {
    const int n = 11;
    std::mt19937 random(11);
    std::bernoulli_distribution present(0.45);
    for (int trial = 0; trial < 3; ++trial) {
        SystemMatrix m;
        for (int r = 1; r <= n; ++r) {
            for (int c = 1; c <= n + 1; ++c) {
                if (r == c || present(random)) m.at(r, c) = MnaEntry{1.0, 0.0, 0};
            }
        }
        double counted = 0.0;
        const std::uint32_t all = ((std::uint32_t{2} << n) - 1) & ~std::uint32_t{1};
        for (std::uint32_t removed = 0; removed <= all; removed += 2) {
            if ((removed & ~all) != 0) continue;
            const int d = std::popcount(removed);
            if (d < 2 || d > n - 4) continue;
            std::vector<int> first;
            for (int c = 1; c <= d; ++c)
                first.push_back(c);
            if (!matchesByBruteForce(m, removed, first)) continue;
            for (int k = 0; k <= n; ++k) {
                if (k != 0 && k <= d) continue;
                std::vector<int> rest;
                for (int c = d + 1; c <= n; ++c)
                    rest.push_back(c == k ? n + 1 : c);
                if (matchesByBruteForce(m, all & ~removed, rest)) counted += 1.0;
            }
        }
        const double estimate = estimateDistinctMinors(m, n);
        EXPECT_NEAR(estimate, counted, 0.25 * counted) << trial;
    }
}

TEST(ExpansionForecastTest, TheLineOnlyForRunsOfSeconds) {
    struct Case {
        double minors;
        const char* line;
    };
    const Case cases[] = {
        {0.0, nullptr},
        {1e6, nullptr},
        {8e6, nullptr},
        {1e7, "Previsão: a expansão deve levar cerca de 4 s (1e+07 menores distintos a calcular); "
              "ela pode ser cancelada."},
        {1e9, "Previsão: a expansão deve levar cerca de 6 min (1e+09 menores distintos a "
              "calcular); ela pode ser cancelada."},
        {1e11, "Previsão: a expansão deve levar cerca de 10 h (1e+11 menores distintos a "
               "calcular); ela pode ser cancelada."},
        {std::nan(""), nullptr},
    };
    for (const Case& c : cases) {
        const auto line = expansionForecastLine(c.minors);
        if (!c.line) {
            EXPECT_FALSE(line) << c.minors;
        } else {
            ASSERT_TRUE(line) << c.minors;
            EXPECT_EQ(*line, c.line);
        }
    }
}

}  // namespace
}  // namespace corvane
