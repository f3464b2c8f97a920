#pragma once

#include <QString>
#include <QTimer>

// Watches for a modal message box, notes its caption and text, writes them to stderr (so a
// death test can match them) and closes it, so that the code under test goes on.
class ModalBoxCloser {
public:
    ModalBoxCloser();

    int boxes_closed = 0;
    QString caption;
    QString text;

private:
    QTimer timer_;
};
