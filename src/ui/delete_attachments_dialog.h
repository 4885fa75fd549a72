#pragma once
// The delete-attachments window and the behaviour behind it: which
// attachment files of a message being erased go to the desktop's trash.
#include <QDialog>
#include <string>

class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace qm {

struct cMailMessage;

class TfrmDeleteAttachments : public QDialog {
  Q_OBJECT
 public:
  explicit TfrmDeleteAttachments(QWidget* parent = nullptr);
  ~TfrmDeleteAttachments() override;

  QLabel* lblFrom;
  QLabel* lblSubject;
  QLabel* lblDate;
  QListWidget* lstFiles;
  QPushButton* btnProceed;
  QPushButton* btnKeepAll;
  QCheckBox* chkAutomaticallyDeleteNextTime;

  // Fills the labels and the list; returns how many items start selected.
  int Fill(const cMailMessage& msg);
  // The selected paths, in list order.
  std::vector<std::string> SelectedPaths() const;

 protected:
  void done(int result) override;
};

// Options / DeleteAttachmentsBehavior: 0 asks with the window, 1 deletes
// every attachment file, anything else keeps them.
void DeleteAttachmentsOf(const cMailMessage& msg, QWidget* parent = nullptr);

}  // namespace qm
