#pragma once

#include <array>
#include <string_view>

namespace pluvora {

inline constexpr int kTaskCount = 7;

struct TaskInfo {
    std::string_view item;  // text in the task list
    std::string_view page;  // name of the page shown for the task
    bool rearrangeOffered;  // "Convert and rearrange" is enabled and checked
};

// Task list order is the task number minus one.
inline constexpr std::array<TaskInfo, kTaskCount> kTasks{{
    {"1, Convert to Maravel/Nitrova format", "TabSheet1", false},
    {"2, Add new data to existing Maravel/Nitrova weather file", "TabSheet7", false},
    {"3, Check for erroneous data entries", "TabSheet2", false},
    {"4, Estimate solar radiation from temperature", "TabSheet3", true},
    {"5, Estimate solar radiation from sunshine hours or percentage", "TabSheet6", true},
    {"6, Estimate reference ET from pan evaporation", "TabSheet4", true},
    {"7, Estimate alfalfa-referenced ETr usingFAO Penman-Monteith method", "TabSheet5", true},
}};

} // namespace pluvora
