#pragma once

#include "engine/columns/variablecatalogue.h"

#include <array>

namespace pluvora {

inline constexpr int kSpacerMinimum = -20;
inline constexpr int kSpacerMaximum = 100;

// Where the spacer puts the column boxes of one row and their number labels,
// as x positions relative to the first box, which never moves.
struct ColumnLayout {
    int width = 0;                               // every box of both rows
    std::array<int, kColumnBoxes> boxLeft{};     // left edges, column 1 first
    std::array<int, kColumnBoxes> labelLeft{};   // number labels "1".."12"
};

// Boxes overlap their neighbour by 6 pixels so that the column pitch can
// follow narrow text columns; a label sits roughly over its box's middle.
ColumnLayout columnLayout(int spacerPosition, int firstLeft);

} // namespace pluvora
