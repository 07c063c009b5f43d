#pragma once

#include <array>
#include <string_view>

namespace pluvora {

inline constexpr int kTaskCount = 7;

struct TaskInfo {
    std::string_view item;  // text in the task list
    bool rearrangeOffered;  // "Convert and rearrange" is enabled and checked
};

// Task list order is the task number minus one.
inline constexpr std::array<TaskInfo, kTaskCount> kTasks{{
    {"1, Convert to Maravel/Nitrova format", false},
    {"2, Add new data to existing Maravel/Nitrova weather file", false},
    {"3, Check for erroneous data entries", false},
    {"4, Estimate solar radiation from temperature", true},
    {"5, Estimate solar radiation from sunshine hours or percentage", true},
    {"6, Estimate reference ET from pan evaporation", true},
    {"7, Estimate alfalfa-referenced ETr usingFAO Penman-Monteith method", true},
}};

} // namespace pluvora
