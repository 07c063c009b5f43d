#pragma once

#include "engine/error.h"

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace pluvora {

// The one way a user's or the program's file is written: whole or not at
// all. The new content goes to a temporary file beside the file it
// replaces, is flushed to the disk, takes over the old file's mode and
// (where the process may) its owner and group, and is renamed over it. A
// new file gets the mode the umask allows. A symbolic link is followed and
// its target replaced; a file with other hard links is written in place
// from the finished temporary copy, so every name sees the new content; a
// character device or a FIFO (/dev/null, /dev/stdout) is written straight
// into. A file the user may not write is refused.

// Receives the new content piece by piece.
using PutText = std::function<void(std::string_view)>;
using ContentWriter = std::function<void(const PutText& put)>;
// Fills the file at the path it is given (a temporary file, or a device).
using FileFiller = std::function<void(const std::filesystem::path&)>;

// The file steps of a replacement, behind an interface so that tests can
// make any one of them fail. Each throws on failure.
class FileOperations {
public:
    virtual ~FileOperations() = default;

    // Creates a new, empty file with a name no other file has, in `folder`,
    // beginning with `prefix`; returns its path.
    virtual std::filesystem::path createUnique(const std::filesystem::path& folder,
                                               const std::string& prefix) = 0;
    // Writes `content` to `file`.
    virtual void writeAll(const std::filesystem::path& file, std::string_view content) = 0;
    // Copies `from` onto the existing file `to`, flushed to the disk.
    virtual void copyInto(const std::filesystem::path& from, const std::filesystem::path& to) = 0;
    // Renames `from` to `to`, replacing `to` in one step.
    virtual void rename(const std::filesystem::path& from, const std::filesystem::path& to) = 0;
    // Removes `file` if present; never throws.
    virtual void remove(const std::filesystem::path& file) noexcept = 0;

    // Makes what was written to `file` reach the disk.
    virtual void flush(const std::filesystem::path& file);
    // Writes what `content` puts to `file`. This default gathers it and
    // hands it to writeAll; the platform's own steps stream it.
    virtual void writeWith(const std::filesystem::path& file, const ContentWriter& content);
};

// The platform's own file steps.
FileOperations& systemFileOperations();

// "site.wth" + ".old": where the previous content of a replaced file is kept.
std::filesystem::path backupPathFor(const std::filesystem::path& target);

// The file that writing to `path` reaches: symbolic links followed, also a
// dangling one (its target is where a new file goes). Throws Error on a
// loop of links.
std::filesystem::path followLinks(const std::filesystem::path& path);

// How the temporary file beside the target is named.
enum class TemporaryName {
    Unique, // a hidden name of its own: never touches another file there
    Fixed,  // "target.new": for the program's own files, so a leftover is
            // reused by the next write instead of piling up
};

// Lets `fill` write the whole new content of `target`, then puts it in
// place as described above. On any failure Error says why, naming
// `target`, and `target` is as it was; no temporary file stays.
void writeFileWhole(const std::filesystem::path& target, const FileFiller& fill,
                    TemporaryName naming = TemporaryName::Unique,
                    FileOperations& ops = systemFileOperations());

// writeFileWhole with `content` as the whole new content.
void writeAtomically(const std::filesystem::path& target, std::string_view content,
                     FileOperations& ops = systemFileOperations());

// What `beforeReplace` below throws to stop a replacement; its text is
// shown as it is.
class ReplaceStopped : public Error {
public:
    using Error::Error;
};

// Replaces the content of the existing file `target` by `content` and keeps
// its previous content as `target`.old (an older backup is replaced). The
// new content is written completely beside the target first, so that on a
// failure of any step `target` is still there, whole, and Error names the
// step that failed; no temporary file is left behind. `beforeReplace`, when
// given, runs just before the old content gives way and may throw to stop.
void replaceKeepingBackup(const std::filesystem::path& target, std::string_view content,
                          FileOperations& ops = systemFileOperations());
void replaceKeepingBackup(const std::filesystem::path& target, const ContentWriter& content,
                          FileOperations& ops = systemFileOperations(),
                          const std::function<void()>& beforeReplace = {});

// Removes every temporary file a write has under way and stops further
// ones: for the thread that ends the program on SIGINT, SIGTERM or SIGHUP.
// Returns with the writes held, so the caller can end the process.
void removeTemporaryFilesForExit() noexcept;

} // namespace pluvora
