#include "batchoptions.h"
