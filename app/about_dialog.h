// The About dialog fmAbout: a short instruction and a contact link. Created
// hidden at start-up and shown modally on demand, always the same object; it
// opens where it was last closed. Esc and Enter close it, Space and a click on
// the link open "mailto:" with the address.
#pragma once

#include <QDialog>

class QLabel;

class TfmAbout : public QDialog {
  Q_OBJECT

 public:
  static const QString ContactAddress;

  void setVisible(bool visible) override;

  explicit TfmAbout(QWidget* parent = nullptr);
  ~TfmAbout() override;

  QLabel* Label2 = nullptr;   // heading
  QLabel* lbText = nullptr;   // the instruction
  QLabel* Label3 = nullptr;   // the line above the link
  QLabel* lbEmail = nullptr;  // the contact link
  QLabel* Label1 = nullptr;   // empty spacer at the bottom

  // Handlers.
  void lbEmailClick();
  void lbEmailMouseMove();
  void lbEmailMouseLeave();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool placed_ = false;
};

// The program's About dialog, set at the start of its construction.
extern TfmAbout* fmAbout;
