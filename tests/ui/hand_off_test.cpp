// Two real client processes on one data directory: the second hands its
// request to the first and ends.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTest>

#include "platform/file_system.h"
#include "test_support/temp_dir.h"
#include "ui/single_instance.h"

namespace qm {
namespace {

class HandOffTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFileAtomically(dir_.path() + "Options.ini", "[Options]\r\nVerifyDefClient=0\r\n");
    env_ = QProcessEnvironment::systemEnvironment();
    env_.insert("QUILLMAR_HOME", QString::fromStdString(dir_.path()));
    env_.insert("QT_QPA_PLATFORM", "offscreen");
    env_.insert("XDG_CONFIG_HOME", QString::fromStdString(dir_.path() + "config"));
    env_.insert("XDG_DATA_HOME", QString::fromStdString(dir_.path() + "share"));
  }
  void TearDown() override {
    if (first_.state() != QProcess::NotRunning) {
      first_.kill();
      first_.waitForFinished(5000);
    }
  }
  void Start(QProcess& p, const QStringList& args) {
    p.setProcessEnvironment(env_);
    p.setProcessChannelMode(QProcess::SeparateChannels);
    p.start(exe_, args);
    ASSERT_TRUE(p.waitForStarted(5000));
  }
  // Waits until the first instance listens for other starts.
  bool WaitUntilListening() {
    qputenv("QUILLMAR_HOME", QByteArray::fromStdString(dir_.path()));
    QString name = InstanceServerName(dir_.path());
    qunsetenv("QUILLMAR_HOME");
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 15000) {
      if (ContactRunningInstance(name, false)) return true;
      QTest::qWait(50);
    }
    return false;
  }
  std::string ReadFirstStderrUntil(const std::string& needle) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 10000) {
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
}

TEST_F(HandOffTest, AFileArgumentFromTheDesktopEntryBecomesTheAttachment) {
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
  Start(first_, {"/Tmp/Notes.TXT"});
  std::string err = ReadFirstStderrUntil("new message request");
  EXPECT_NE(err.find("attach=\"/tmp/notes.txt\""), std::string::npos) << err;
  for (const char* d : {"Mail", "Contacts", "Temp", "Signatures", "Attachments"})
    EXPECT_TRUE(DirectoryExists(dir_.path() + d)) << d;
}

}  // namespace
}  // namespace qm
