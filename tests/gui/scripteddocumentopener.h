#pragma once

#include "engine/ui/documentopener.h"

#include <deque>
#include <filesystem>
#include <vector>

// Answers from a script instead of starting a program (no answer: the
// desktop takes the document); keeps every file it was asked to open.
class ScriptedDocumentOpener : public pluvora::DocumentOpener {
public:
    bool openDocument(const std::filesystem::path& file) override
    {
        opened.push_back(file);
        if (answers.empty())
            return true;
        const bool taken = answers.front();
        answers.pop_front();
        return taken;
    }

    std::deque<bool> answers;
    std::vector<std::filesystem::path> opened;
};
