#pragma once

#include <QApplication>
#include <QDialog>
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
