#pragma once

#include <filesystem>

namespace pluvora {

// Opens a document with the program the desktop associates with its type.
// The desktop implements it; tests script the answers, so no test starts a
// program.
class DocumentOpener {
public:
    virtual ~DocumentOpener() = default;
    // True when the desktop took the document.
    virtual bool openDocument(const std::filesystem::path& file) = 0;
};

} // namespace pluvora
