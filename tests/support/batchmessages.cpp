#include "batchmessages.h"

#include <sstream>

namespace pluvora::test {

std::string withoutZeroNotices(const std::string& err)
{
    std::istringstream lines(err);
    std::string kept;
    for (std::string line; std::getline(lines, line);)
        if (line.rfind("notice: No column holds ", 0) != 0)
            kept += line + "\n";
    return kept;
}

} // namespace pluvora::test
