#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <ostream>

class QApplication;
class QWidget;

// Watches every window that opens modally while the tests run. A window some ModalAnswer waits
// for is handed to it; any other is closed at once and fails the running test with its text,
// so a box nobody expected ends the test in seconds instead of waiting for a click.
void install_modal_guard(QApplication& application);

// "[caption] text" of a modal window: a message box's text, or the texts of a dialog's labels.
QString modal_text(const QWidget* window);

// While it lives, each modal window that opens is handed to `answer`, which must end it; the
// default closes it. The texts are also written to stderr, where a death test can match them.
class ModalAnswer {
public:
    explicit ModalAnswer(std::function<void(QWidget*)> answer = close_window);
    ~ModalAnswer();
    ModalAnswer(const ModalAnswer&) = delete;
    ModalAnswer& operator=(const ModalAnswer&) = delete;

    int answered() const { return texts.size(); }
    QStringList texts;

    static void close_window(QWidget* window);

private:
    friend class ModalGuard;
    void answer(QWidget* window);

    std::function<void(QWidget*)> answer_;
    ModalAnswer* outer_;
};

// Failed comparisons show texts as text.
void PrintTo(const QString& text, std::ostream* out);
