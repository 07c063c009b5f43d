#include "engine/io/backupreplace.h"

#include "engine/error.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <random>
#include <system_error>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
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

fs::path folderOf(const fs::path& file) { return file.has_parent_path() ? file.parent_path() : fs::path("."); }

// The temporary files under way, for the signal thread. Creating one and
// renaming it away happen under the lock, so the thread that ends the
// program on a signal never misses one and none appears after it.
std::mutex gTemporaryMutex;
std::vector<fs::path> gTemporaryFiles;

void forgetTemporary(const fs::path& file)
{
    auto it = std::find(gTemporaryFiles.begin(), gTemporaryFiles.end(), file);
    if (it != gTemporaryFiles.end())
        gTemporaryFiles.erase(it);
}

// A temporary file beside the file it will replace: removed unless it was
// renamed into place.
class Temporary {
public:
    Temporary(FileOperations& ops) : mOps(ops) {}
    ~Temporary() { discard(); }
    Temporary(const Temporary&) = delete;
    Temporary& operator=(const Temporary&) = delete;

    void create(const fs::path& folder, const std::string& prefix)
    {
        std::lock_guard lock(gTemporaryMutex);
        mPath = mOps.createUnique(folder, prefix);
        gTemporaryFiles.push_back(mPath);
    }
    void createFixed(const fs::path& file)
    {
        std::lock_guard lock(gTemporaryMutex);
        const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (fd < 0)
            throwErrno("Cannot create", file);
        ::close(fd);
        mPath = file;
        gTemporaryFiles.push_back(mPath);
    }
    void renameTo(const fs::path& target)
    {
        std::lock_guard lock(gTemporaryMutex);
        mOps.rename(mPath, target);
        forgetTemporary(mPath);
        mPath.clear();
    }
    void discard() noexcept
    {
        if (mPath.empty())
            return;
        std::lock_guard lock(gTemporaryMutex);
        mOps.remove(mPath);
        forgetTemporary(mPath);
        mPath.clear();
    }
    const fs::path& path() const { return mPath; }
    bool empty() const { return mPath.empty(); }

private:
    FileOperations& mOps;
    fs::path mPath;
};

class SystemFileOperations : public FileOperations {
public:
    fs::path createUnique(const fs::path& folder, const std::string& prefix) override
    {
        // Not mkstemp: its files are private to the owner, and a new file
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
        fd.close(file);
    }

    void writeWith(const fs::path& file, const ContentWriter& content) override
    {
        Descriptor fd(::open(file.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC));
        if (fd.get() < 0)
            throwErrno("Cannot open", file);
        std::vector<char> buffer;
        buffer.reserve(kBlock);
        content([&](std::string_view text) {
            if (buffer.size() + text.size() > kBlock) {
                writeBytes(fd.get(), buffer.data(), buffer.size(), file);
                buffer.clear();
            }
            if (text.size() >= kBlock)
                writeBytes(fd.get(), text.data(), text.size(), file);
            else
                buffer.insert(buffer.end(), text.begin(), text.end());
        });
        writeBytes(fd.get(), buffer.data(), buffer.size(), file);
        fd.close(file);
    }

    void copyInto(const fs::path& from, const fs::path& to) override
    {
        Descriptor in(::open(from.c_str(), O_RDONLY | O_CLOEXEC));
        if (in.get() < 0)
            throwErrno("Cannot open", from);
        // Not truncated first: the old content stays until the new one
        // overwrites it, and reserving the space first makes a full disk
        // fail before any byte of `to` changes.
        Descriptor out(::open(to.c_str(), O_WRONLY | O_CLOEXEC));
        if (out.get() < 0)
            throwErrno("Cannot open", to);
        struct stat source {};
        if (::fstat(in.get(), &source) != 0)
            throwErrno("Cannot read", from);
        if (source.st_size > 0) {
            const int reserved = ::posix_fallocate(out.get(), 0, source.st_size);
            if (reserved != 0 && reserved != EOPNOTSUPP && reserved != EINVAL) {
                errno = reserved;
                throwErrno("Cannot write", to);
            }
        }
        std::vector<char> buffer(kBlock);
        off_t copied = 0;
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
            copied += got;
        }
        if (::ftruncate(out.get(), copied) != 0)
            throwErrno("Cannot write", to);
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

private:
    static constexpr std::size_t kBlock = 1 << 18;
};

std::string stepFailed(const fs::path& target, std::string_view step, const std::exception& cause)
{
    return "Could not " + std::string(step) + " for \"" + target.filename().string() + "\" ("
           + cause.what() + "). The file is unchanged.";
}

// The replacement gets the old file's owner, group and mode, so that it
// is readable by whoever could read the file it replaces. Returns false
// when the owner or group cannot be kept (the file is another user's).
bool keepOwnerAndMode(const struct stat& old, const fs::path& file)
{
    bool ownerKept = true;
    // The owner first: changing it clears the set-id bits of the mode.
    if (::chown(file.c_str(), old.st_uid, old.st_gid) != 0)
        ownerKept = false;
    ::chmod(file.c_str(), old.st_mode & 07777);
    return ownerKept;
}

// Best effort: the rename reaches the disk with the folder's entry.
void syncFolder(const fs::path& folder) noexcept
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

struct FileState {
    bool exists = false;
    struct stat info {};
};

FileState stateOf(const fs::path& real, const fs::path& named)
{
    FileState state;
    if (::stat(real.c_str(), &state.info) == 0) {
        state.exists = true;
        return state;
    }
    if (errno != ENOENT)
        throw Error("Cannot write file \"" + named.string() + "\": " + std::strerror(errno));
    return state;
}

// A user may not replace a file they may not write, even where the
// folder would let them.
void requireWritable(const fs::path& real, const fs::path& named)
{
    if (::faccessat(AT_FDCWD, real.c_str(), W_OK, AT_EACCESS) != 0)
        throw Error("Cannot write file \"" + named.string() + "\": " + std::strerror(errno));
}

void replaceAll(std::string& text, const std::string& from, const std::string& to)
{
    if (from.empty())
        return;
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

// The reason for a failed write in the user's terms: the temporary file's
// name means nothing to them.
std::string failureNaming(const fs::path& target, const fs::path& temporary, const std::exception& cause)
{
    std::string text = cause.what();
    replaceAll(text, temporary.string(), target.string());
    const std::string prefix = "Cannot write file \"" + target.string() + "\"";
    if (text.rfind(prefix, 0) == 0)
        return text;
    return prefix + ": " + text;
}

// /dev/stdout, /dev/fd/N, /proc/self/fd/N: names of a descriptor the
// program already holds. Whatever is behind it (a terminal, a pipe, a file
// the shell opened for appending) is written through the name, as any
// program does, never replaced by a new file.
bool namesADescriptor(const fs::path& path)
{
    const std::string text = path.lexically_normal().string();
    if (text == "/dev/stdout" || text == "/dev/stderr" || text.starts_with("/dev/fd/")
        || text.starts_with("/proc/self/fd/") || text.starts_with("/proc/thread-self/fd/"))
        return true;
    if (!text.starts_with("/proc/"))
        return false;
    const std::size_t digits = text.find_first_not_of("0123456789", 6);
    return digits > 6 && text.compare(digits, 4, "/fd/") == 0;
}

bool reachesADescriptor(const fs::path& path)
{
    fs::path current = path;
    for (int hops = 0; hops < 40; ++hops) {
        if (namesADescriptor(current))
            return true;
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return false;
        std::error_code ec;
        const fs::path link = fs::read_symlink(current, ec);
        if (ec)
            return false;
        current = link.is_absolute() ? link : folderOf(current) / link;
    }
    return false;
}

// A terminal or a pipe takes the content as it comes. A file behind the
// descriptor gets it appended, so that `>>` keeps what the file held: the
// content is made whole in a temporary file first, as opening the name
// again for writing would empty the file.
void writeThroughDescriptor(const fs::path& target, const FileFiller& fill, FileOperations& ops)
{
    struct stat info {};
    try {
        if (::stat(target.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
            fill(target);
            return;
        }
        std::error_code ec;
        const fs::path folder = fs::temp_directory_path(ec);
        Temporary part(ops);
        part.create(ec ? fs::path("/tmp") : folder, ".pluvora-output.");
        fill(part.path());
        Descriptor in(::open(part.path().c_str(), O_RDONLY | O_CLOEXEC));
        Descriptor out(::open(target.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC));
        if (in.get() < 0 || out.get() < 0)
            throwErrno("Cannot open", target);
        std::vector<char> buffer(1 << 18);
        for (;;) {
            const ssize_t got = ::read(in.get(), buffer.data(), buffer.size());
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0)
                throwErrno("Cannot read", part.path());
            if (got == 0)
                break;
            writeBytes(out.get(), buffer.data(), static_cast<std::size_t>(got), target);
        }
        out.close(target);
    } catch (const std::exception& cause) {
        throw Error(failureNaming(target, target, cause));
    }
}

} // namespace

void FileOperations::flush(const fs::path& file)
{
    Descriptor fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0)
        throwErrno("Cannot open", file);
    syncAndClose(fd, file);
}

void FileOperations::writeWith(const fs::path& file, const ContentWriter& content)
{
    std::string whole;
    content([&whole](std::string_view text) { whole += text; });
    writeAll(file, whole);
}

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

fs::path followLinks(const fs::path& path)
{
    fs::path current = path;
    // As many links as the kernel follows before it gives up.
    for (int hops = 0; hops < 40; ++hops) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return current;
        std::error_code ec;
        const fs::path link = fs::read_symlink(current, ec);
        if (ec)
            throw Error("Cannot follow the link \"" + path.string() + "\": " + ec.message());
        current = link.is_absolute() ? link : folderOf(current) / link;
    }
    throw Error("Cannot follow the link \"" + path.string() + "\": " + std::strerror(ELOOP));
}

void writeFileWhole(const fs::path& target, const FileFiller& fill, TemporaryName naming, FileOperations& ops)
{
    if (reachesADescriptor(target)) {
        writeThroughDescriptor(target, fill, ops);
        return;
    }
    const fs::path real = followLinks(target);
    const FileState state = stateOf(real, target);
    if (state.exists) {
        if (S_ISDIR(state.info.st_mode))
            throw Error("Cannot write file \"" + target.string() + "\": it is a folder");
        // A device or a pipe is written as it is: there is nothing to keep
        // whole, and replacing it would break whatever it connects to.
        if (S_ISCHR(state.info.st_mode) || S_ISFIFO(state.info.st_mode)) {
            try {
                fill(real);
            } catch (const std::exception& cause) {
                throw Error(failureNaming(target, real, cause));
            }
            return;
        }
        if (!S_ISREG(state.info.st_mode))
            throw Error("Cannot write file \"" + target.string() + "\": it is not a regular file");
        requireWritable(real, target);
    }

    Temporary part(ops);
    try {
        if (naming == TemporaryName::Fixed) {
            fs::path file = real;
            file += ".new";
            part.createFixed(file);
        } else {
            part.create(folderOf(real), "." + real.filename().string() + ".");
        }
        fill(part.path());
        ops.flush(part.path());
        // Other hard links, or an owner this process cannot give the new
        // file, keep the old file: its content is then copied over from
        // the finished temporary file.
        const bool inPlace =
            state.exists && (!keepOwnerAndMode(state.info, part.path()) || state.info.st_nlink > 1);
        if (inPlace) {
            ops.copyInto(part.path(), real);
            part.discard();
        } else {
            part.renameTo(real);
        }
    } catch (const std::exception& cause) {
        const fs::path temporary = part.path();
        part.discard();
        // A failure of the writer's own (damaged data it refuses to copy)
        // reaches the caller as it is; one of the file is said in terms of
        // the file the user named.
        const bool ofTheFile = dynamic_cast<const std::system_error*>(&cause)
                               || (!temporary.empty()
                                   && std::string_view(cause.what()).find(temporary.string()) != std::string_view::npos);
        if (!ofTheFile)
            throw;
        throw Error(failureNaming(target, temporary.empty() ? real : temporary, cause));
    }
    syncFolder(folderOf(real));
}

void writeAtomically(const fs::path& target, std::string_view content, FileOperations& ops)
{
    writeFileWhole(
        target, [&](const fs::path& file) { ops.writeAll(file, content); }, TemporaryName::Unique, ops);
}

void replaceKeepingBackup(const fs::path& target, std::string_view content, FileOperations& ops)
{
    replaceKeepingBackup(target, [content](const PutText& put) { put(content); }, ops);
}

void replaceKeepingBackup(const fs::path& target, const ContentWriter& content, FileOperations& ops,
                          const std::function<void()>& beforeReplace)
{
    const fs::path real = followLinks(target);
    std::error_code ec;
    if (fs::is_directory(backupPathFor(target), ec))
        throw Error("Could not make the backup file for \"" + target.filename().string() + "\" ("
                    + backupPathFor(target).filename().string() + " is a folder). The file is unchanged.");
    // Hidden names beside the target: the same file system, so the final
    // renames cannot turn into copies that fail half way. The backup goes
    // beside the name the user knows, the update into the file it names.
    const std::string prefix = "." + target.filename().string() + ".";
    Temporary updated(ops);
    Temporary backup(ops);
    const char* step = "create a temporary file";
    try {
        const FileState state = stateOf(real, target);
        if (state.exists)
            requireWritable(real, target);
        updated.create(folderOf(real), "." + real.filename().string() + ".");
        step = "write the updated file";
        ops.writeWith(updated.path(), content);
        ops.flush(updated.path());
        const bool inPlace =
            state.exists && (!keepOwnerAndMode(state.info, updated.path()) || state.info.st_nlink > 1);
        if (beforeReplace)
            beforeReplace();
        // The backup is a copy, so the file keeps its name until the
        // updated one takes it over in a single rename.
        step = "make the backup file";
        backup.create(folderOf(target), prefix);
        ops.copyInto(real, backup.path());
        if (state.exists)
            keepOwnerAndMode(state.info, backup.path());
        backup.renameTo(backupPathFor(target));
        if (beforeReplace)
            beforeReplace();
        step = "put the updated file in place";
        if (inPlace) {
            ops.copyInto(updated.path(), real);
            updated.discard();
        } else {
            updated.renameTo(real);
        }
    } catch (const ReplaceStopped&) {
        // The check that stopped it speaks for itself.
        updated.discard();
        backup.discard();
        throw;
    } catch (const std::exception& cause) {
        updated.discard();
        backup.discard();
        throw Error(stepFailed(target, step, cause));
    }
    syncFolder(folderOf(real));
}

void removeTemporaryFilesForExit() noexcept
{
    // Never unlocked: no write may start or finish once the program ends.
    gTemporaryMutex.lock();
    for (const fs::path& file : gTemporaryFiles)
        ::unlink(file.c_str());
    gTemporaryFiles.clear();
}

} // namespace pluvora
