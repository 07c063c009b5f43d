#pragma once

#include <filesystem>

namespace pluvora {

// A batch run's own application folder, so working files never touch the
// user's real one. Its name carries the process id: a folder whose process
// is gone (killed with SIGKILL, or a power cut) is a leftover that the next
// run clears away, with the copy of the input it holds.
class ScratchFolder {
public:
    // Creates "pluvora-batch-<pid>-XXXXXX" under `parent`, after clearing
    // leftovers there. Throws pluvora::Error when it cannot be created.
    explicit ScratchFolder(const std::filesystem::path& parent = std::filesystem::temp_directory_path());
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return mPath; }

private:
    std::filesystem::path mPath;
};

// Removes the scratch folders under `parent` whose process no longer runs;
// folders of running processes and of other users stay. Returns how many
// went.
int clearStaleScratchFolders(const std::filesystem::path& parent);

// From the call on, SIGINT, SIGTERM and SIGHUP remove the live scratch
// folder and the temporary files of writes under way before they end the program as they would have. Call it first in
// main(), before any other thread starts: it blocks those signals in every
// thread but its own.
void removeScratchFolderOnSignal();

// From the call on, those signals no longer end the program: each writes
// its number as one byte to `fd`, so a run over many files can stop in
// order. -1 restores the ending.
void reportSignalsTo(int fd);

} // namespace pluvora

// Older callers name these without the namespace.
using pluvora::ScratchFolder;
using pluvora::clearStaleScratchFolders;
using pluvora::removeScratchFolderOnSignal;
