// The single-instance marker in this process, and two real client processes on
// one data directory: the second hands its request to the first and ends.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSignalSpy>
#include <QTest>
#include <cstring>

#include "platform/file_system.h"
#include "test_support/temp_dir.h"
#include "ui/single_instance.h"

namespace qm {
namespace {

// --- The marker ------------------------------------------------------------------

bool WaitFor(const std::function<bool()>& done, int ms = 5000) {
  QElapsedTimer t;
  t.start();
  while (!done() && t.elapsed() < ms) QTest::qWait(10);
  return done();
}

TEST(InstanceMarker, ASecondClaimFindsTheRunningInstanceAndLeavesItTheName) {
  TempDir dir;
  const QString name = QString::fromStdString(dir.path() + "QM-AppID");
  TfrmAppID first;
  ASSERT_EQ(first.Claim(name), InstanceClaim::kClaimed);
  first.StartDelivering();
  QSignalSpy heard(&first, &TfrmAppID::NewMsgMessage);

  {
    TfrmAppID second;
    EXPECT_EQ(second.Claim(name), InstanceClaim::kRunning);
  }
  // The socket file is the first one's still: a notification reaches it.
  ASSERT_TRUE(ContactRunningInstance(name, true));
  EXPECT_TRUE(WaitFor([&] { return heard.count() == 1; })) << heard.count();

  // Only the owner may connect.
  struct stat st {};
  ASSERT_EQ(::stat(name.toLocal8Bit().constData(), &st), 0);
  EXPECT_TRUE(S_ISSOCK(st.st_mode));
  EXPECT_EQ(st.st_mode & 077, 0u) << std::oct << st.st_mode;
}

TEST(InstanceMarker, TakesOverASocketLeftByAnInstanceThatDied) {
  TempDir dir;
  const std::string path = dir.path() + "QM-AppID";
  // Bound and closed without unlinking: what a crash leaves behind.
  int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(fd, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::strncpy(addr.sun_path, path.c_str(), sizeof(addr.sun_path) - 1);
  ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)), 0);
  ::close(fd);
  ASSERT_EQ(::access(path.c_str(), F_OK), 0);
  EXPECT_FALSE(ContactRunningInstance(QString::fromStdString(path), false));

  TfrmAppID marker;
  EXPECT_EQ(marker.Claim(QString::fromStdString(path)), InstanceClaim::kClaimed);
  EXPECT_TRUE(ContactRunningInstance(QString::fromStdString(path), false));
}

TEST(InstanceMarker, NotificationsBeforeTheWindowExistsAreHeldThenDeliveredFromTheLoop) {
  TempDir dir;
  const QString name = QString::fromStdString(dir.path() + "QM-AppID");
  TfrmAppID marker;
  ASSERT_EQ(marker.Claim(name), InstanceClaim::kClaimed);
  QSignalSpy heard(&marker, &TfrmAppID::NewMsgMessage);

  ASSERT_TRUE(ContactRunningInstance(name, true));
  ASSERT_TRUE(ContactRunningInstance(name, true));
  ASSERT_TRUE(ContactRunningInstance(name, false)) << "a bare look is no notification";
  EXPECT_TRUE(WaitFor([&] { return marker.HeldNotifications() == 2; })) << marker.HeldNotifications();
  EXPECT_EQ(heard.count(), 0);

  marker.StartDelivering();
  EXPECT_EQ(heard.count(), 0) << "held ones wait for the event loop";
  EXPECT_TRUE(WaitFor([&] { return heard.count() == 2; })) << heard.count();
  EXPECT_EQ(marker.HeldNotifications(), 0);

  ASSERT_TRUE(ContactRunningInstance(name, true));
  EXPECT_TRUE(WaitFor([&] { return heard.count() == 3; })) << heard.count();
}

// --- Two client processes ----------------------------------------------------------

class HandOffTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFileAtomically(dir_.path() + "Options.ini", "[Options]\r\nVerifyDefClient=0\r\n");
    ForceDirectories(dir_.path() + "run");
    ::chmod((dir_.path() + "run").c_str(), 0700);
    env_ = QProcessEnvironment::systemEnvironment();
    env_.insert("QUILLMAR_HOME", QString::fromStdString(dir_.path()));
    env_.insert("QT_QPA_PLATFORM", "offscreen");
    env_.insert("XDG_CONFIG_HOME", QString::fromStdString(dir_.path() + "config"));
    env_.insert("XDG_DATA_HOME", QString::fromStdString(dir_.path() + "share"));
    // The instance socket goes into the test's own directory.
    env_.insert("XDG_RUNTIME_DIR", QString::fromStdString(dir_.path() + "run"));
  }
  void TearDown() override {
    if (first_.state() != QProcess::NotRunning) {
      first_.kill();
      first_.waitForFinished(5000);
    }
  }
  // A user who has set up an account, so the first start asks nothing.
  void AddAccount() { ForceDirectories(dir_.path() + "Mail/Home"); }

  void Start(QProcess& p, const QStringList& args) {
    p.setProcessEnvironment(env_);
    p.setProcessChannelMode(QProcess::SeparateChannels);
    p.start(exe_, args);
    ASSERT_TRUE(p.waitForStarted(5000));
  }
  // The name the client computes from the same environment.
  QString ServerName() {
    const QByteArray old_home = qgetenv("QUILLMAR_HOME"), old_run = qgetenv("XDG_RUNTIME_DIR");
    qputenv("QUILLMAR_HOME", env_.value("QUILLMAR_HOME").toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", env_.value("XDG_RUNTIME_DIR").toLocal8Bit());
    QString name = InstanceServerName(dir_.path());
    if (old_home.isNull()) qunsetenv("QUILLMAR_HOME"); else qputenv("QUILLMAR_HOME", old_home);
    if (old_run.isNull()) qunsetenv("XDG_RUNTIME_DIR"); else qputenv("XDG_RUNTIME_DIR", old_run);
    return name;
  }
  // Waits until the first instance listens for other starts.
  bool WaitUntilListening() {
    const QString name = ServerName();
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 15000) {
      if (ContactRunningInstance(name, false)) return true;
      if (first_.state() == QProcess::NotRunning) return false;
      QTest::qWait(50);
    }
    return false;
  }
  std::string ReadFirstStderrUntil(const std::string& needle, int ms = 10000) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
      first_.waitForReadyRead(100);
      err_ += first_.readAllStandardError().toStdString();
      if (err_.find(needle) != std::string::npos) break;
    }
    return err_;
  }

  TempDir dir_;
  QProcessEnvironment env_;
  QString exe_ = QUILL_BINARY_DIR "/src/app/quillmar";
  QProcess first_;
  std::string err_;
};

TEST_F(HandOffTest, SecondStartHandsTheMailtoRequestOverAndEnds) {
  AddAccount();
  Start(first_, {});
  ASSERT_TRUE(WaitUntilListening()) << first_.readAllStandardError().toStdString();

  // Without arguments a second start ends at once and the first hears nothing.
  QProcess quiet;
  Start(quiet, {});
  ASSERT_TRUE(quiet.waitForFinished(10000));
  EXPECT_EQ(quiet.exitCode(), 0);
  EXPECT_FALSE(FileExists(dir_.path() + "Temp_info.ini"));

  QProcess second;
  Start(second, {"-NEWMAIL", "mailto:Ann.Smith@Example.COM?subject=Lunch At Noon"});
  ASSERT_TRUE(second.waitForFinished(10000));
  EXPECT_EQ(second.exitCode(), 0);

  std::string err = ReadFirstStderrUntil("new message request");
  EXPECT_NE(err.find("new message request: address=\"ann.smith@example.com\" subject=\"lunch at noon\" attach=\"\""),
            std::string::npos)
      << err;
  EXPECT_EQ(err.find("new message request", err.find("new message request") + 1), std::string::npos)
      << "the argument-less start told nothing";
  EXPECT_FALSE(FileExists(dir_.path() + "Temp_info.ini")) << "receiving deletes the file";
  EXPECT_EQ(first_.state(), QProcess::Running);
}

TEST_F(HandOffTest, AFileArgumentFromTheDesktopEntryBecomesTheAttachment) {
  AddAccount();
  Start(first_, {});
  ASSERT_TRUE(WaitUntilListening());
  QProcess second;
  // The desktop entry passes files through the same "-newmail %u".
  Start(second, {"-newmail", "file:///tmp/Some%20Report.PDF"});
  ASSERT_TRUE(second.waitForFinished(10000));
  std::string err = ReadFirstStderrUntil("new message request");
  EXPECT_NE(err.find("attach=\"/tmp/some report.pdf\""), std::string::npos) << err;
}

TEST_F(HandOffTest, FirstStartWithAFileOpensAComposeRequest) {
  AddAccount();
  Start(first_, {"/Tmp/Notes.TXT"});
  std::string err = ReadFirstStderrUntil("new message request");
  EXPECT_NE(err.find("attach=\"/tmp/notes.txt\""), std::string::npos) << err;
  for (const char* d : {"Contacts", "Temp", "Signatures", "Attachments"})
    EXPECT_TRUE(DirectoryExists(dir_.path() + d)) << d;
}

// A first run stops in the dialog for the first account before its main window
// exists. A start meanwhile must hand over and end, not wait for that dialog or
// start a second instance beside it; the request waits in the file.
TEST_F(HandOffTest, AStartWhileTheFirstRunAsksForAnAccountHandsOverAndEnds) {
  Start(first_, {});
  ASSERT_TRUE(WaitUntilListening()) << first_.readAllStandardError().toStdString();
  EXPECT_TRUE(DirectoryExists(dir_.path() + "Mail"));

  QProcess second;
  Start(second, {"-newmail", "mailto:bob@example.org"});
  ASSERT_TRUE(second.waitForFinished(10000));
  EXPECT_EQ(second.exitCode(), 0);
  EXPECT_EQ(ReadFirstStderrUntil("new message request", 1000).find("new message request"), std::string::npos)
      << "held until the main window exists";
  ASSERT_TRUE(FileExists(dir_.path() + "Temp_info.ini"));
  const std::string handed = ReadFileBytes(dir_.path() + "Temp_info.ini");
  EXPECT_NE(handed.find("Address=bob@example.org"), std::string::npos) << handed;
  EXPECT_EQ(first_.state(), QProcess::Running);

  QProcess quiet;
  Start(quiet, {});
  ASSERT_TRUE(quiet.waitForFinished(10000));
  EXPECT_EQ(quiet.exitCode(), 0);
}

}  // namespace
}  // namespace qm
