// The global preferences `TParameters` ("Global Preferences"): the settings
// of the whole program rather than of one resource, on three pages: the
// dial-up keeper, the three fonts of the user interface and whether results
// are written to the trend file. The window lives as long as the main
// window, reloads its controls each time it is shown and hands its choices
// back after "OK"; the main window applies them.
//
// The dial-up keeper does not run while the window is open: showing stops
// its timer, Cancel, Esc and any key other than Enter put it back as it was.
// After "OK" it stays stopped until the opener applies the new setting.
#pragma once

#include "dialogs/DialogBase.h"
#include "monitor/DialUpKeeper.h"

class QCheckBox;
class QFontDialog;
class QLabel;
class QPushButton;
class QTabWidget;

namespace tw {

class TConnectWindowsGrid;
class TDialUpTimer;
class TSpinEdit;

// The preferences as the window holds them after "OK".
struct GlobalPreferences {
  bool keepDialUp = false;             // the dial-up timer runs
  int dialUpIntervalMs = 0;            // the keeper's period, milliseconds (whole seconds)
  ConnectWindowsTable connectWindows;  // every row, the header row included
  FontSetting dialogFont;
  FontSetting stringGridFont;
  FontSetting editLineFont;
  bool trendEnabled = true;  // threads write trend records
  bool closeToTray = false;  // closing the window keeps the program in the tray
};

class TParameters final : public TDialogBase {
  Q_OBJECT

 public:
  // `preferences` gives the fonts and the trend switch as they stand; the
  // table and the timer are the dial-up keeper's. All are the main window's
  // and outlive this window.
  TParameters(const WindowParameters& preferences, const ConnectWindowsTable& connectWindows,
              TDialUpTimer& dialUpTimer, QWidget* parent = nullptr);

  // The settings as the controls hold them (read after "OK").
  GlobalPreferences Chosen() const;

  // Controls, named as in the rest of the program.
  QTabWidget* TabbedNotebook1() const { return tabs_; }
  QCheckBox* KeppDialUp() const { return keppDialUp_; }
  QWidget* KeepDialPanel() const { return keepDialPanel_; }
  TSpinEdit* DialUpTimeout() const { return dialUpTimeout_; }
  TConnectWindowsGrid* ConnectWindowsGrid() const { return connectWindowsTable_; }
  QLabel* DialogsText() const { return dialogsText_; }
  QLabel* TableFont() const { return tableFont_; }
  QLabel* EditLine() const { return editLine_; }
  QPushButton* ChoiseDlgFnt() const { return choiseDlgFnt_; }
  QPushButton* ChoiseTblFnt() const { return choiseTblFnt_; }
  QPushButton* ChoiseEdLnFnt() const { return choiseEdLnFnt_; }
  QFontDialog* FontDialog1() const { return fontDialog1_; }
  QCheckBox* TrendEnabledBtn() const { return trendEnabledBtn_; }
  QCheckBox* CloseToTrayBtn() const { return closeToTrayBtn_; }
  QPushButton* BtnOk() const { return btnOk_; }
  QPushButton* CancelBtn() const { return cancelBtn_; }
  QPushButton* BtnHelp() const { return btnHelp_; }

 public slots:
  // Anything but "OK" puts the dial-up timer back as it was.
  void done(int result) override;

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private slots:
  void KeppDialUpClick();
  void ChoiseDlgFntClick();
  void ChoiseTblFntClick();
  void ChoiseEdLnFntClick();
  void BtnHelpClick();

 private:
  void FormShow();
  QWidget* BuildDialUpPage();
  QWidget* BuildFontsPage();
  QWidget* BuildMiscPage();
  QLayout* BuildButtons();
  void SetHelpContexts();
  QLabel* NewPreview(const char* name);
  QPushButton* NewFontButton(const char* name);
  // Lets the user pick a font for `preview`; it shows `setting` afterwards.
  void ChooseFont(QLabel* preview, FontSetting& setting);
  void RestoreDialUpTimer();

  const WindowParameters& preferences_;
  const ConnectWindowsTable& connectWindows_;
  TDialUpTimer& dialUpTimer_;
  // The fonts the previews show; applied only after "OK".
  FontSetting dialogFont_;
  FontSetting stringGridFont_;
  FontSetting editLineFont_;
  // The timer's on/off state when the window was shown.
  bool dialUpWasOn_ = false;
  bool shown_ = false;

  QTabWidget* tabs_ = nullptr;
  QCheckBox* keppDialUp_ = nullptr;
  QWidget* keepDialPanel_ = nullptr;
  TSpinEdit* dialUpTimeout_ = nullptr;
  TConnectWindowsGrid* connectWindowsTable_ = nullptr;
  QLabel* dialogsText_ = nullptr;
  QLabel* tableFont_ = nullptr;
  QLabel* editLine_ = nullptr;
  QPushButton* choiseDlgFnt_ = nullptr;
  QPushButton* choiseTblFnt_ = nullptr;
  QPushButton* choiseEdLnFnt_ = nullptr;
  QFontDialog* fontDialog1_ = nullptr;
  QCheckBox* trendEnabledBtn_ = nullptr;
  QCheckBox* closeToTrayBtn_ = nullptr;
  QPushButton* btnOk_ = nullptr;
  QPushButton* cancelBtn_ = nullptr;
  QPushButton* btnHelp_ = nullptr;
};

}  // namespace tw
