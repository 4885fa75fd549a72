#pragma once
// A data directory with address books for the address book window tests.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QTreeWidget>
#include <memory>
#include <string>
#include <vector>

#include "../test_support/temp_dir.h"
#include "contacts/contact_store.h"
#include "platform/file_system.h"
#include "shell/app_paths.h"
#include "shell/report_error.h"
#include "ui/qt_text.h"

namespace qm {

struct ReportRecorder : ErrorSink {
  void Report(const std::string& message, bool) override { reports.push_back(message); }
  std::vector<std::string> reports;
};

class AddrBookTestBase : public ::testing::Test {
 protected:
  void SetUp() override {
    InitialisePaths(dir_.path());
    ForceDirectories(ContactsDir);
    recorder_ = std::make_shared<ReportRecorder>();
    previous_sink_ = SetErrorSink(recorder_);
  }
  void TearDown() override {
    QApplication::processEvents();
    SetErrorSink(previous_sink_);
    ReleaseSettings();
  }

  static cContact Contact(const std::string& name, const std::string& email, const std::string& home_page = "") {
    cContact c;
    InitContact(c);
    c.Name = name;
    c.Email = email;
    c.HomePage = home_page;
    return c;
  }
  static void Add(const std::string& file, const cContact& c) { ASSERT_TRUE(WriteContact(file, c)); }
  static void MakeGroup(const std::string& group) { WriteFileAtomically(GetGroupFile(group), ""); }

  // Texts of one column of a list, top to bottom.
  static std::vector<std::string> Column(const QTreeWidget* list, int column = 0) {
    std::vector<std::string> texts;
    for (int r = 0; r < list->topLevelItemCount(); ++r) texts.push_back(S(list->topLevelItem(r)->text(column)));
    return texts;
  }

  class TempDir dir_;
  std::shared_ptr<ReportRecorder> recorder_;
  std::shared_ptr<ErrorSink> previous_sink_;
};

template <class W>
W* Child(QWidget* parent, const char* name) {
  W* w = parent->findChild<W*>(name);
  EXPECT_NE(w, nullptr) << name;
  return w;
}

}  // namespace qm
