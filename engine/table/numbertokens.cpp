#include "engine/table/numbertokens.h"

namespace pluvora {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

} // namespace

std::optional<std::string_view> NumberTokenizer::next()
{
    while (mPos < mLine.size() && !isDigit(mLine[mPos]) && mLine[mPos] != '-')
        ++mPos;
    if (mPos >= mLine.size())
        return std::nullopt;
    const std::size_t start = mPos++;
    while (mPos < mLine.size() && (isDigit(mLine[mPos]) || mLine[mPos] == '.'))
        ++mPos;
    const std::string_view token = mLine.substr(start, mPos - start);
    if (mPos < mLine.size())
        ++mPos; // the character that ended the token goes with it
    return token;
}

} // namespace pluvora
