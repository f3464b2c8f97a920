#include "localisation/address_opener.h"

#include "localisation/languages.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>

#include <utility>

namespace {

constexpr int kCaptionId = 140;
constexpr int kNoBrowserId = 141;

}  // namespace

AddressOpener::AddressOpener(const Languages& languages, Browser browser)
    : languages_(languages), browser_(browser ? std::move(browser) : Browser(&QDesktopServices::openUrl)) {}

void AddressOpener::open(QWidget* parent, const QUrl& address) const {
    if (browser_(address)) return;
    QMessageBox box(QMessageBox::Information, languages_.get_string(kCaptionId),
                    languages_.get_string(kNoBrowserId) + "\n" + address.toString(), QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    box.exec();
}
