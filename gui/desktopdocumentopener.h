#pragma once

#include "engine/ui/documentopener.h"

// Opens documents with the desktop's default handler for their type.
class DesktopDocumentOpener : public pluvora::DocumentOpener {
public:
    bool openDocument(const std::filesystem::path& file) override;
};
