#include "replayserver.h"

#include "tempfolder.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace pluvora::test {

ReplayServer::ReplayServer(const std::filesystem::path& log, const std::vector<std::string>& steps) : mLog(log)
{
    const std::string script = std::string(PLUVORA_TEST_SUPPORT) + "/powerserver.py";
    const std::string logArg = log.string();
    std::vector<std::string> words{"python3", script, "--log", logArg};
    words.insert(words.end(), steps.begin(), steps.end());
    std::vector<char*> argv;
    for (auto& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        throw std::runtime_error("cannot make a pipe for the test server");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    const int failed = posix_spawnp(&mPid, "python3", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    if (failed) {
        close(pipeEnds[0]);
        mPid = -1;
        throw std::runtime_error("cannot start python3 for the test server");
    }
    // The script prints its port once it listens, so no request comes early.
    FILE* out = fdopen(pipeEnds[0], "r");
    if (!out || std::fscanf(out, "%d", &mPort) != 1) {
        if (out)
            std::fclose(out);
        stop();
        throw std::runtime_error("the test server did not start");
    }
    std::fclose(out);
}

ReplayServer::~ReplayServer() { stop(); }

void ReplayServer::stop()
{
    if (mPid <= 0)
        return;
    kill(mPid, SIGTERM);
    int status = 0;
    waitpid(mPid, &status, 0);
    mPid = -1;
}

std::vector<std::string> ReplayServer::requests() const
{
    std::vector<std::string> lines;
    if (!std::filesystem::exists(mLog))
        return lines;
    std::istringstream in(readFile(mLog));
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

} // namespace pluvora::test
