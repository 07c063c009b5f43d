#include "engine/columns/cataloguenames.h"

#include "engine/columns/variablecatalogue.h"

namespace pluvora {

namespace {

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool sameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i]))
            return false;
    return true;
}

template <typename Names>
std::optional<int> find(const Names& names, std::string_view name)
{
    for (std::size_t i = 0; i < names.size(); ++i)
        if (sameName(names[i], name))
            return static_cast<int>(i);
    return std::nullopt;
}

template <typename Names>
std::string joined(const Names& names)
{
    std::string list;
    for (const auto name : names) {
        if (!list.empty())
            list += ", ";
        list += name;
    }
    return list;
}

} // namespace

std::optional<int> findVariable(std::string_view name) { return find(variableItems(), name); }

std::optional<int> findUnit(int code, std::string_view unit)
{
    // The SI spelling of the list's km/hr.
    if (code == kWndSpd && sameName(unit, "km/h"))
        unit = "km/hr";
    return find(variableInfo(code).units, unit);
}

std::string variableNameList() { return joined(variableItems()); }

std::string unitNameList(int code) { return joined(variableInfo(code).units); }

} // namespace pluvora
