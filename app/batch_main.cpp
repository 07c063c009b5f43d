#include "batch/batchrun.h"
#include "batch/scratchfolder.h"

#include <string_view>
#include <vector>

int main(int argc, char* argv[])
{
    pluvora::removeScratchFolderOnSignal();
    return pluvora::batchMain(std::vector<std::string_view>(argv + 1, argv + argc));
}
