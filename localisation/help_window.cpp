#include "localisation/help_window.h"

#include "localisation/address_opener.h"
#include "localisation/languages.h"
#include "platform/game_files.h"

#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QVBoxLayout>

#include <algorithm>
#include <optional>

namespace {

const QString kHelpFile = QStringLiteral("Help.hlp");
const QString kTopicPrefix = QStringLiteral("IDH_");
constexpr qint64 kMaxHelpFileBytes = 1024 * 1024;
constexpr int kTitleText = 240;
constexpr int kNoSuchTopicText = 241;
constexpr int kFileNotFoundText = 242;
constexpr int kFileTooLargeText = 243;
constexpr int kFileUnreadableText = 244;

// Qt's rich-text engine takes quadratic time over nested elements and long words and doubles its
// work with each table inside a table: a help file beyond these bounds would freeze the window.
constexpr int kMaxNesting = 64;
constexpr int kMaxTableNesting = 1;
constexpr int kMaxTags = 10'000;
constexpr int kMaxWordLength = 4'096;

// Elements that are empty or closed by their next sibling: they add no nesting.
bool adds_nesting(QStringView name) {
    static const QStringList kFlat{"area", "base", "br",  "col", "dd",    "dt",   "hr",
                                   "img",  "input", "li", "link", "meta", "option", "p",
                                   "param", "td",  "th",  "tr",  "wbr"};
    return !kFlat.contains(name, Qt::CaseInsensitive);
}

bool starts_tag(QStringView html, qsizetype i) {
    if (html[i] != u'<' || i + 1 == html.size()) return false;
    const QChar next = html[i + 1];
    return next.isLetter() || next == u'/' || next == u'!' || next == u'?';
}

// A linear scan of the markup: tags are counted and nest by their names, words are runs of text
// without white space (an entity counts by its length, a tag inside a word does not end it).
bool has_tame_shape(QStringView html) {
    int nesting = 0;
    int tables = 0;
    int tags = 0;
    int word = 0;
    for (qsizetype i = 0; i < html.size(); ++i) {
        if (!starts_tag(html, i)) {
            word = html[i].isSpace() ? 0 : word + 1;
            if (word > kMaxWordLength) return false;
            continue;
        }
        const qsizetype end = html.indexOf(u'>', i);
        if (end < 0) return true;
        const QStringView tag = html.sliced(i + 1, end - i - 1);
        i = end;
        if (tag.startsWith(u'!') || tag.startsWith(u'?')) continue;
        if (++tags > kMaxTags) return false;
        const bool closing = tag.startsWith(u'/');
        const QStringView body = closing ? tag.sliced(1) : tag;
        const QStringView name = body.first(std::find_if(body.begin(), body.end(), [](QChar c) {
                                                return !c.isLetterOrNumber();
                                            }) - body.begin());
        if (!adds_nesting(name) || (!closing && tag.endsWith(u'/'))) continue;
        const int step = closing ? -1 : 1;
        nesting = std::max(0, nesting + step);
        if (name.compare(u"table", Qt::CaseInsensitive) == 0) tables = std::max(0, tables + step);
        if (nesting > kMaxNesting || tables > kMaxTableNesting) return false;
    }
    return true;
}

// The help file may come from the player's folder: its document loads nothing beyond itself,
// neither a style sheet nor a background picture, whatever the markup names.
class SealedDocument : public QTextDocument {
public:
    using QTextDocument::QTextDocument;

protected:
    QVariant loadResource(int, const QUrl&) override { return {}; }
};

// Qt's image handler reads a picture's file by its name when the document has none, past
// loadResource: pictures go before anything is shown.
void remove_pictures(QTextDocument* document) {
    QList<QTextFragment> pictures;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            if (it.fragment().charFormat().isImageFormat()) pictures.prepend(it.fragment());
        }
    }
    for (const QTextFragment& picture : pictures) {
        QTextCursor cursor(document);
        cursor.setPosition(picture.position());
        cursor.setPosition(picture.position() + picture.length(), QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
    }
}

QStringList anchor_names(const QTextBlock& block) {
    QStringList names;
    for (auto it = block.begin(); !it.atEnd(); ++it) names += it.fragment().charFormat().anchorNames();
    return names;
}

bool opens_a_topic(const QTextBlock& block) {
    const QStringList names = anchor_names(block);
    return std::any_of(names.begin(), names.end(),
                       [](const QString& name) { return name.startsWith(kTopicPrefix); });
}

struct Topic {
    QTextDocumentFragment text;
    QString heading;
};

// A topic runs from the block holding its anchor, its heading, to the next block holding a
// topic's anchor.
std::optional<Topic> cut_topic(const QTextDocument& document, const QString& topic_id) {
    QTextBlock heading = document.begin();
    while (heading.isValid() && !anchor_names(heading).contains(topic_id)) heading = heading.next();
    if (!heading.isValid()) return std::nullopt;
    QTextBlock next = heading.next();
    while (next.isValid() && !opens_a_topic(next)) next = next.next();
    QTextCursor cursor(heading);
    cursor.setPosition(next.isValid() ? next.position() - 1 : document.characterCount() - 1,
                       QTextCursor::KeepAnchor);
    return Topic{cursor.selection(), heading.text().simplified()};
}

}  // namespace

HelpWindow::HelpWindow(const Languages& languages, const AddressOpener& address_opener, QWidget* parent)
    : QDialog(parent),
      languages_(languages),
      address_opener_(address_opener),
      browser_(new QTextBrowser(this)),
      help_file_(new SealedDocument(this)) {
    setWindowTitle(title());
    setModal(false);
    resize(640, 520);
    browser_->setDocument(new SealedDocument(browser_));
    browser_->setOpenLinks(false);
    connect(browser_, &QTextBrowser::anchorClicked, this, &HelpWindow::follow_link);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
}

QTextBrowser* HelpWindow::browser() const {
    return browser_;
}

QString HelpWindow::title() const { return languages_.get_string(kTitleText); }

bool HelpWindow::open_topic(const QString& topic_id) {
    topic_ = topic_id;
    if (!load_help_file()) {
        return false;
    }
    show();
    raise();
    activateWindow();
    if (show_topic(topic_id)) {
        return true;
    }
    show_text(QTextDocumentFragment(help_file_), title());
    report(languages_.get_string(kNoSuchTopicText).arg(topic_id));
    return false;
}

// Read afresh at every opening, so the window always shows the file as it is now.
bool HelpWindow::load_help_file() {
    const QFileInfo file(game_file(kHelpFile));
    if (!file.isFile()) {
        report(languages_.get_string(kFileNotFoundText).arg(kHelpFile));
        return false;
    }
    QFile help(file.filePath());
    const QByteArray bytes =
        help.open(QIODevice::ReadOnly) ? help.read(kMaxHelpFileBytes + 1) : QByteArray();
    if (bytes.size() > kMaxHelpFileBytes) {
        report(languages_.get_string(kFileTooLargeText).arg(kHelpFile));
        return false;
    }
    QStringDecoder decoder = QStringDecoder::decoderForHtml(bytes);
    if (!decoder.isValid()) {
        decoder = QStringDecoder(QStringDecoder::Utf8);
    }
    const QString html = decoder.decode(bytes);
    if (html.isEmpty() || !has_tame_shape(html)) {
        report(languages_.get_string(kFileUnreadableText).arg(kHelpFile));
        return false;
    }
    help_file_->setHtml(html);
    remove_pictures(help_file_);
    return true;
}

bool HelpWindow::show_topic(const QString& topic_id) {
    const std::optional<Topic> topic = cut_topic(*help_file_, topic_id);
    if (!topic) {
        return false;
    }
    topic_ = topic_id;
    show_text(topic->text, topic->heading.isEmpty() ? title() : topic->heading);
    return true;
}

void HelpWindow::show_text(const QTextDocumentFragment& text, const QString& title) {
    browser_->clear();
    QTextCursor(browser_->document()).insertFragment(text);
    browser_->moveCursor(QTextCursor::Start);
    setWindowTitle(title);
}

// Links to a topic show it, other links inside the file move to their anchor, web links go to
// a browser.
void HelpWindow::follow_link(const QUrl& link) {
    if (link.scheme() == u"http" || link.scheme() == u"https")
        address_opener_.open(this, link);
    else if (link.isRelative() && link.path().isEmpty() && !show_topic(link.fragment()))
        browser_->scrollToAnchor(link.fragment());
}

void HelpWindow::report(const QString& message) {
    QWidget* owner = isVisible() ? this : parentWidget();
    QMessageBox::warning(owner, title(), message);
}

HelpWindow* show_help_topic(QWidget* parent, const QString& topic_id, const Languages& languages,
                            const AddressOpener& address_opener) {
    HelpWindow* window = parent ? parent->findChild<HelpWindow*>(QString(), Qt::FindDirectChildrenOnly)
                                : nullptr;
    const bool made_here = window == nullptr;
    if (made_here) {
        window = new HelpWindow(languages, address_opener, parent);
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
