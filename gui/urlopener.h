#pragma once

#include <QUrl>

// Hands an address to the desktop's browser. Tests record the address
// instead, so that no browser is ever started.
class UrlOpener {
public:
    virtual ~UrlOpener() = default;
    // False when the desktop could not open it.
    virtual bool openUrl(const QUrl& url) = 0;
};

class DesktopUrlOpener : public UrlOpener {
public:
    bool openUrl(const QUrl& url) override;
};
