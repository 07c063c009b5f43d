#include "engine/stage/integertext.h"

namespace pluvora {

std::string notAnIntegerMessage(std::string_view text)
{
    return "'" + std::string(text) + "' is not a valid integer value";
}

} // namespace pluvora
