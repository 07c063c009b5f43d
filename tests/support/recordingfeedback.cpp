#include "recordingfeedback.h"

#include <gtest/gtest.h>

namespace pluvora::test {

std::string kindName(MessageKind kind)
{
    switch (kind) {
    case MessageKind::Error: return "error";
    case MessageKind::Warning: return "warning";
    case MessageKind::Information: return "information";
    case MessageKind::Plain: return "plain";
    }
    return "?";
}

void RecordingFeedback::showMessage(MessageKind kind, std::string_view text)
{
    calls.push_back(kindName(kind) + ": " + std::string(text));
}

bool RecordingFeedback::askYesNo(std::string_view text)
{
    calls.push_back("ask: " + std::string(text));
    if (answers.empty()) {
        ADD_FAILURE() << "unscripted question: " << text;
        return false;
    }
    const bool yes = answers.front();
    answers.pop_front();
    return yes;
}

void RecordingFeedback::playSound(Sound sound)
{
    calls.push_back(sound == Sound::Error ? "sound: error" : "sound: exclamation");
}

void RecordingFeedback::setProgressVisible(bool visible) { progressVisible = visible; }

std::vector<std::string> RecordingFeedback::messages() const
{
    std::vector<std::string> out;
    for (const auto& c : calls)
        if (c.rfind("sound: ", 0) != 0 && c.rfind("ask: ", 0) != 0)
            out.push_back(c);
    return out;
}

} // namespace pluvora::test
