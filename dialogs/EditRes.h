// The resource wizard `TEditResource`: the page book in which the user
// defines one test resource (what is tested, chart colours, measuring
// rhythm, speed thresholds with their actions) and, on the very first start,
// the dial-up keeper. The opener reads `Result()` after "OK" and writes it
// into the settings table; the wizard itself only reads the table.
#pragma once

#include <functional>

#include "dialogs/DialogBase.h"
#include "dialogs/SetEvnt.h"
#include "monitor/ResourceWizard.h"

class QCheckBox;
class QColorDialog;
class QFileDialog;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QStackedWidget;

namespace tw {

class ConnectWindowsTable;
class TColorSwatch;
class TConnectWindowsGrid;
class TDialUpTimer;
class THelp;
class TMsgDialog;
class TSetURL;
class TSpinEdit;
class TURL;

// What the wizard reads from (and, in first-start mode, writes into) its opener.
struct WizardContext {
  // Colours in use; the row to edit.
  const ResourceTable* table = nullptr;
  // Above 0: edit mode, this row is loaded at the first paint.
  int editRow = 0;
  // No parameters file was read at start-up: the first-start pages.
  bool firstStart = false;
  // The ICMP echo facility can be used.
  bool echoAvailable = true;
  // "UserKnownCDFileSize": read; written when the small-file note is shown.
  bool* userKnownCDFileSize = nullptr;
  // First-start mode: shown on the DialUP page and written on finish.
  ConnectWindowsTable* dialUpTable = nullptr;
  // First-start mode: on/off and interval, read and written.
  TDialUpTimer* dialUpTimer = nullptr;
  // The fonts.
  const WindowParameters* preferences = nullptr;
  // May be null (then the program's current help, if any).
  THelp* help = nullptr;
  // The program's one message dialog; null: the wizard makes its own.
  TMsgDialog* msgDialog = nullptr;
  // For the event setup dialog.
  EventDialogServices eventServices;
  // 0..126 for random colours; empty: a real random generator.
  std::function<int()> randomPart;
};

class TEditResource final : public TDialogBase {
  Q_OBJECT

 public:
  // Page indexes of `Notebook1`.
  enum Page { kWelcome = 0, kResource, kColor, kFrequence, kMinMaxEvents, kDialUp, kFinish };
  static constexpr int kPageCount = 7;

  explicit TEditResource(WizardContext context, QWidget* parent = nullptr);

  // The values of the controls and both event records (read after "OK").
  WizardResult Result() const;
  int PageIndex() const;
  // The last page: 6 in first-start mode, 4 otherwise.
  int LastPage() const;
  // True once the window has been shown (the dial-up table's rule acts then).
  bool Shown() const { return shown_; }
  // True once the window has been painted (an edited row is loaded then).
  bool Painted() const { return painted_; }

  // Controls, named as in the rest of the program.
  QStackedWidget* Notebook1() const { return notebook1_; }
  QPushButton* Previos() const { return previos_; }
  QPushButton* Next() const { return next_; }
  QPushButton* CloseBtn() const { return closeBtn_; }
  QPushButton* HelpBtn() const { return helpBtn_; }
  TURL* WWWAddress() const { return wwwAddress_; }
  QRadioButton* NetwDrive() const { return netwDrive_; }
  QRadioButton* CDROM() const { return cdrom_; }
  QRadioButton* IP() const { return ip_; }
  QRadioButton* WebPage() const { return webPage_; }
  QLineEdit* Path() const { return path_; }
  QPushButton* Browse() const { return browse_; }
  QLabel* Page2_Topic() const { return page2Topic_; }
  TColorSwatch* ReadColor() const { return readColor_; }
  TColorSwatch* WriteColor() const { return writeColor_; }
  QPushButton* SetReadColor() const { return setReadColor_; }
  QPushButton* SetWriteColor() const { return setWriteColor_; }
  QLabel* LabelReadColor() const { return labelReadColor_; }
  QLabel* LabelWriteColor() const { return labelWriteColor_; }
  TSpinEdit* PingDelay() const { return pingDelay_; }
  TSpinEdit* TimeOut() const { return timeOut_; }
  QWidget* TimeoutPanel() const { return timeoutPanel_; }
  TSpinEdit* SizeOfPacket() const { return sizeOfPacket_; }
  QWidget* SizeofPacketPanel() const { return sizeofPacketPanel_; }
  QCheckBox* DefAuto() const { return defAuto_; }
  QCheckBox* PerformMinSpeed() const { return performMinSpeed_; }
  QLineEdit* MinSpeed() const { return minSpeed_; }
  QCheckBox* PerformMaxSpeed() const { return performMaxSpeed_; }
  QLineEdit* MaxSpeed() const { return maxSpeed_; }
  QPushButton* MinSpeedEvent() const { return minSpeedEvent_; }
  QPushButton* MaxSpeedEvent() const { return maxSpeedEvent_; }
  QCheckBox* KeppDialUp() const { return keppDialUp_; }
  QWidget* KeepDialPanel() const { return keepDialPanel_; }
  TSpinEdit* DialUpTimeout() const { return dialUpTimeout_; }
  TConnectWindowsGrid* ConnectWindowsTable() const { return connectWindowsTable_; }
  // The message dialog the wizard asks its questions in.
  TMsgDialog* MessageDialog();

 signals:
  // The file-open, colour and folder dialogs opened (tests answer them through these).
  void FileDialogOpened(QFileDialog* dialog);
  void ColorDialogOpened(QColorDialog* dialog);

 public slots:
  void NextClick();
  void PreviosClick();
  void CloseBtnClick();
  void BrowseClick();
  // The kind rule: the hint text, whether Browse is offered and the sizes
  // the size field takes.
  void IPClick();
  void DefAutoClick();
  void KeppDialUpClick();
  void SetReadColorClick();
  void SetWriteColorClick();
  void MinSpeedEventClick();
  void MaxSpeedEventClick();
  void HelpBtnClick();
  // Closing with OK applies the dial-up settings first (first-start mode).
  void done(int result) override;

 protected:
  void showEvent(QShowEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private slots:
  void Notebook1PageChanged(int page);

 private:
  // Page construction (EditResPages.cpp, EditResLaterPages.cpp).
  void BuildControls();
  QWidget* BuildButtonBar();
  QWidget* BuildWelcomePage();
  QWidget* BuildResourcePage();
  QWidget* BuildColorPage();
  QWidget* BuildFrequencePage();
  QWidget* BuildEventsPage();
  QWidget* BuildDialUpPage();
  QWidget* BuildFinishPage();
  QWidget* WithPicture(QWidget* content);
  QPushButton* NewButton(const QString& caption, const char* name);
  TSpinEdit* NewSpinEdit(const char* name, int minimum, int maximum, int step, int value);
  void KeepPlacesOfHiddenControls();
  void ConnectControls();
  void SetHelpContexts();

  // Showing, loading and the page rules (EditRes.cpp); what the buttons
  // open (EditResButtons.cpp).
  void FormShow();
  void LoadRow(int row);
  void GoToPage(int page);
  ResourceKind CheckedKind() const;
  void CheckKind(ResourceKind kind);
  TSetURL* UrlList();
  void ChooseColor(TColorSwatch* swatch);
  bool EditEvent(bool minimumEvent);
  void ApplyDialUpSettings();

  // The checks on leaving the Resource page (EditResChecks.cpp).
  bool ResourceNamed();
  void ProposeHost();
  bool FileSizeAccepted();

  WizardContext context_;
  int pagesToSkip_ = 3;
  bool editing_ = false;
  bool shown_ = false;
  bool painted_ = false;
  EventRecord minEvent_ = NewEventRecord();
  EventRecord maxEvent_ = NewEventRecord();
  TMsgDialog* ownMsgDialog_ = nullptr;
  TSetURL* urlList_ = nullptr;

  QStackedWidget* notebook1_ = nullptr;
  QPushButton* previos_ = nullptr;
  QPushButton* next_ = nullptr;
  QPushButton* closeBtn_ = nullptr;
  QPushButton* helpBtn_ = nullptr;
  TURL* wwwAddress_ = nullptr;
  QRadioButton* netwDrive_ = nullptr;
  QRadioButton* cdrom_ = nullptr;
  QRadioButton* ip_ = nullptr;
  QRadioButton* webPage_ = nullptr;
  QLineEdit* path_ = nullptr;
  QPushButton* browse_ = nullptr;
  QLabel* page2Topic_ = nullptr;
  TColorSwatch* readColor_ = nullptr;
  TColorSwatch* writeColor_ = nullptr;
  QPushButton* setReadColor_ = nullptr;
  QPushButton* setWriteColor_ = nullptr;
  QLabel* labelReadColor_ = nullptr;
  QLabel* labelWriteColor_ = nullptr;
  TSpinEdit* pingDelay_ = nullptr;
  TSpinEdit* timeOut_ = nullptr;
  QWidget* timeoutPanel_ = nullptr;
  TSpinEdit* sizeOfPacket_ = nullptr;
  QWidget* sizeofPacketPanel_ = nullptr;
  QCheckBox* defAuto_ = nullptr;
  QCheckBox* performMinSpeed_ = nullptr;
  QLineEdit* minSpeed_ = nullptr;
  QCheckBox* performMaxSpeed_ = nullptr;
  QLineEdit* maxSpeed_ = nullptr;
  QPushButton* minSpeedEvent_ = nullptr;
  QPushButton* maxSpeedEvent_ = nullptr;
  QCheckBox* keppDialUp_ = nullptr;
  QWidget* keepDialPanel_ = nullptr;
  TSpinEdit* dialUpTimeout_ = nullptr;
  TConnectWindowsGrid* connectWindowsTable_ = nullptr;
};

}  // namespace tw
