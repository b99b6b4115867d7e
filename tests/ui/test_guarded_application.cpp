#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QObject>

#include "app/Message.h"
#include "db/SQLException.h"

namespace {

// An object whose event handler meets a misused data store.
class Throwing : public QObject {
 public:
  bool event(QEvent* e) override {
    if (e->type() == QEvent::User) throw DBL::SQLException("ExecuteQuery for non-select sql");
    return QObject::event(e);
  }
};

}  // namespace

TEST(GuardedApplicationTest, AnExceptionFromAHandlerIsReportedAndTheLoopGoesOn) {
  std::vector<std::string> shown;
  SetMessageHook([&](const std::string& text, int) {
    shown.push_back(text);
    return 1;
  });
  Throwing object;
  QCoreApplication::postEvent(&object, new QEvent(QEvent::User));
  QCoreApplication::postEvent(&object, new QEvent(QEvent::User));
  QCoreApplication::processEvents();
  SetMessageHook(nullptr);
  ASSERT_EQ(shown.size(), 2u) << "both events were delivered";
  EXPECT_NE(shown[0].find("ExecuteQuery for non-select sql"), std::string::npos);
}
