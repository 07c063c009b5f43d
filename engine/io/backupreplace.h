#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace pluvora {

// The file steps of a replacement, behind an interface so that tests can
// make any one of them fail. Each throws on failure.
class FileOperations {
public:
    virtual ~FileOperations() = default;

    // Creates a new, empty file with a name no other file has, in `folder`,
    // beginning with `prefix`; returns its path.
    virtual std::filesystem::path createUnique(const std::filesystem::path& folder,
                                               const std::string& prefix) = 0;
    // Writes `content` to `file` and flushes it to the disk.
    virtual void writeAll(const std::filesystem::path& file, std::string_view content) = 0;
    // Copies `from` onto the existing file `to`, flushed to the disk.
    virtual void copyInto(const std::filesystem::path& from, const std::filesystem::path& to) = 0;
    // Renames `from` to `to`, replacing `to` in one step.
    virtual void rename(const std::filesystem::path& from, const std::filesystem::path& to) = 0;
    // Removes `file` if present; never throws.
    virtual void remove(const std::filesystem::path& file) noexcept = 0;
};

// The platform's own file steps.
FileOperations& systemFileOperations();

// "site.wth" + ".old": where the previous content of a replaced file is kept.
std::filesystem::path backupPathFor(const std::filesystem::path& target);

// Writes `content` to `target` in one step: a crash or a full disk leaves
// either the old file or the new one, never a part. Throws Error.
void writeAtomically(const std::filesystem::path& target, std::string_view content,
                     FileOperations& ops = systemFileOperations());

// Replaces the content of the existing file `target` by `content` and keeps
// its previous content as `target`.old (an older backup is replaced). The
// new content is written completely beside the target first, so that on a
// failure of any step `target` is still there, whole, and Error names the
// step that failed; no temporary file is left behind.
void replaceKeepingBackup(const std::filesystem::path& target, std::string_view content,
                          FileOperations& ops = systemFileOperations());

} // namespace pluvora
