#pragma once

#include <chrono>
#include <cstddef>
#include <string>

namespace pluvora {

// Progress of a run over many files on standard error: one line redrawn in
// place on a terminal, a plain line now and then otherwise, none when quiet.
class ProgressLine {
public:
    ProgressLine(std::size_t total, bool quiet);

    void fileDone(bool failed);
    // Redraws when due; call it whenever the run wakes up.
    void tick();
    // Text that must stand on its own lines (a failure's messages): the
    // progress line steps aside for it.
    void interject(const std::string& text);
    // Removes the line before the run's last words.
    void clear();
    // How long the run may sleep before the next redraw.
    int refreshMillis() const;

    // "12/1000 files, 85.3 files/s, 0:11 left, 0 failed"
    std::string text() const;

private:
    void draw();

    using Clock = std::chrono::steady_clock;
    std::size_t mTotal;
    std::size_t mDone = 0;
    std::size_t mFailed = 0;
    bool mQuiet;
    bool mTerminal;
    bool mShown = false;
    Clock::time_point mStart = Clock::now();
    Clock::time_point mLastDrawn{};
};

} // namespace pluvora
