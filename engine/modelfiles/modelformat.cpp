#include "engine/modelfiles/modelformat.h"

#include <array>

namespace pluvora {

namespace {

struct FormatNames {
    ModelFormat format;
    std::string_view name;
    std::string_view title;
    std::string_view extension;
};

constexpr std::array<FormatNames, 7> kFormats{{
    {ModelFormat::Wth, "wth", "weather", ".wth"},
    {ModelFormat::Dssat, "dssat", "DSSAT", ".WTH"},
    {ModelFormat::Apsim, "apsim", "APSIM", ".met"},
    {ModelFormat::PcseCsv, "pcse-csv", "PCSE CSV", ".csv"},
    {ModelFormat::Cabo, "cabo", "CABO", ""},
    {ModelFormat::AquaCrop, "aquacrop", "AquaCrop", ".CLI"},
    {ModelFormat::Stics, "stics", "STICS", ".txt"},
}};

const FormatNames& namesOf(ModelFormat format)
{
    for (const auto& names : kFormats)
        if (names.format == format)
            return names;
    return kFormats[0];
}

} // namespace

std::optional<ModelFormat> modelFormatNamed(std::string_view name)
{
    for (const auto& names : kFormats)
        if (names.name == name)
            return names.format;
    return std::nullopt;
}

std::string_view modelFormatName(ModelFormat format) { return namesOf(format).name; }
std::string_view modelFormatTitle(ModelFormat format) { return namesOf(format).title; }
std::string_view modelFormatExtension(ModelFormat format) { return namesOf(format).extension; }

bool modelFormatWritesManyFiles(ModelFormat format)
{
    return format == ModelFormat::Cabo || format == ModelFormat::AquaCrop;
}

} // namespace pluvora
