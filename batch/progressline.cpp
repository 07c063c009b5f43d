#include "batch/progressline.h"

#include <cstdio>

#include <unistd.h>

namespace pluvora {

namespace {

// A terminal line follows every file, throttled; plain lines are for logs.
constexpr auto kTerminalEvery = std::chrono::milliseconds(100);
constexpr auto kPlainEvery = std::chrono::seconds(10);

void put(const std::string& text) { std::fwrite(text.data(), 1, text.size(), stderr); }

} // namespace

ProgressLine::ProgressLine(std::size_t total, bool quiet)
    : mTotal(total), mQuiet(quiet), mTerminal(::isatty(STDERR_FILENO) == 1)
{
    mLastDrawn = mStart;
}

std::string ProgressLine::text() const
{
    const double seconds = std::chrono::duration<double>(Clock::now() - mStart).count();
    const double rate = seconds > 0 ? static_cast<double>(mDone) / seconds : 0;
    char line[160];
    if (rate > 0) {
        const long left = static_cast<long>(static_cast<double>(mTotal - mDone) / rate + 0.5);
        std::snprintf(line, sizeof line, "%zu/%zu files, %.1f files/s, %ld:%02ld left, %zu failed", mDone, mTotal,
                      rate, left / 60, left % 60, mFailed);
    } else {
        std::snprintf(line, sizeof line, "%zu/%zu files, %zu failed", mDone, mTotal, mFailed);
    }
    return line;
}

void ProgressLine::draw()
{
    mLastDrawn = Clock::now();
    if (mTerminal) {
        put("\r\033[K" + text());
        mShown = true;
    } else {
        put("notice: " + text() + "\n");
    }
}

void ProgressLine::fileDone(bool failed)
{
    ++mDone;
    mFailed += failed ? 1 : 0;
    tick();
}

void ProgressLine::tick()
{
    if (mQuiet)
        return;
    const auto due = mLastDrawn + (mTerminal ? kTerminalEvery : kPlainEvery);
    if (Clock::now() >= due || (mTerminal && mDone == mTotal))
        draw();
}

void ProgressLine::interject(const std::string& text)
{
    if (mShown)
        put("\r\033[K");
    mShown = false;
    put(text);
    if (!mQuiet && mTerminal)
        draw();
}

void ProgressLine::clear()
{
    if (mShown)
        put("\r\033[K");
    mShown = false;
}

int ProgressLine::refreshMillis() const
{
    if (mQuiet)
        return -1;
    return static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(mTerminal ? kTerminalEvery
                                                                                             : kPlainEvery)
                                .count());
}

} // namespace pluvora
