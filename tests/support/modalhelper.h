#pragma once

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

// Handles the next modal window of type T that opens: `act` gets it once it
// is visible (and may accept or reject it). For tests that drive widgets
// which ask the user before they act.
template <class T>
void onNextModal(std::function<void(T *)> act, std::shared_ptr<bool> cancelled = nullptr)
{
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [act, poll, cancelled] {
        if (cancelled && *cancelled) {
            *poll = nullptr;
            return;
        }
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (auto *modal = qobject_cast<T *>(w); modal && modal->isVisible()) {
                act(modal);
                *poll = nullptr; // breaks the cycle
                return;
            }
        }
        QTimer::singleShot(10, *poll);
    };
    QTimer::singleShot(0, *poll);
}

// Accepts the next message box that opens and keeps what it showed. A catcher
// that goes out of scope before a box came stops waiting for one, so that it
// cannot take a box meant for a later catcher.
struct MessageBoxCatcher {
    QString title, text;
    QMessageBox::StandardButtons buttons;
    bool seen = false;
    std::shared_ptr<bool> gone = std::make_shared<bool>(false);

    MessageBoxCatcher() = default;
    MessageBoxCatcher(const MessageBoxCatcher &) = delete;
    MessageBoxCatcher &operator=(const MessageBoxCatcher &) = delete;
    ~MessageBoxCatcher() { *gone = true; }

    void arm()
    {
        onNextModal<QMessageBox>(
            [this](QMessageBox *box) {
                title = box->windowTitle();
                text = box->text();
                buttons = box->standardButtons();
                seen = true;
                box->accept();
            },
            gone);
    }
};
