#include "engine/templates/templateoperations.h"

#include <algorithm>

namespace pluvora {

namespace {

bool contains(const std::vector<std::string>& names, std::string_view name)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

void erase(std::vector<std::string>& names, std::string_view name)
{
    names.erase(std::remove(names.begin(), names.end(), name), names.end());
}

bool overwriteAgreed(UserFeedback& ui)
{
    ui.playSound(Sound::Exclamation);
    return ui.askYesNo(kOverwriteTemplate);
}

std::vector<std::string> storeList(const TemplateStore& store, std::vector<std::string> names)
{
    sortTemplateNames(names);
    store.saveNames(names);
    return names;
}

} // namespace

std::string_view templateName(std::string_view typed)
{
    return typed.substr(0, typed.find_first_of("\r\n"));
}

std::optional<std::vector<std::string>> saveTemplate(const TemplateStore& store, UserFeedback& ui,
                                                     std::vector<std::string> names,
                                                     std::string_view name,
                                                     const DataTemplate& spec)
{
    name = templateName(name);
    if (name.empty()) {
        reportError(ui, kNoNameGiven);
        return std::nullopt;
    }
    if (contains(names, name)) {
        if (!overwriteAgreed(ui))
            return std::nullopt;
        erase(names, name);
        store.removeBlocks(name);
    }
    names.emplace_back(name);
    names = storeList(store, std::move(names));
    store.append(name, spec);
    return names;
}

std::optional<std::vector<std::string>> renameTemplate(const TemplateStore& store,
                                                       UserFeedback& ui,
                                                       std::vector<std::string> names,
                                                       std::string_view oldName,
                                                       std::string_view newName)
{
    newName = templateName(newName);
    if (newName.empty()) {
        reportError(ui, kNoNameGiven);
        return std::nullopt;
    }
    if (newName != oldName && contains(names, newName) && !overwriteAgreed(ui))
        return std::nullopt;
    try {
        store.rename(oldName, newName);
    } catch (const TemplateDamaged&) {
        reportError(ui, kTemplateProblems);
        return std::nullopt;
    }
    erase(names, oldName);
    erase(names, newName);
    names.emplace_back(newName);
    return storeList(store, std::move(names));
}

std::optional<std::vector<std::string>> deleteTemplate(const TemplateStore& store,
                                                       UserFeedback& ui,
                                                       std::vector<std::string> names,
                                                       std::string_view name)
{
    if (!ui.askYesNo(kDeleteTemplate))
        return std::nullopt;
    try {
        store.remove(name);
    } catch (const TemplateDamaged&) {
        reportError(ui, kTemplateProblems);
        return std::nullopt;
    }
    erase(names, name);
    return storeList(store, std::move(names));
}

} // namespace pluvora
