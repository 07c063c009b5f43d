#pragma once

#include <optional>
#include <string_view>

namespace pluvora {

// The number tokens that the layout commands find in a row. Unlike the
// separator rule of a run, a token starts at a digit or a minus sign and runs
// over digits and full stops; the first other character ends it and is
// dropped with it. So 2010-05-21 gives 2010, 05 and 21, 1.5e-3 gives 1.5 and
// -3, and ".5" gives 5. Everything that cannot start a token is skipped.
class NumberTokenizer {
public:
    explicit NumberTokenizer(std::string_view line) : mLine(line) {}

    // The next token, or nothing at the end of the row. Never empty.
    std::optional<std::string_view> next();

private:
    std::string_view mLine;
    std::size_t mPos = 0;
};

} // namespace pluvora
