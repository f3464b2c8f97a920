#pragma once

#include <functional>

class Languages;
class QUrl;
class QWidget;

// Hands web addresses to a browser. Where none opens, a box shows the address so that the player
// can copy it into one.
class AddressOpener {
public:
    // Opens an address in a browser: true when one took it.
    using Browser = std::function<bool(const QUrl&)>;

    // Without a browser, the desktop's.
    explicit AddressOpener(const Languages& languages, Browser browser = {});

    void open(QWidget* parent, const QUrl& address) const;

private:
    const Languages& languages_;
    Browser browser_;
};
