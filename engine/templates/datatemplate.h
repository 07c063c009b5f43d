#pragma once

#include "engine/columns/datalayout.h"

namespace pluvora {

// A stored template is a column layout under a name.
using DataTemplate = DataLayout;

} // namespace pluvora
