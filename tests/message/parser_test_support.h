#pragma once
// Shared set-up for parser tests: a data directory of its own and a
// recorder for error reports.
#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "message/parse_message.h"
#include "platform/file_system.h"
#include "shell/app_paths.h"
#include "shell/report_error.h"
#include "store/mail_message.h"
#include "test_support/temp_dir.h"

namespace qm {

class ParserReports : public ErrorSink {
 public:
  void Report(const std::string& message, bool) override {
    std::lock_guard<std::mutex> lock(mutex_);
    messages.push_back(message);
  }
  std::vector<std::string> messages;

 private:
  std::mutex mutex_;
};

class ParserTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitialisePaths(dir_.path());
    reports_ = std::make_shared<ParserReports>();
    previous_ = SetErrorSink(reports_);
  }
  void TearDown() override {
    SetErrorSink(previous_);
    FreeMessage(msg_);
    ReleaseSettings();
  }

  // Joins the lines with CR LF.
  static std::string Text(std::initializer_list<std::string> lines) {
    std::string s;
    for (const auto& l : lines) s += l + "\r\n";
    return s;
  }

  cMailMessage& Parse(const std::string& text) {
    FreeMessage(msg_);
    InitMessage(msg_);
    std::string path = dir_.path() + "incoming.eml";
    WriteFileAtomically(path, text);
    ParseMessageFile(path, msg_);
    return msg_;
  }

  std::string Attachment(size_t i) const {
    return i < msg_.Attachments->size() ? ReadFileBytes((*msg_.Attachments)[i]) : std::string("<none>");
  }
  StringList AttachmentNames() const {
    StringList names;
    for (const auto& p : *msg_.Attachments) names.push_back(p.substr(0, AttachmentsDir.size()) == AttachmentsDir
                                                                ? p.substr(AttachmentsDir.size())
                                                                : "OUTSIDE:" + p);
    return names;
  }
  const std::vector<std::string>& Reports() const { return reports_->messages; }

  class TempDir dir_;  // the class, not the TempDir location
  cMailMessage msg_;
  std::shared_ptr<ParserReports> reports_;
  std::shared_ptr<ErrorSink> previous_;
};

}  // namespace qm
