#include "batch/powerreply.h"

#include "engine/error.h"

#include <algorithm>
#include <cctype>

namespace pluvora {

namespace {

std::string_view trimmed(std::string_view text)
{
    const std::size_t begin = text.find_first_not_of(" \t\r");
    if (begin == std::string_view::npos)
        return {};
    return text.substr(begin, text.find_last_not_of(" \t\r") - begin + 1);
}

// Text from the service as a message may show it: no control characters
// that could move the terminal's cursor, and not too long.
std::string shownText(std::string_view text)
{
    std::string out;
    for (char c : text.substr(0, 300))
        out += std::iscntrl(static_cast<unsigned char>(c)) ? ' ' : c;
    return out;
}

// The line after `at`, without its end (CRLF and LF both occur, even in
// one reply), and `at` moved past it.
std::string_view nextLine(std::string_view body, std::size_t& at)
{
    const std::size_t end = std::min(body.find('\n', at), body.size());
    std::string_view line = body.substr(at, end - at);
    at = end + 1;
    if (line.ends_with('\r'))
        line.remove_suffix(1);
    return line;
}

std::string lower(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// The word after `key` in `line` (compared in lower case).
std::string wordAfter(std::string_view line, std::string_view key)
{
    const std::size_t at = lower(line).find(key);
    if (at == std::string::npos)
        return {};
    std::string_view rest = trimmed(line.substr(at + key.size()));
    return shownText(rest.substr(0, rest.find_first_of(" \t")));
}

// The first line, shortened, to show what came instead.
std::string firstLine(std::string_view body)
{
    std::size_t at = 0;
    std::string line(trimmed(nextLine(body, at)));
    if (line.size() > 80)
        line = line.substr(0, 77) + "...";
    return shownText(line);
}

} // namespace

void checkPowerCsv(std::string_view body)
{
    std::size_t at = 0;
    bool header = trimmed(nextLine(body, at)) == "-BEGIN HEADER-";
    bool columns = false;
    while (header && at < body.size()) {
        if (trimmed(nextLine(body, at)) == "-END HEADER-") {
            columns = at < body.size() && nextLine(body, at).starts_with("YEAR,");
            break;
        }
    }
    if (header && columns)
        return;
    const std::string_view start = trimmed(body.substr(0, std::min<std::size_t>(body.size(), 64)));
    std::string message = "NASA POWER did not send the expected CSV";
    if (start.starts_with('{') || start.starts_with('[')) {
        const std::string reason = jsonReason(body);
        message += reason.empty() ? " but JSON" : " but JSON saying: " + reason;
    } else if (body.empty()) {
        message += " but an empty reply";
    } else if (header) {
        message += " but a header without the columns after it";
    } else {
        message += " but a reply that begins \"" + firstLine(body) + "\"";
    }
    throw Error(message + "; nothing was written");
}

PowerSite powerSite(std::string_view body)
{
    PowerSite site;
    std::size_t at = 0;
    while (at < body.size()) {
        const std::string_view line = nextLine(body, at);
        if (trimmed(line) == "-END HEADER-")
            break;
        const std::string text = lower(line);
        if (text.starts_with("location:")) {
            site.latitude = wordAfter(line, "latitude");
            site.longitude = wordAfter(line, "longitude");
        } else if (text.starts_with("elevation") && text.find('=') != std::string::npos) {
            site.elevation = wordAfter(line, "=");
        }
    }
    return site;
}

std::string jsonReason(std::string_view body)
{
    for (std::string_view key : {"\"Issue\"", "\"messages\"", "\"message\"", "\"detail\"", "\"errors\""}) {
        std::size_t at = body.find(key);
        if (at == std::string_view::npos)
            continue;
        at += key.size();
        while (true) {
            const std::size_t open = body.find('"', at);
            if (open == std::string_view::npos)
                break;
            std::size_t close = open + 1;
            while (close < body.size() && body[close] != '"')
                close += body[close] == '\\' ? 2 : 1;
            if (close >= body.size())
                break;
            const std::size_t next = body.find_first_not_of(" \t\r\n", close + 1);
            if (next == std::string_view::npos || body[next] != ':')
                return shownText(body.substr(open + 1, close - open - 1));
            at = close + 1; // a key on the way down to the text
        }
    }
    return {};
}

} // namespace pluvora
