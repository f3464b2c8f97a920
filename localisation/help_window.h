#pragma once

#include <QDialog>

class QTextBrowser;

// Shows the help file "Help.hlp" (HTML, one anchor per topic id) from the working directory.
// A missing file or topic is reported by a message box of the help window's own.
class HelpWindow : public QDialog {
    Q_OBJECT

public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // Loads the file, shows the window and moves to the topic. False when the file cannot be
    // read (the window stays hidden) or the topic does not exist (it shows the beginning).
    bool open_topic(const QString& topic_id);

    QTextBrowser* browser() const;

private:
    bool load_help_file();
    void report(const QString& message);

    QTextBrowser* browser_;
};

// Opens `parent`'s help window at the topic, making it on first use; without a parent the
// window deletes itself when closed. Nothing when the help file cannot be read.
HelpWindow* show_help_topic(QWidget* parent, const QString& topic_id);
