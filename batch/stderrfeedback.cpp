#include "batch/stderrfeedback.h"

#include "engine/tasks/datacheckup.h"

#include <cstdio>

namespace pluvora {

namespace {

const char* kindName(MessageKind kind)
{
    switch (kind) {
    case MessageKind::Error: return "error";
    case MessageKind::Warning: return "warning";
    case MessageKind::Information: return "information";
    case MessageKind::Plain: return "plain";
    }
    return "message";
}

} // namespace

void StderrFeedback::showMessage(MessageKind kind, std::string_view text)
{
    if (kind == MessageKind::Information && text == kNoSuspiciousData)
        mNoSuspiciousData = true;
    line(kindName(kind), text);
}

bool StderrFeedback::askYesNo(std::string_view text)
{
    line("question", std::string(text) + (mAnswerYes ? " [Yes]" : " [No]"));
    return mAnswerYes;
}

void StderrFeedback::line(std::string_view kind, std::string_view text)
{
    std::string out(kind);
    out += ": ";
    out += text;
    out += '\n';
    std::fwrite(out.data(), 1, out.size(), stderr);
}

} // namespace pluvora
