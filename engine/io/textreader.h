#pragma once

#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace pluvora {

// Reads a text file byte by byte through a large buffer. Separators are the
// bytes 32 or less; a run of them counts as one, and number reads cross line
// breaks. Every conversion failure throws Error("Invalid numeric input").
class TextReader {
public:
    explicit TextReader(const std::filesystem::path& path);
    ~TextReader();
    TextReader(const TextReader&) = delete;
    TextReader& operator=(const TextReader&) = delete;

    // The next number, or 0 at the end of the file. Tokens longer than 64
    // bytes are read 64 at a time.
    double readNumber();
    // The next number, or nothing when the file ends before one starts: lets
    // a caller tell the end of the data from a real 0.
    std::optional<double> nextNumber();

    // The same for whole numbers, with 32-byte tokens.
    int readInteger();
    std::optional<int> nextInteger();

    // Skips separators on the current line; true when a CR, an LF or the end
    // of the file is next.
    bool seekLineEnd();
    // Consumes the rest of the line and its break (CR LF or a lone LF).
    void skipLine();
    // The rest of the current line without its break; false at the end of
    // the file (nothing left to read).
    bool readLine(std::string& line);

    // Up to `size` raw bytes from where reading stands; 0 at the end.
    std::size_t read(char* destination, std::size_t size);

    // The bytes read ahead of the caller, taken now; once it is empty the
    // rest of the file starts at restOffset() of descriptor(), for a copy
    // that bypasses this reader (which then reads nothing more).
    std::string_view takeBuffered();
    int descriptor() const;
    long long restOffset() const;

    bool atEnd();
    // Next byte without consuming it, or -1 at the end of the file.
    int peek();
    int get();

private:
    bool fill();
    std::string_view readToken(std::size_t limit);
    char mToken[64];

    std::FILE* mFile = nullptr;
    std::unique_ptr<char[]> mBuffer;
    std::size_t mPos = 0;
    std::size_t mLen = 0;
    bool mEof = false;
};

} // namespace pluvora
