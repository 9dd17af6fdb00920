#pragma once

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>

#include <functional>

// Handles the next modal window of type T that opens: `act` gets it once it
// is visible (and may accept or reject it). For tests that drive widgets
// which ask the user before they act.
template <class T>
void onNextModal(std::function<void(T *)> act)
{
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [act, poll] {
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

// Accepts the next message box that opens and keeps what it showed.
struct MessageBoxCatcher {
    QString title, text;
    QMessageBox::StandardButtons buttons;
    bool seen = false;
    void arm()
    {
        onNextModal<QMessageBox>([this](QMessageBox *box) {
            title = box->windowTitle();
            text = box->text();
            buttons = box->standardButtons();
            seen = true;
            box->accept();
        });
    }
};
