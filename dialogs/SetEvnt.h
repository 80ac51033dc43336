// The event setup dialog `TSetEvent` ("Event Setup"): edits one speed event
// of a resource: the action (play a sound, run a program, close a program),
// the timeout, "Perform once" and whether the opposite event is enabled
// again afterwards. Each action has a Test button that performs it at once.
#pragma once

#include <functional>

#include "dialogs/DialogBase.h"
#include "monitor/EventRecord.h"
#include "platform/TopWindows.h"

class QCheckBox;
class QFileDialog;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace tw {

class TPlayer;
class TSpinEdit;

// What the Test buttons and the window list use. Missing parts (no player,
// no window connection) make their buttons do nothing.
struct EventDialogServices {
  std::function<TPlayer&()> player;  // the sound player "Phonograph"
  TopWindows* windows = nullptr;     // the desktop's top-level windows
  bool closeByFileOffered = false;   // the process list can be read
};

// The services of this desktop: no player, the given window connection and
// the process list where the system has one.
EventDialogServices DesktopEventServices(std::function<TPlayer&()> player, TopWindows* windows);

class TSetEvent final : public TDialogBase {
  Q_OBJECT

 public:
  // `minimumEvent` chooses the captions of the minimum- or maximum-speed event.
  TSetEvent(bool minimumEvent, EventDialogServices services, QWidget* parent = nullptr,
            const WindowParameters* preferences = nullptr);

  // Fills the controls from a record (before showing).
  void LoadRecord(const EventRecord& record);
  // The record as the controls hold it (read after "OK").
  EventRecord SavedRecord() const;

  // Controls, named as in the rest of the program.
  QCheckBox* PerfOnceBtn() const { return perfOnceBtn_; }
  TSpinEdit* PerfTimeBtn() const { return perfTimeBtn_; }
  QRadioButton* PlaySoundBtn() const { return playSoundBtn_; }
  QRadioButton* RunPrgBtn() const { return runPrgBtn_; }
  QRadioButton* ClosePrgBtn() const { return closePrgBtn_; }
  QRadioButton* NotifyBtn() const { return notifyBtn_; }
  QLineEdit* NotifyText() const { return notifyText_; }
  QPushButton* NotifyTest() const { return notifyTest_; }
  QCheckBox* ResetCounter() const { return resetCounter_; }
  QLineEdit* PlayFileName() const { return playFileName_; }
  QLineEdit* RunFileName() const { return runFileName_; }
  QLineEdit* RunDirectory() const { return runDirectory_; }
  QLineEdit* CloseFileName() const { return closeFileName_; }
  QLineEdit* WinTitle() const { return winTitle_; }
  QLabel* CloseFileLbl() const { return closeFileLbl_; }
  QLabel* ORLabel() const { return orLabel_; }
  QPushButton* PlayBrowse() const { return playBrowse_; }
  QPushButton* PlayTest() const { return playTest_; }
  QPushButton* RunBrowse() const { return runBrowse_; }
  QPushButton* RunTest() const { return runTest_; }
  QPushButton* CloseBrowse() const { return closeBrowse_; }
  QPushButton* WinTitleBrowse() const { return winTitleBrowse_; }
  QPushButton* CloseTest() const { return closeTest_; }
  QPushButton* OkBtn() const { return okBtn_; }
  QPushButton* CancelBtn() const { return cancelBtn_; }
  QPushButton* BtnHelp() const { return btnHelp_; }
  // True once the window has been painted: the change rules act from then on.
  bool Painted() const { return painted_; }

 signals:
  // A Browse button opened its file dialog (tests answer it through this).
  void FileDialogOpened(QFileDialog* dialog);

 public slots:
  void PlayBrowseClick();
  void RunBrowseClick();
  void CloseBrowseClick();
  void WinTitleBrowseClick();
  void PlayTestClick();
  void RunTestClick();
  void CloseTestClick();
  // Shows the notification now; says so when the desktop cannot show it.
  void NotifyTestClick();
  void BtnHelpClick();

 protected:
  void showEvent(QShowEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private slots:
  void PlayFileNameChange();
  void RunFileNameChange();
  void CloseFileNameChange();
  void WinTitleChange();

 private:
  void BuildControls(bool minimumEvent);
  QWidget* BuildSoundGroup();
  QWidget* BuildRunGroup();
  QWidget* BuildCloseGroup();
  QWidget* BuildNotifyGroup();
  QWidget* BuildButtonBar();
  QLineEdit* NewEdit(const char* name);
  QPushButton* NewButton(const char* caption, const char* name);
  void SetHelpContexts();
  void BrowseInto(QLineEdit* edit, const QString& caption, const QString& filter);
  void PostClick(QRadioButton* radio);

  EventDialogServices services_;
  bool painted_ = false;
  QCheckBox* perfOnceBtn_ = nullptr;
  TSpinEdit* perfTimeBtn_ = nullptr;
  QRadioButton* playSoundBtn_ = nullptr;
  QRadioButton* runPrgBtn_ = nullptr;
  QRadioButton* closePrgBtn_ = nullptr;
  QRadioButton* notifyBtn_ = nullptr;
  QLineEdit* notifyText_ = nullptr;
  QPushButton* notifyTest_ = nullptr;
  QCheckBox* resetCounter_ = nullptr;
  QLineEdit* playFileName_ = nullptr;
  QLineEdit* runFileName_ = nullptr;
  QLineEdit* runDirectory_ = nullptr;
  QLineEdit* closeFileName_ = nullptr;
  QLineEdit* winTitle_ = nullptr;
  QLabel* closeFileLbl_ = nullptr;
  QLabel* closeTitleLbl_ = nullptr;
  QLabel* orLabel_ = nullptr;
  QPushButton* playBrowse_ = nullptr;
  QPushButton* playTest_ = nullptr;
  QPushButton* runBrowse_ = nullptr;
  QPushButton* runTest_ = nullptr;
  QPushButton* closeBrowse_ = nullptr;
  QPushButton* winTitleBrowse_ = nullptr;
  QPushButton* closeTest_ = nullptr;
  QPushButton* okBtn_ = nullptr;
  QPushButton* cancelBtn_ = nullptr;
  QPushButton* btnHelp_ = nullptr;
};

// Opens the event setup dialog on `record` and waits for it. On "OK" the
// record takes the dialog's texts and true is returned; on "Cancel" the
// record stays as it was.
bool EditEventRecord(EventRecord& record, bool minimumEvent, const EventDialogServices& services,
                     QWidget* parent = nullptr, const WindowParameters* preferences = nullptr);

}  // namespace tw
