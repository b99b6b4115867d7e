#pragma once

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "UiTest.h"
#include "app/Message.h"
#include "ui/DlgBase.h"

// Base of the dialog tests: messages are recorded instead of shown (questions
// get the answer the test sets), and modal dialogs are driven from a timer
// that fires once they are up.
class EditorTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    SetMessageHook([this](const std::string& text, int kind) {
      m_messages.emplace_back(text, kind);
      return kind == kMessageYesNo ? m_answer : 1;
    });
  }

  void TearDown() override {
    SetMessageHook(nullptr);
    UiTest::TearDown();
  }

  // Runs the dialog modally; act works on it as soon as it is the active
  // modal window and must end it. Returns DoModal's result.
  template <typename Dialog>
  static int RunModal(Dialog& dialog, std::function<void(Dialog&)> act) {
    QTimer::singleShot(0, [&dialog, act] {
      EXPECT_EQ(QApplication::activeModalWidget(), &dialog);
      act(dialog);
    });
    return dialog.DoModal();
  }

  // Acts on whichever dialog is modal next, once it is up. Building a dialog
  // may deliver posted events before it shows, so the wait is retried a while.
  template <typename Dialog>
  static void WhenModal(std::function<void(Dialog&)> act, int attempts = 200) {
    QTimer::singleShot(attempts == 200 ? 0 : 10, [act, attempts] {
      auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
      if (!dialog && attempts > 0) {
        WhenModal<Dialog>(act, attempts - 1);
        return;
      }
      EXPECT_NE(dialog, nullptr) << "no modal dialog of the expected kind";
      if (dialog) act(*dialog);
    });
  }

  static void Click(QWidget* control) {
    QTest::mouseClick(control, Qt::LeftButton, {}, control->rect().center());
    QCoreApplication::processEvents();
  }

  std::vector<std::pair<std::string, int>> m_messages;
  int m_answer = 1;
};
