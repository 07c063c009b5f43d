#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace pluvora {

// Panel texts are UTF-8 with lines separated by '\n' and no break after the
// last line, as a text panel holds them.

inline constexpr const char* kNotATextFile = "The file can't be opened because it is not a text file";

inline constexpr const char* kFileTooLarge = "The file is too large to be opened: the limit is 512 MB.";
inline constexpr std::size_t kLargestTextFile = std::size_t{512} << 20;

// Loads a user's file for the input panel: valid UTF-8 is taken as it is,
// anything else as Latin-1. A file holding NUL bytes is not text: throws
// Error(kNotATextFile) as soon as one shows; a file larger than
// kLargestTextFile throws Error(kFileTooLarge).
std::string loadTextFile(const std::filesystem::path& path);

// The same file saved as savePanelText would save the panel text
// loadTextFile gives, streamed: at any size, memory stays flat. For a run
// that reads its input from a file rather than from the panel.
// A source larger than `limit` (standard input has no size to check first)
// throws Error(kFileTooLarge) when the limit is passed.
void saveTextFileAsPanelText(const std::filesystem::path& source, const std::filesystem::path& target,
                             std::size_t limit = SIZE_MAX);

// Whether a file reads the same as the working file saveTextFileAsPanelText
// makes of it, once line breaks are taken as CR LF or LF: a regular file
// of ASCII without NUL bytes or a CR outside a CR LF. Such a file can be
// read directly instead of through a working copy. False, never an
// error, for a file that cannot be read.
bool readsAsItsPanelText(const std::filesystem::path& path);

// A working file (UTF-8, CR LF) as panel text.
std::string loadPanelText(const std::filesystem::path& path);
// Panel text to a file, every line ended by CR LF.
void savePanelText(const std::filesystem::path& path, std::string_view text);

// Header trimming of a finished output: with rowsBefore 2 or more, lines 2
// to rowsBefore go, so only the first header line stays.
void removeExtraRows(std::string& text, int rowsBefore);
// Inserts `line` so that it becomes line `index` (0-based); past the end it
// is appended.
void insertLine(std::string& text, int index, std::string_view line);

} // namespace pluvora
