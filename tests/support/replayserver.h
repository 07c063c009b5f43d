#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

namespace pluvora::test {

// powerserver.py on 127.0.0.1, a free port, for as long as this object
// lives: each request takes the next of `steps` (see the script), the last
// answers every later one. The requested paths are logged to `log`.
class ReplayServer {
public:
    ReplayServer(const std::filesystem::path& log, const std::vector<std::string>& steps);
    ~ReplayServer();
    ReplayServer(const ReplayServer&) = delete;
    ReplayServer& operator=(const ReplayServer&) = delete;

    std::string url() const { return "http://127.0.0.1:" + std::to_string(mPort); }
    // The path and query of each request so far, in order.
    std::vector<std::string> requests() const;
    void stop();

private:
    std::filesystem::path mLog;
    pid_t mPid = -1;
    int mPort = 0;
};

} // namespace pluvora::test
