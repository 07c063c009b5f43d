#pragma once

#include "engine/modelfiles/modelformat.h"
#include "engine/modelfiles/modelsite.h"

#include <filesystem>
#include <string>
#include <vector>

namespace pluvora {

class TextWriter;

struct ModelFileSettings {
    ModelFormat format = ModelFormat::Dssat;
    int dssatDateDigits = 5;
    std::string source; // the input's file name, for the headers
};

struct ModelFilesWritten {
    std::vector<std::filesystem::path> files;
    std::vector<std::string> notices; // what the model would warn about
};

// Checks every day of `daysFile` against the model's reading rules, then
// writes the model's file at `target`, whole or not at all; CABO writes
// one file per year and AquaCrop its four files beside it, named after its
// stem. Throws
// ModelFileRefused, before any byte is written, for a day the model's
// reader would refuse.
ModelFilesWritten writeModelFiles(const std::filesystem::path& daysFile, const ModelSite& site,
                                  const ModelFileSettings& settings, const std::filesystem::path& target);

// The same for a format of one file, to `out` (standard output).
ModelFilesWritten writeModelFile(const std::filesystem::path& daysFile, const ModelSite& site,
                                 const ModelFileSettings& settings, TextWriter& out);

} // namespace pluvora
