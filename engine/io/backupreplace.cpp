#include "io/backupreplace.h"

#include "error.h"

#include <cerrno>
#include <cstring>
#include <random>
#include <system_error>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace pluvora {

namespace fs = std::filesystem;

namespace {

[[noreturn]] void throwErrno(const char* what, const fs::path& file)
{
    throw std::system_error(errno, std::generic_category(),
                            std::string(what) + " \"" + file.string() + "\"");
}

// Closes the descriptor however the writing ends.
class Descriptor {
public:
    explicit Descriptor(int fd) : mFd(fd) {}
    ~Descriptor()
    {
        if (mFd >= 0)
            ::close(mFd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return mFd; }
    // A failed close can be the first sign of a full disk.
    void close(const fs::path& file)
    {
        const int fd = mFd;
        mFd = -1;
        if (::close(fd) != 0)
            throwErrno("Cannot close", file);
    }

private:
    int mFd;
};

void writeBytes(int fd, const char* data, std::size_t size, const fs::path& file)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            throwErrno("Cannot write", file);
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
}

void syncAndClose(Descriptor& fd, const fs::path& file)
{
    if (::fsync(fd.get()) != 0)
        throwErrno("Cannot flush", file);
    fd.close(file);
}

class SystemFileOperations : public FileOperations {
public:
    fs::path createUnique(const fs::path& folder, const std::string& prefix) override
    {
        // Not mkstemp: its files are private to the owner, and a saved file
        // should get the same mode as any other the user creates.
        static std::mt19937 generator(std::random_device{}());
        static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::string name = prefix;
            for (int i = 0; i < 8; ++i)
                name += kLetters[generator() % (sizeof(kLetters) - 1)];
            const fs::path file = folder / name;
            const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd >= 0) {
                ::close(fd);
                return file;
            }
            if (errno != EEXIST)
                throwErrno("Cannot create a file in", folder);
        }
        throwErrno("Cannot create a file in", folder);
    }

    void writeAll(const fs::path& file, std::string_view content) override
    {
        Descriptor fd(::open(file.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC));
        if (fd.get() < 0)
            throwErrno("Cannot open", file);
        writeBytes(fd.get(), content.data(), content.size(), file);
        syncAndClose(fd, file);
    }

    void copyInto(const fs::path& from, const fs::path& to) override
    {
        Descriptor in(::open(from.c_str(), O_RDONLY | O_CLOEXEC));
        if (in.get() < 0)
            throwErrno("Cannot open", from);
        Descriptor out(::open(to.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC));
        if (out.get() < 0)
            throwErrno("Cannot open", to);
        std::vector<char> buffer(1 << 18);
        for (;;) {
            const ssize_t got = ::read(in.get(), buffer.data(), buffer.size());
            if (got < 0) {
                if (errno == EINTR)
                    continue;
                throwErrno("Cannot read", from);
            }
            if (got == 0)
                break;
            writeBytes(out.get(), buffer.data(), static_cast<std::size_t>(got), to);
        }
        syncAndClose(out, to);
    }

    void rename(const fs::path& from, const fs::path& to) override
    {
        if (::rename(from.c_str(), to.c_str()) != 0)
            throwErrno("Cannot rename", from);
    }

    void remove(const fs::path& file) noexcept override
    {
        std::error_code ignored;
        fs::remove(file, ignored);
    }
};

std::string stepFailed(const fs::path& target, std::string_view step, const std::exception& cause)
{
    return "Could not " + std::string(step) + " for \"" + target.filename().string() + "\" ("
           + cause.what() + "). The file is unchanged.";
}

// A new file is private to its owner; the replacement should be readable
// by whoever could read the file it replaces. Best effort: the content
// matters more than the mode.
void keepPermissions(const fs::path& from, const fs::path& to)
{
    std::error_code ec;
    const fs::file_status status = fs::status(from, ec);
    if (!ec)
        fs::permissions(to, status.permissions(), ec);
}

} // namespace

FileOperations& systemFileOperations()
{
    static SystemFileOperations operations;
    return operations;
}

fs::path backupPathFor(const fs::path& target)
{
    fs::path backup = target;
    backup += ".old";
    return backup;
}

void writeAtomically(const fs::path& target, std::string_view content, FileOperations& ops)
{
    const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    fs::path part;
    try {
        part = ops.createUnique(folder, "." + target.filename().string() + ".");
        ops.writeAll(part, content);
        keepPermissions(target, part);
        ops.rename(part, target);
    } catch (const std::exception& cause) {
        if (!part.empty())
            ops.remove(part);
        throw Error("Cannot write file \"" + target.string() + "\": " + cause.what());
    }
}

void replaceKeepingBackup(const fs::path& target, std::string_view content, FileOperations& ops)
{
    const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    // Hidden names beside the target: the same file system, so the final
    // renames cannot turn into copies that fail half way.
    const std::string prefix = "." + target.filename().string() + ".";
    fs::path updated;
    fs::path backup;
    const char* step = "create a temporary file";
    try {
        updated = ops.createUnique(folder, prefix);
        step = "write the updated file";
        ops.writeAll(updated, content);
        keepPermissions(target, updated);
        // The backup is a copy, so the file keeps its name until the
        // updated one takes it over in a single rename.
        step = "make the backup file";
        backup = ops.createUnique(folder, prefix);
        ops.copyInto(target, backup);
        keepPermissions(target, backup);
        ops.rename(backup, backupPathFor(target));
        backup.clear();
        step = "put the updated file in place";
        ops.rename(updated, target);
    } catch (const std::exception& cause) {
        if (!updated.empty())
            ops.remove(updated);
        if (!backup.empty())
            ops.remove(backup);
        throw Error(stepFailed(target, step, cause));
    }
}

} // namespace pluvora
