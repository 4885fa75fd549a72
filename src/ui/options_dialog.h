#pragma once
// The Options dialog. Most controls are bound to a settings key by their own
// name (the name without its three-letter prefix), so loading and saving are
// two passes over the controls; the rest have their own code.
#include <QDialog>
#include <QFrame>
#include <string>

#include "shell/font_settings.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;

namespace qm {

// A colour swatch; a click opens the colour dialog.
class TColourPanel : public QFrame {
  Q_OBJECT
 public:
  TColourPanel(const char* name, int designed_colour, QWidget* parent);
  int Colour() const { return colour_; }  // 0x00BBGGRR
  void SetColour(int colour);
  int designed_colour() const { return designed_; }
 signals:
  void Clicked();

 protected:
  void mousePressEvent(QMouseEvent* event) override;

 private:
  int colour_ = 0;
  int designed_;
};

class TfrmOptions : public QDialog {
  Q_OBJECT
 public:
  explicit TfrmOptions(QWidget* parent = nullptr);
  ~TfrmOptions() override;
  static TfrmOptions* Instance();

  QTabWidget* PageControl;
  QPushButton* btnOK;
  QPushButton* btnCancel;
  QComboBox* cboSignaturePosition;
  QLineEdit* edtMsgQuoteChar;
  TColourPanel* pnlSingleQuote;
  TColourPanel* pnlDoubleQuote;
  TColourPanel* PreviewPaneBackground;
  TColourPanel* LinkColour;
  TColourPanel* HeaderPaneBackground;
  TColourPanel* SubjectHeaderColour;
  TColourPanel* FromHeaderColour;
  TColourPanel* MailToHeaderColour;
  QLineEdit* edtMail;
  QLineEdit* edtContacts;
  QLineEdit* edtTempFolder;
  QLineEdit* edtAttachmentsFolder;
  QLineEdit* edtStartupPwd;
  QGroupBox* grpDeleteAttachmentsBehavior;
  QButtonGroup* deleteBehaviorGroup;
  QCheckBox* chkUseCustom;
  QLineEdit* edtPath;
  QPushButton* btnBrowsePath;
  QRadioButton* optUsePreviewFont;
  QRadioButton* optUserCustomFont;

  // Font samples: 0 main window, 1 preview, 2 composition, 3 printing.
  QLabel* fontSample[4];
  QPushButton* fontButton[4];
  FontDesc fonts[4];
  bool fonts_changed = false;
  bool colours_changed = false;

  void btnOKClick();
  // A colour panel's click with the colour the dialog returned (invalid: cancelled).
  void ColourChosen(TColourPanel* panel, const QColor& chosen);
  void FontChosen(int which, const FontDesc& font);
  void chkUseCustomClick();

  void done(int result) override;

 private:
  void BuildPages();
  void LoadBound();
  void SaveBound();
  void ShowSample(int which);
  void ApplyToRunningProgram();
};

// The sample text of a font: its name, a space, its size and "pt".
std::string FontSampleText(const FontDesc& font);

}  // namespace qm
