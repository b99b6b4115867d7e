#pragma once

#include <QApplication>
#include <QTimer>
#include <functional>

#include <gtest/gtest.h>

// Answers the next modal dialog from inside the loop it runs: a zero-delay
// timer started now finds the modal widget once the dialog shows, and the
// action works on it (ticks, clicks, closes it). Actions may queue answers of
// their own for dialogs they open.
template <typename Dialog>
void AnswerModal(std::function<void(Dialog&)> action) {
  QTimer::singleShot(0, [action] {
    auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr) << "no modal " << Dialog::staticMetaObject.className() << " to answer";
    action(*dialog);
  });
}
