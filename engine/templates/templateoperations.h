#pragma once

#include "engine/templates/templatestore.h"
#include "engine/ui/userfeedback.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pluvora {

inline constexpr const char* kNoNameGiven = "No name is given.";
inline constexpr const char* kOverwriteTemplate = "Overwrite the existing template of the same name?";
inline constexpr const char* kDeleteTemplate = "Delete this template?";
inline constexpr const char* kTemplateNotFound = "Settings are not found for the selected template.";
inline constexpr const char* kNoTemplateList = "No template list is found.";
inline constexpr const char* kTemplateProblems = "Problems encountered. Operation aborted.";

// The user-facing template operations. Each takes the list its dialog shows
// and returns the list after the change, already written to
// "TemplateList.pvd", or nothing when the user declined or the operation was
// refused (the reason has been told).

// A typed name up to its first line break: each name is one line of the
// template files, so a pasted break must not split it.
std::string_view templateName(std::string_view typed);

// Saves `spec` under `name`; a name already in the list is overwritten only
// after the user agrees.
std::optional<std::vector<std::string>> saveTemplate(const TemplateStore& store, UserFeedback& ui,
                                                     std::vector<std::string> names,
                                                     std::string_view name,
                                                     const DataTemplate& spec);

// Renames in place; an empty name is refused and a name in use is treated
// as an overwrite, as a save treats it. A damaged settings file stops the
// rename and stays as it was.
std::optional<std::vector<std::string>> renameTemplate(const TemplateStore& store,
                                                       UserFeedback& ui,
                                                       std::vector<std::string> names,
                                                       std::string_view oldName,
                                                       std::string_view newName);

// Deletes after the user agrees; a damaged settings file stays as it was.
std::optional<std::vector<std::string>> deleteTemplate(const TemplateStore& store,
                                                       UserFeedback& ui,
                                                       std::vector<std::string> names,
                                                       std::string_view name);

} // namespace pluvora
