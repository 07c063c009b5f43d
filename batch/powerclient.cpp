#include "batch/powerclient.h"

#include "batch/powerreply.h"

#include "engine/error.h"
#include "engine/io/numbertext.h"

#include <curl/curl.h>

#include <cstdlib>
#include <memory>
#include <thread>

namespace pluvora {

namespace {

// A reply larger than this is no daily point series (20 parameters over
// 45 years are a few megabytes): stop rather than fill the memory.
constexpr std::size_t kLargestReply = 64u << 20;

struct Reply {
    long status = 0;
    std::string body;
    bool tooLarge = false;
};

std::size_t keepBody(char* data, std::size_t size, std::size_t count, void* user)
{
    auto* reply = static_cast<Reply*>(user);
    const std::size_t bytes = size * count;
    if (reply->body.size() + bytes > kLargestReply) {
        reply->tooLarge = true;
        return 0;
    }
    reply->body.append(data, bytes);
    return bytes;
}

std::string seconds(std::chrono::milliseconds time)
{
    std::string text = formatFixed(static_cast<double>(time.count()) / 1000.0, 3);
    while (text.ends_with('0'))
        text.pop_back();
    if (text.ends_with('.'))
        text.pop_back();
    return text + " s";
}

// The host of `url`, for messages.
std::string hostOf(const std::string& url)
{
    std::size_t begin = url.find("://");
    begin = begin == std::string::npos ? 0 : begin + 3;
    const std::size_t end = url.find_first_of("/?", begin);
    return url.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
}

std::string statusMeaning(long status)
{
    switch (status) {
    case 400: return "the service did not accept the request";
    case 404: return "no such address; check --power-url";
    case 422: return "the service refused a value of the request (site, dates or parameters)";
    case 429: return "too many requests; try again in a few minutes";
    case 500: return "a fault on the service's side; try again later";
    case 502:
    case 504: return "a gateway before the service failed; try again later";
    case 503: return "the service is busy or down for maintenance; try again later";
    default: return status >= 500 ? "a fault on the service's side" : "the request was refused";
    }
}

Reply getOnce(const std::string& url, const PowerTiming& timing)
{
    std::unique_ptr<CURL, void (*)(CURL*)> curl(curl_easy_init(), curl_easy_cleanup);
    if (!curl)
        throw Error("could not start an HTTP request");
    Reply reply;
    char reason[CURL_ERROR_SIZE] = {};
    const std::string agent = std::string("pluvora-batch/") + PLUVORA_VERSION;
    curl_easy_setopt(curl.get(), CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl.get(), CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl.get(), CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl.get(), CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(curl.get(), CURLOPT_USERAGENT, agent.c_str());
    curl_easy_setopt(curl.get(), CURLOPT_ACCEPT_ENCODING, ""); // any the library can undo
    curl_easy_setopt(curl.get(), CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(timing.connect.count()));
    curl_easy_setopt(curl.get(), CURLOPT_TIMEOUT_MS, static_cast<long>(timing.total.count()));
    curl_easy_setopt(curl.get(), CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_ERRORBUFFER, reason);
    curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, keepBody);
    curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, &reply);

    const CURLcode code = curl_easy_perform(curl.get());
    const std::string host = hostOf(url);
    switch (code) {
    case CURLE_OK:
        break;
    case CURLE_OPERATION_TIMEDOUT:
        throw Error("NASA POWER at " + host + " did not answer within " + seconds(timing.total)
                    + " (connecting: " + seconds(timing.connect) + "); try again later");
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
        throw Error("could not find " + host + ": is the computer online?");
    case CURLE_COULDNT_CONNECT:
        throw Error("could not connect to " + host + ": is the computer online, and the address right?");
    case CURLE_PARTIAL_FILE:
    case CURLE_GOT_NOTHING:
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
        throw Error("the connection to " + host + " was cut before the reply was complete; try again");
    case CURLE_WRITE_ERROR:
        if (reply.tooLarge)
            throw Error("the reply from " + host + " is larger than a daily series can be; stopped");
        [[fallthrough]];
    default:
        throw Error("the request to " + host + " failed: " + (reason[0] ? reason : curl_easy_strerror(code)));
    }
    curl_easy_getinfo(curl.get(), CURLINFO_RESPONSE_CODE, &reply.status);
    return reply;
}

std::optional<std::chrono::milliseconds> millisecondsOf(std::string_view secondsText)
{
    const auto value = parseDecimal(secondsText);
    if (!value || *value < 0 || *value > 3600)
        return std::nullopt;
    return std::chrono::milliseconds(static_cast<long long>(*value * 1000.0 + 0.5));
}

} // namespace

PowerTiming powerTimingFromEnvironment()
{
    PowerTiming timing;
    const char* text = std::getenv("PLUVORA_POWER_TIMING");
    if (!text)
        return timing;
    const std::string_view all(text);
    const std::size_t first = all.find(',');
    const std::size_t second = first == std::string_view::npos ? first : all.find(',', first + 1);
    if (second == std::string_view::npos)
        return timing;
    const auto connect = millisecondsOf(all.substr(0, first));
    const auto total = millisecondsOf(all.substr(first + 1, second - first - 1));
    const auto wait = millisecondsOf(all.substr(second + 1));
    if (connect && total && wait && connect->count() > 0 && total->count() > 0) {
        timing.connect = *connect;
        timing.total = *total;
        timing.firstWait = *wait;
    }
    return timing;
}

std::string fetchPowerReply(const std::string& url, const PowerTiming& timing, const RetryNotice& notice)
{
    static const CURLcode started = curl_global_init(CURL_GLOBAL_DEFAULT);
    if (started != CURLE_OK)
        throw Error("could not start the HTTP library");
    auto wait = timing.firstWait;
    for (int attempt = 0;; ++attempt) {
        Reply reply = getOnce(url, timing);
        if (reply.status == 200)
            return std::move(reply.body);
        const bool busy = reply.status == 429 || reply.status == 503;
        std::string what = "NASA POWER answered HTTP " + std::to_string(reply.status);
        if (!busy || attempt == timing.retries) {
            std::string message = what + " (" + statusMeaning(reply.status) + ")";
            if (const std::string reason = jsonReason(reply.body); !reason.empty())
                message += ": " + reason;
            if (busy)
                message += "; asked " + std::to_string(attempt + 1) + " times";
            throw Error(message);
        }
        notice(what + " (" + (reply.status == 429 ? "too many requests" : "busy")
               + "); asking again in " + seconds(wait));
        std::this_thread::sleep_for(wait);
        wait *= 2;
    }
}

} // namespace pluvora
