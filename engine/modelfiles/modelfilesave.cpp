#include "engine/modelfiles/modelfilesave.h"

#include "engine/error.h"

namespace pluvora {

namespace {

constexpr std::array<ModelFormat, 7> kFormatsInListOrder{ModelFormat::Wth,     ModelFormat::Dssat,
                                                          ModelFormat::Apsim,   ModelFormat::PcseCsv,
                                                          ModelFormat::Cabo,    ModelFormat::AquaCrop,
                                                          ModelFormat::Stics};

std::string_view secondLine(std::string_view text)
{
    const auto first = text.find('\n');
    if (first == std::string_view::npos)
        return {};
    text.remove_prefix(first + 1);
    const auto end = text.find_first_of("\r\n");
    return text.substr(0, end);
}

} // namespace

ModelFormat modelFormatAt(int index)
{
    if (index < 0 || index >= static_cast<int>(kFormatsInListOrder.size()))
        return ModelFormat::Wth;
    return kFormatsInListOrder[static_cast<std::size_t>(index)];
}

std::string modelFileSaveFilter(ModelFormat format)
{
    const std::string title(modelFormatTitle(format));
    const std::string extension(modelFormatExtension(format));
    if (extension.empty())
        return title + " weather files (NAME.yyy)|*.*";
    return title + " weather files (" + extension + ")|*" + extension;
}

ModelFilesWritten saveModelFile(const ModelFileOffer& offer, std::string_view outputText,
                                const std::filesystem::path& chosen)
{
    const ModelSite site = modelSiteOf(secondLine(outputText), offer.source);
    std::filesystem::path target = chosen;
    if (!target.has_extension())
        target += std::string(modelFormatExtension(offer.format));
    ModelFileSettings settings;
    settings.format = offer.format;
    settings.source = offer.source;
    return writeModelFiles(offer.days, site, settings, target);
}

} // namespace pluvora
