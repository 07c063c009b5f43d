#include "engine/columns/columnlayout.h"

namespace pluvora {

ColumnLayout columnLayout(int spacerPosition, int firstLeft)
{
    ColumnLayout layout;
    layout.width = 62 + spacerPosition;
    const int pitch = layout.width - 6;
    for (int i = 0; i < kColumnBoxes; ++i) {
        layout.boxLeft[static_cast<std::size_t>(i)] = firstLeft + i * pitch;
        layout.labelLeft[static_cast<std::size_t>(i)] =
            layout.boxLeft[static_cast<std::size_t>(i)] + layout.width / 2 - 12;
    }
    return layout;
}

} // namespace pluvora
