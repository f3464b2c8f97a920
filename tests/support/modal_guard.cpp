#include "modal_guard.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdio>

namespace {

ModalAnswer* current_answer = nullptr;

}  // namespace

class ModalGuard : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        auto* window = qobject_cast<QWidget*>(object);
        if (event->type() == QEvent::Show && window && window->isWindow() && window->isModal())
            QTimer::singleShot(0, window, [guarded = QPointer<QWidget>(window)] { handle(guarded); });
        return false;
    }

private:
    // Runs inside the window's own event loop, once it is up.
    static void handle(QWidget* window) {
        if (!window || !window->isVisible()) return;
        if (current_answer) return current_answer->answer(window);
        const QString text = modal_text(window);
        std::fprintf(stderr, "unexpected modal window %s\n", qPrintable(text));
        ADD_FAILURE() << "A modal window nobody expected opened: " << text.toStdString();
        ModalAnswer::close_window(window);
    }
};

void install_modal_guard(QApplication& application) { application.installEventFilter(new ModalGuard(&application)); }

QString modal_text(const QWidget* window) {
    QString text = "[" + window->windowTitle() + "]";
    if (const auto* box = qobject_cast<const QMessageBox*>(window)) return text + " " + box->text();
    for (const QLabel* label : window->findChildren<QLabel*>())
        if (!label->text().isEmpty()) text += " " + label->text();
    return text;
}

ModalAnswer::ModalAnswer(std::function<void(QWidget*)> answer)
    : answer_(std::move(answer)), outer_(std::exchange(current_answer, this)) {}

ModalAnswer::~ModalAnswer() { current_answer = outer_; }

void ModalAnswer::answer(QWidget* window) {
    texts << modal_text(window);
    std::fprintf(stderr, "modal window %s\n", qPrintable(texts.back()));
    answer_(window);
}

void ModalAnswer::close_window(QWidget* window) {
    if (auto* dialog = qobject_cast<QDialog*>(window))
        dialog->reject();
    else
        window->close();
}

void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }
