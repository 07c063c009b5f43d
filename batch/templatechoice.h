#pragma once

#include "engine/templates/datatemplate.h"

#include <filesystem>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace pluvora {

// The application folder the window uses, found as the window finds it:
// under $XDG_DATA_HOME, else ~/.local/share. Empty when neither is known.
std::filesystem::path userAppFolder();

// The templates a batch run can name: those of the user's application
// folder, or of a settings file in the same format ("--templates FILE").
struct TemplateLookup {
    std::optional<DataTemplate> found;
    std::vector<std::string> names; // every name there is, for a wrong one
};

// Throws Error when the file cannot be read or a block's numbers are not
// whole numbers.
TemplateLookup lookUpTemplate(const std::string& name, const std::optional<std::string>& settingsFile);

} // namespace pluvora
