#include "localisation/help_window.h"

#include "platform/game_files.h"

#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QVBoxLayout>

#include <optional>

namespace {

const QString kHelpFile = QStringLiteral("Help.hlp");
const QString kHelpTitle = QStringLiteral("Quorvel Help");
constexpr qint64 kMaxHelpFileBytes = 4 * 1024 * 1024;

std::optional<int> anchor_position(const QTextDocument* document, const QString& name) {
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.charFormat().anchorNames().contains(name)) {
                return fragment.position();
            }
        }
    }
    return std::nullopt;
}

// The help file may come from the player's folder: it loads nothing beyond itself (no local
// file, no device behind an image), jumps to its own anchors and leaves web links to the browser.
class HelpBrowser : public QTextBrowser {
public:
    explicit HelpBrowser(QWidget* parent) : QTextBrowser(parent) {
        setOpenLinks(false);
        connect(this, &QTextBrowser::anchorClicked, this, &HelpBrowser::follow);
    }

    QVariant loadResource(int, const QUrl&) override { return {}; }

private:
    void follow(const QUrl& link) {
        if (link.scheme() == u"http" || link.scheme() == u"https")
            QDesktopServices::openUrl(link);
        else if (link.isRelative() && link.path().isEmpty())
            scrollToAnchor(link.fragment());
    }
};

}  // namespace

HelpWindow::HelpWindow(QWidget* parent) : QDialog(parent), browser_(new HelpBrowser(this)) {
    setWindowTitle(kHelpTitle);
    setModal(false);
    resize(640, 520);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
}

QTextBrowser* HelpWindow::browser() const {
    return browser_;
}

bool HelpWindow::open_topic(const QString& topic_id) {
    if (!load_help_file()) {
        return false;
    }
    show();
    raise();
    activateWindow();
    const std::optional<int> position = anchor_position(browser_->document(), topic_id);
    if (!position) {
        report(QStringLiteral("The help topic \"%1\" does not exist.").arg(topic_id));
        return false;
    }
    QTextCursor cursor(browser_->document());
    cursor.setPosition(*position);
    browser_->setTextCursor(cursor);
    browser_->scrollToAnchor(topic_id);
    return true;
}

// Read afresh at every opening, so the window always shows the file as it is now.
bool HelpWindow::load_help_file() {
    const QFileInfo file(game_file(kHelpFile));
    if (!file.isFile()) {
        report(QStringLiteral("The help file \"%1\" could not be found.").arg(kHelpFile));
        return false;
    }
    QFile help(file.filePath());
    const QByteArray bytes =
        help.open(QIODevice::ReadOnly) ? help.read(kMaxHelpFileBytes + 1) : QByteArray();
    if (bytes.isEmpty() || bytes.size() > kMaxHelpFileBytes) {
        report(QStringLiteral("The help file \"%1\" could not be read.").arg(kHelpFile));
        return false;
    }
    QStringDecoder decoder = QStringDecoder::decoderForHtml(bytes);
    if (!decoder.isValid()) {
        decoder = QStringDecoder(QStringDecoder::Utf8);
    }
    browser_->setHtml(decoder.decode(bytes));
    return true;
}

void HelpWindow::report(const QString& message) {
    QWidget* owner = isVisible() ? this : parentWidget();
    QMessageBox::warning(owner, kHelpTitle, message);
}

HelpWindow* show_help_topic(QWidget* parent, const QString& topic_id) {
    HelpWindow* window = parent ? parent->findChild<HelpWindow*>(QString(), Qt::FindDirectChildrenOnly)
                                : nullptr;
    const bool made_here = window == nullptr;
    if (made_here) {
        window = new HelpWindow(parent);
        window->setAttribute(Qt::WA_DeleteOnClose, parent == nullptr);
    }
    window->open_topic(topic_id);
    if (!window->isVisible()) {
        if (made_here) {
            delete window;
        }
        return nullptr;
    }
    return window;
}
