#include "engine/suggest/suggestionverdict.h"

#include "engine/columns/variablecatalogue.h"

#include <algorithm>

namespace pluvora {

namespace {

std::string variableName(int code) { return std::string(variableInfo(code).item); }

std::string label(const SuggestedColumn& c)
{
    std::string text = "column " + std::to_string(c.field);
    if (!c.header.empty())
        text += " (" + c.header + ")";
    return text;
}

bool isVariable(const SuggestedColumn& c, int code) { return c.variable == variableName(code); }

// Humidity comes as RelHum or as what it is computed from.
bool holds(const SuggestedColumn& c, int code)
{
    if (code == kRelHum)
        return isVariable(c, kRelHum) || isVariable(c, kDewPt) || isVariable(c, kVapPr);
    return isVariable(c, code);
}

// Left unread by a choice of the suggestion that needs no word: the
// variable is read from another column, or the column is past the twelve.
bool leftOnPurpose(const SuggestedColumn& c)
{
    return c.reason.find(" is read from ") != std::string::npos || c.reason == "more than twelve columns";
}

int variableCodeOf(const std::string& item)
{
    const auto items = variableItems();
    for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i] == item)
            return static_cast<int>(i);
    return kUnselected;
}

std::string joined(const std::vector<std::string>& items)
{
    std::string text;
    for (std::size_t i = 0; i < items.size(); ++i)
        text += (i == 0 ? "" : i + 1 == items.size() ? " or " : ", ") + items[i];
    return text;
}

} // namespace

// Whether a task reads a variable at all: the weather file takes neither
// wind nor sunshine nor pan evaporation, so those need no column for it.
bool taskReads(int task, int code)
{
    switch (code) {
    case kWndSpd: return task == 3 || task == 7;
    case kSunHr:
    case kSunHrPercent: return task == 3 || task == 5;
    case kPanEvap: return task == 3 || task == 6;
    case kSoilT: return task == 3;
    default: return true;
    }
}

SuggestionVerdict judgeSuggestion(const LayoutSuggestion& s, bool picking, int task, bool rearrange)
{
    const std::vector<int> required = weatherFileVariables(task, rearrange);
    SuggestionVerdict verdict;
    if (!s.found) {
        verdict.problems.push_back("no rows of data were found");
        return verdict;
    }
    const auto boxes = s.boxColumns(picking);
    const bool dated = std::any_of(boxes.begin(), boxes.end(), [](const SuggestedColumn* c) {
        return c->variable == "Year" || c->variable == "Date" || c->variable == "YYDOY";
    });
    if (!dated) {
        std::string line = "the date: no column was found";
        for (const auto& c : s.columns)
            if (c.reason.find("dates ") == 0 || c.reason.find("dates written") != std::string::npos) {
                line += "; " + label(c) + " holds " + c.reason;
                break;
            }
        verdict.problems.push_back(line);
    }
    for (int code : required) {
        const std::string name = variableName(code);
        const auto chosen = std::find_if(boxes.begin(), boxes.end(),
                                         [&](const SuggestedColumn* c) { return holds(*c, code); });
        if (chosen != boxes.end()) {
            if ((*chosen)->confidence == Confidence::Low)
                verdict.problems.push_back(name + ": " + label(**chosen) + " is unsure (" +
                                           (*chosen)->reason + ")");
            continue;
        }
        // Columns that hold it by name; only without one, those whose values fit.
        std::vector<std::string> candidates;
        for (const bool byName : {true, false}) {
            if (!byName && !candidates.empty())
                break;
            for (const auto& c : s.columns) {
                const bool outOfReach = holds(c, code) && std::find(boxes.begin(), boxes.end(), &c) == boxes.end();
                const bool named = c.namedVariable == name || outOfReach;
                const bool byValues = std::find(c.mightHold.begin(), c.mightHold.end(), name) != c.mightHold.end();
                if (byName ? named : (byValues && !named))
                    candidates.push_back(label(c) + (outOfReach ? " (past the twelfth column)" : ""));
            }
        }
        std::string line = name + ": no column was found";
        constexpr std::size_t kNamed = 5;
        if (candidates.size() > kNamed) {
            const std::size_t more = candidates.size() - kNamed + 1;
            candidates.resize(kNamed - 1);
            candidates.push_back(std::to_string(more) + " more");
        }
        if (!candidates.empty())
            line += "; " + joined(candidates) + " might hold it";
        verdict.problems.push_back(line);
    }
    for (const auto& c : s.columns) {
        const int code = variableCodeOf(c.variable);
        const bool told = std::find(required.begin(), required.end(), code) != required.end();
        if (code > kIgnore && !told && taskReads(task, code) &&
            std::find(boxes.begin(), boxes.end(), &c) == boxes.end())
            verdict.problems.push_back(label(c) + " holds " + c.variable +
                                       " past the twelfth column: remove columns to reach it");
        if (c.variable != "Ignore" || c.namedVariable.empty() || leftOnPurpose(c) ||
            !taskReads(task, variableCodeOf(c.namedVariable)))
            continue;
        verdict.problems.push_back(label(c) + " looks like " + c.namedVariable + " but is left unread: " +
                                   c.reason);
    }
    return verdict;
}

} // namespace pluvora
