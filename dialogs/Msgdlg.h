// The message dialog `TMsgDialog`: the program's one modal window for notes,
// questions and errors. Per message the caller sets the buttons and whether
// "&Never show this note" is offered; after every message the dialog goes
// back to its standing look (Ok, Help; no check box).
#pragma once

#include <QDialog>
#include <QPointer>
#include <QString>
#include <QStringList>

class QCheckBox;
class QFrame;
class QLabel;
class QPlainTextEdit;

namespace tw {

class TBlackBitButton;

// The kinds a button of the dialog can take.
enum MsgButtonKind : int { mbHidden = 0, mbOk = 1, mbCancel = 2, mbHelp = 3, mbYes = 4, mbNo = 5 };

// Modal results: OkBtn (whatever its caption) gives 1, CancelBtn 2.
constexpr int kMsgResultOk = 1;
constexpr int kMsgResultCancel = 2;

class TMsgDialog final : public QDialog {
  Q_OBJECT

 public:
  // `mainWindow` owns the dialog and lends it its font each time it is shown.
  explicit TMsgDialog(QWidget* mainWindow = nullptr);

  // Gives OkBtn, CancelBtn and HelpBtn their kinds. With the cancel button
  // shown, OkBtn stands left of it; with it hidden, OkBtn takes its place.
  void SetButtons(int okKind, int cancelKind, int helpKind);
  // Shows "&Never show this note" and its separator for the next message.
  void OfferNeverShow();
  // Shows the message modally and returns 1 or 2. A carriage return (or a
  // line feed; CR LF counts once) starts a new line.
  int ShowMessage(const QString& title, const QString& text);
  // Whether "&Never show this note" is checked (it keeps its state).
  bool NeverAskChecked() const;

  // The lines of the message as shown.
  static QStringList MessageLines(const QString& text);

  // Controls, for the callers' tests.
  TBlackBitButton* OkBtn() const { return okBtn_; }
  TBlackBitButton* CancelBtn() const { return cancelBtn_; }
  TBlackBitButton* HelpBtn() const { return helpBtn_; }
  QCheckBox* NeverAsk() const { return neverAsk_; }
  QFrame* AskBevel() const { return askBevel_; }
  QPlainTextEdit* MessageTxt() const { return messageTxt_; }

 public slots:
  void done(int result) override;
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private slots:
  void HelpBtnClick();

 private:
  void BuildControls();
  void RestoreStandingLook();
  void UpdateScrollBar();
  static void SetKind(TBlackBitButton* button, int kind);

  QPointer<QWidget> mainWindow_;
  QLabel* image1_ = nullptr;
  QPlainTextEdit* messageTxt_ = nullptr;
  QFrame* askBevel_ = nullptr;
  QCheckBox* neverAsk_ = nullptr;
  TBlackBitButton* okBtn_ = nullptr;
  TBlackBitButton* cancelBtn_ = nullptr;
  TBlackBitButton* helpBtn_ = nullptr;
};

}  // namespace tw
