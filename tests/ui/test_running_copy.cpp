// The first copy's socket, driven by raw clients in this process and by a
// later copy asking from another thread while this one runs the event loop.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <cerrno>
#include <cstring>
#include <functional>
#include <future>

#include "app/RunningCopy.h"

namespace {

class RunningCopyTest : public ::testing::Test {
 protected:
  std::string Database() const { return m_dir.filePath("organizer.db").toStdString(); }

  // Runs this thread's events, deferred deletes included, until the condition holds.
  static bool SpinUntil(const std::function<bool()>& condition) {
    const QDeadlineTimer deadline(15000);
    while (!condition()) {
      if (deadline.hasExpired()) return false;
      QCoreApplication::processEvents();
      QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
      QThread::msleep(5);
    }
    return true;
  }

  // Runs `ask` on another thread (it blocks) and events here until it is done.
  template <typename Ask>
  static auto Answered(Ask ask) {
    auto asked = std::async(std::launch::async, ask);
    EXPECT_TRUE(SpinUntil([&] { return asked.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }));
    return asked.get();
  }

  static int Connect(const QString& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    std::memcpy(address.sun_path, name.constData(), name.size());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    EXPECT_EQ(::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    return fd;
  }

  static void Send(int fd, const char* text) {
    ASSERT_EQ(::send(fd, text, std::strlen(text), MSG_NOSIGNAL), static_cast<ssize_t>(std::strlen(text)));
  }

  // Whether the other side has closed the connection; never waits.
  static bool HungUp(int fd) {
    char byte;
    const ssize_t got = ::recv(fd, &byte, 1, MSG_DONTWAIT);
    return got == 0 || (got < 0 && errno != EAGAIN && errno != EWOULDBLOCK);
  }

  static qsizetype OpenFiles() { return QDir("/proc/self/fd").entryList(QDir::Files | QDir::System).size(); }

  QTemporaryDir m_dir;
};

}  // namespace

TEST_F(RunningCopyTest, ClientsThatStallOrSendHalfALineDoNotKeepOthersWaiting) {
  const QString path = RunningCopy::SocketPath(Database());
  const qsizetype before = OpenFiles();
  int late = -1;
  {
    RunningCopy first(Database());
    ASSERT_EQ(first.Claim(), RunningCopy::kFirst);
    struct stat socketFile {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &socketFile), 0);
    EXPECT_TRUE(S_ISSOCK(socketFile.st_mode));
    EXPECT_EQ(socketFile.st_mode & 0777, 0600u) << "others could reach the running copy";

    const qsizetype listening = OpenFiles();
    QSignalSpy shown(&first, &RunningCopy::ShowRequested);
    QSignalSpy opened(&first, &RunningCopy::OpenRequested);
    QSignalSpy refreshed(&first, &RunningCopy::RefreshRequested);
    const int silent = Connect(path);
    const int halfLine = Connect(path);
    Send(halfLine, "open file:///tmp/half\nsho");

    const QString file = m_dir.filePath("a file, with # and \n in its name.ics");
    EXPECT_EQ(Answered([&] { return RunningCopy(Database()).Claim({file}, 0); }), RunningCopy::kShownOther);
    EXPECT_TRUE(Answered([&] { return RunningCopy::AskToRefresh(Database()); }));
    ASSERT_EQ(shown.size(), 1);
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened.front().front().toStringList(), QStringList{file});
    EXPECT_EQ(refreshed.size(), 1);

    // The rest of the line, sent much later, completes that client's request.
    Send(halfLine, "w\n");
    ASSERT_TRUE(SpinUntil([&] { return shown.size() == 2; }));
    char answer[16] = {};
    EXPECT_EQ(::recv(halfLine, answer, sizeof answer - 1, 0), 6);
    EXPECT_STREQ(answer, "shown\n");
    EXPECT_EQ(opened.back().front().toStringList(), QStringList{"/tmp/half"});
    EXPECT_TRUE(SpinUntil([&] { return HungUp(halfLine); })) << "not closed once answered";
    ::close(halfLine);

    // Each side of the silent client is open until it hangs up, then neither is.
    EXPECT_EQ(OpenFiles(), listening + 2);
    ::close(silent);
    EXPECT_TRUE(SpinUntil([&] { return OpenFiles() == listening; })) << OpenFiles() - listening;

    // A client in the middle of a line when the copy ends is closed with it.
    late = Connect(path);
    Send(late, "open");
    EXPECT_TRUE(SpinUntil([&] { return OpenFiles() == listening + 2; }));
  }
  EXPECT_FALSE(QFile::exists(path)) << "the socket outlived its copy";
  EXPECT_EQ(OpenFiles(), before + 1) << "only this test's side of the last client";
  EXPECT_TRUE(HungUp(late));
  ::close(late);
}
