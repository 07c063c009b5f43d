#include "batch/powerfetch.h"

#include "batch/powercache.h"
#include "batch/powerclient.h"
#include "batch/powerreply.h"
#include "batch/stderrfeedback.h"
#include "engine/error.h"
#include "engine/io/backupreplace.h"

#include <cstdio>
#include <cstdlib>

namespace pluvora {

namespace {

std::string siteText(const PowerSite& site)
{
    auto orUnknown = [](const std::string& text) { return text.empty() ? std::string("not given") : text; };
    std::string text = "site: latitude " + orUnknown(site.latitude) + ", longitude " + orUnknown(site.longitude)
                       + ", elevation ";
    text += site.elevation.empty() ? "not given" : site.elevation + " m";
    return text + " (as the reply's header gives them)";
}

} // namespace

std::string powerReplyFor(const PowerRequest& request)
{
    const std::string url = powerRequestUrl(request);
    const auto cache = PowerCache::forUser();
    if (cache && !request.refresh) {
        if (auto reply = cache->find(url)) {
            try {
                checkPowerCsv(*reply);
                StderrFeedback::line("notice", "taken from the cache " + cache->fileFor(url).string()
                                                   + " (--refresh asks NASA POWER again)");
                return *reply;
            } catch (const Error&) {
                // a damaged copy is asked for again
            }
        }
    }
    std::string reply = fetchPowerReply(url, powerTimingFromEnvironment(),
                                        [](std::string_view text) { StderrFeedback::line("notice", text); });
    checkPowerCsv(reply);
    if (cache) {
        try {
            cache->keep(url, reply);
        } catch (const Error& error) {
            StderrFeedback::line("note", std::string("the reply was not kept in the cache: ") + error.what());
        }
    }
    return reply;
}

int runGetPower(const PowerRequest& request)
{
    try {
        const std::string reply = powerReplyFor(request);
        if (request.output) {
            writeAtomically(*request.output, reply);
        } else if (std::fwrite(reply.data(), 1, reply.size(), stdout) != reply.size()
                   || std::fflush(stdout) != 0) {
            throw Error("could not write the reply to standard output");
        }
        StderrFeedback::line("notice", kPowerAttribution);
        StderrFeedback::line("notice", siteText(powerSite(reply)));
        return EXIT_SUCCESS;
    } catch (const std::bad_alloc&) {
        StderrFeedback::line("error", "There is not enough memory for this run.");
    } catch (const std::exception& error) {
        StderrFeedback::line("error", error.what());
    }
    return EXIT_FAILURE;
}

} // namespace pluvora
