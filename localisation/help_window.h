#pragma once

#include <QDialog>

class AddressOpener;
class Languages;
class QTextBrowser;
class QTextDocument;
class QTextDocumentFragment;
class QUrl;

// Shows one topic of the help file "Help.hlp" (HTML, one anchor "IDH_..." per topic id) from the
// working directory: the topic runs from its anchor to the next topic's anchor, and its heading
// is the window title. A missing file or topic is reported by a message box of the window's own,
// in the language of `languages`. Web links go to `address_opener`.
class HelpWindow : public QDialog {
    Q_OBJECT

public:
    HelpWindow(const Languages& languages, const AddressOpener& address_opener, QWidget* parent = nullptr);

    // Reads the file afresh, shows the window and in it the topic. False when the file cannot be
    // read (the window stays hidden) or the topic does not exist (it shows the whole file).
    bool open_topic(const QString& topic_id);

    QTextBrowser* browser() const;
    // The topic last asked for or followed by a link.
    QString topic() const { return topic_; }

private:
    bool load_help_file();
    bool show_topic(const QString& topic_id);
    void show_text(const QTextDocumentFragment& text, const QString& title);
    void follow_link(const QUrl& link);
    void report(const QString& message);

    QString title() const;

    const Languages& languages_;
    const AddressOpener& address_opener_;
    QTextBrowser* browser_;
    QTextDocument* help_file_;  // the whole file, never shown as it is
    QString topic_;
};

// Opens `parent`'s help window at the topic, making it on first use; without a parent the
// window deletes itself when closed. Nothing when the help file cannot be read. The window keeps
// `languages` and `address_opener`, which must outlive it.
HelpWindow* show_help_topic(QWidget* parent, const QString& topic_id, const Languages& languages,
                            const AddressOpener& address_opener);
