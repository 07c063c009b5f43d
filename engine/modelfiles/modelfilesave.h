#pragma once

#include "engine/modelfiles/modelfiles.h"

#include <array>
#include <filesystem>
#include <string>
#include <string_view>

namespace pluvora {

// The working file of a run's days for a crop model's file.
inline constexpr std::string_view kModelDaysFile = "Days.~";

// The window's "Weather file format" choices, in list order.
inline constexpr std::array<std::string_view, 7> kWeatherFileFormatItems{
    "Maravel / Nitrova (.wth)", "DSSAT (.WTH)", "APSIM (.met)", "WOFOST / PCSE CSV (.csv)",
    "CABO (one file a year)", "AquaCrop (.CLI and its files)", "STICS (climat.txt)"};
ModelFormat modelFormatAt(int index);

// A task-1 run that kept its days for a model's file: what "Save" writes.
struct ModelFileOffer {
    ModelFormat format = ModelFormat::Dssat;
    std::filesystem::path days; // the run's DayLog
    std::string source;         // the input's name
};

// The Save dialog's filter for the format, as kOutputSaveFilter is given.
std::string modelFileSaveFilter(ModelFormat format);

// "Save" of an offered model file: the site from the coordinate row of
// the output (its second line), the chosen name with the format's
// extension, then writeModelFiles. Throws ModelFileRefused or Error.
ModelFilesWritten saveModelFile(const ModelFileOffer& offer, std::string_view outputText,
                                const std::filesystem::path& chosen);

} // namespace pluvora
