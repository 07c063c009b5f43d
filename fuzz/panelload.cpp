// Loading a user's file into the input panel, and a working file into the
// output panel with its finishing edits. A loaded panel is always valid
// UTF-8 with '\n' line breaks only.
#include "fuzzsupport.h"

#include "engine/table/paneltext.h"

#include <cstdlib>
#include <string>

using namespace pluvora;

namespace {

bool isValidUtf8(std::string_view s)
{
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        const std::size_t extra = c < 0x80 ? 0 : (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2
                                          : (c & 0xF8) == 0xF0 ? 3 : 4;
        if (extra == 4 || (extra > 0 && i + extra >= s.size()))
            return false;
        for (std::size_t k = 1; k <= extra; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
                return false;
        i += extra + 1;
    }
    return true;
}

void check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::ByteSource bytes(data, size);
    const int rowsBefore = bytes.next() % 8;
    const int lineIndex = bytes.next() % 8;
    const auto file = fuzz::scratch().write("panel.txt", bytes.rest());

    try {
        const std::string panel = loadTextFile(file);
        check(panel.find('\r') == std::string::npos);
        check(isValidUtf8(panel));
    } catch (const Error&) {
        // Not a text file: refused with a message.
    }

    std::string output = loadPanelText(file);
    check(output.find('\r') == std::string::npos);
    removeExtraRows(output, rowsBefore);
    insertLine(output, lineIndex, "40.5 96.25 350  Lat (deg), long (deg), elev(m)");
    // What the output panel holds can always be saved and read back.
    const auto saved = fuzz::scratch().path() / "saved.~";
    savePanelText(saved, output);
    check(loadPanelText(saved).size() <= output.size());
    return 0;
}
