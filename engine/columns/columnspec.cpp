#include "engine/columns/columnspec.h"

namespace pluvora {

bool ColumnSpec::hasColumn(int code, int columnCount) const
{
    for (int c = 1; c <= columnCount && c <= kColumnBoxes; ++c)
        if (columnVariable[static_cast<std::size_t>(c)] == code)
            return true;
    return false;
}

} // namespace pluvora
