#pragma once

#include <optional>
#include <string_view>

namespace pluvora {

// The weather file a task-1 run writes: the present one, or a crop model's own.
enum class ModelFormat { Wth, Dssat, Apsim, PcseCsv, Cabo, AquaCrop, Stics };

// From the names the command line takes: wth, dssat, apsim, pcse-csv, cabo,
// aquacrop, stics.
std::optional<ModelFormat> modelFormatNamed(std::string_view name);
std::string_view modelFormatName(ModelFormat format);
// The model's name as messages give it.
std::string_view modelFormatTitle(ModelFormat format);
// The extension of its file, with the dot; CABO's is the year's, AquaCrop's
// the one of the file that names the others.
std::string_view modelFormatExtension(ModelFormat format);
// CABO and AquaCrop write several files, named after one stem.
bool modelFormatWritesManyFiles(ModelFormat format);

} // namespace pluvora
