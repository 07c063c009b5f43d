#pragma once

namespace pluvora {

// Where in the input panel a run found what stopped it.
struct InputPosition {
    int line = 0;   // 1-based line of the input panel
    int column = 0; // 1-based column (token) of that line
};

} // namespace pluvora
