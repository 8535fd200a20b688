// Covers the table of element kinds against what circuit theory says of any stamp: what
// enters one terminal of a port leaves by the other, reciprocal elements stamp symmetric
// entries, and a stamp reaches only the unknowns its kind has.
#include "element_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <tuple>

namespace corvane {
namespace {

using enum StampPlace;

bool isNodeOfPort(StampPlace place, StampPlace first, StampPlace second) {
    return place == first || place == second;
}

// The op-amp's letter has two rows, the ideal one first: a line's model picks the second.
TEST(ElementTableTest, HoldsEveryLetterOfTheNetlistOnce) {
    std::string letters;
    for (const ElementKind& kind : elementKinds()) {
        letters += kind.letter;
        EXPECT_EQ(kind.finiteGain, letters == "RCLIVGEFHOO") << letters;
    }
    EXPECT_EQ(letters, "RCLIVGEFHOOK");
    for (const char letter : letters)
        EXPECT_EQ(findElementKind(letter)->letter, letter);
    for (const char letter : {'X', 'r', '\0', '*'})
        EXPECT_EQ(findElementKind(letter), nullptr) << letter;
}

// Kirchhoff's current law inside the element: in every column, the terms of the rows of a
// port's two nodes cancel (same factor, same power, opposite signs).
TEST(ElementTableTest, WhatEntersOneNodeOfAPortLeavesByTheOther) {
    for (const ElementKind& kind : elementKinds()) {
        std::map<std::tuple<int, StampPlace, StampFactor, StampPower>, int> balance;
        for (const StampTerm& term : kind.stamp) {
            int port = 0;
            if (isNodeOfPort(term.row, A, B)) port = 1;
            if (isNodeOfPort(term.row, C, D)) port = 2;
            if (port != 0) balance[{port, term.column, term.factor, term.power}] += term.sign;
        }
        for (const auto& [key, sum] : balance)
            EXPECT_EQ(sum, 0) << kind.letter << " port " << std::get<0>(key);
    }
}

// Resistors, capacitors and the mutual inductance are reciprocal: entry (r, c) is (c, r).
TEST(ElementTableTest, ReciprocalElementsStampSymmetricEntries) {
    for (const char letter : {'R', 'C', 'K'}) {
        const ElementKind& kind = *findElementKind(letter);
        for (const StampTerm& term : kind.stamp) {
            if (term.column == Excitation) continue;
            const bool mirrored =
                std::any_of(kind.stamp.begin(), kind.stamp.end(), [&](const StampTerm& other) {
                    return other.row == term.column && other.column == term.row &&
                           other.sign == term.sign && other.factor == term.factor &&
                           other.power == term.power;
                });
            EXPECT_TRUE(mirrored) << letter;
        }
    }
}

// A coupling's a and b are element numbers, not nodes; c and d exist only on four-node
// kinds; x and y only where the kind has those currents.
TEST(ElementTableTest, StampsReachOnlyTheUnknownsOfTheirKind) {
    for (const ElementKind& kind : elementKinds()) {
        const bool coupling = kind.connections == Connections::TwoInductors;
        const auto allowed = [&](StampPlace place) {
            switch (place) {
                case A:
                case B:
                    return !coupling;
                case C:
                case D:
                    return kind.connections == Connections::FourNodes;
                case X:
                    return coupling || kind.extraCurrentCount() >= 1;
                case Y:
                    return coupling || kind.extraCurrentCount() == 2;
                case Excitation:
                    return false;
            }
            return false;
        };
        for (const StampTerm& term : kind.stamp) {
            EXPECT_TRUE(allowed(term.row)) << kind.letter;
            EXPECT_TRUE(allowed(term.column) || term.column == Excitation) << kind.letter;
            EXPECT_TRUE(term.sign == 1 || term.sign == -1) << kind.letter;
        }
    }
}

// Only sources have a type; only storage elements (and the coupling, through its
// inductors) bring initial conditions; a kind with a value stamps it.
TEST(ElementTableTest, ValuesAndInitialConditionsAppearWhereTheKindHasThem) {
    for (const ElementKind& kind : elementKinds()) {
        const auto uses = [&](StampFactor factor) {
            return std::any_of(kind.stamp.begin(), kind.stamp.end(),
                               [&](const StampTerm& t) { return t.factor == factor; });
        };
        EXPECT_EQ(kind.hasSourceType(), kind.letter == 'I' || kind.letter == 'V') << kind.letter;
        EXPECT_EQ(uses(StampFactor::ValueTimesOwnInitial),
                  kind.initialCondition != InitialCondition::None)
            << kind.letter;
        EXPECT_EQ(uses(StampFactor::ValueTimesFirstInitial) &&
                      uses(StampFactor::ValueTimesSecondInitial),
                  kind.connections == Connections::TwoInductors)
            << kind.letter;
        EXPECT_EQ(uses(StampFactor::Value), kind.value != StampedValue::None) << kind.letter;
    }
}

}  // namespace
}  // namespace corvane
