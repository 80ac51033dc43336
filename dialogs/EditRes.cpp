#include "dialogs/EditRes.h"

#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QScreen>
#include <QStackedWidget>

#include "app/DialUpTimer.h"
#include "controls/URL.h"
#include "dialogs/ColorSwatch.h"
#include "dialogs/ConnectWindowsGrid.h"
#include "dialogs/Help.h"
#include "dialogs/Msgdlg.h"
#include "dialogs/SpinEdit.h"
#include "dialogs/UsetURL.h"
#include "engine/ResourceKinds.h"
#include "engine/WebSize.h"
#include "util/HelpIds.h"

namespace tw {

namespace {

constexpr int kMsPerSecond = 1000;

// The help topic of each page, in page order.
constexpr const char* kPageTopics[TEditResource::kPageCount] = {
    HelpTopicName::MainIndex,    HelpTopicName::SetResource,  HelpTopicName::SetResource2,
    HelpTopicName::SetResource3, HelpTopicName::SetResource4, HelpTopicName::SetResource5,
    HelpTopicName::MainIndex};

}  // namespace

TEditResource::TEditResource(WizardContext context, QWidget* parent)
    : TDialogBase(parent, context.preferences), context_(std::move(context)) {
  setObjectName("EditResource");
  setWindowTitle("Welcome to Tarnwick");
  if (!context_.randomPart) {
    context_.randomPart = [] { return static_cast<int>(QRandomGenerator::global()->bounded(127)); };
  }
  editing_ = context_.editRow > 0;
  BuildControls();
  KeepPlacesOfHiddenControls();
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  ConnectControls();
  SetHelpContexts();
  EnableContextHelp(this, 0, [this] { HelpBtnClick(); });
}

void TEditResource::KeepPlacesOfHiddenControls() {
  // The window keeps one size and every control its place whatever the
  // kind rule or "Keep Dial-Up connection" hides.
  const QList<QWidget*> controls{browse_,       labelWriteColor_,   writeColor_,    setWriteColor_,
                                 timeoutPanel_, sizeofPacketPanel_, keepDialPanel_, wwwAddress_};
  for (QWidget* control : controls) {
    QSizePolicy policy = control->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    control->setSizePolicy(policy);
  }
}

void TEditResource::ConnectControls() {
  connect(notebook1_, &QStackedWidget::currentChanged, this, &TEditResource::Notebook1PageChanged);
  connect(next_, &QPushButton::clicked, this, &TEditResource::NextClick);
  connect(previos_, &QPushButton::clicked, this, &TEditResource::PreviosClick);
  connect(closeBtn_, &QPushButton::clicked, this, &TEditResource::CloseBtnClick);
  connect(helpBtn_, &QPushButton::clicked, this, &TEditResource::HelpBtnClick);
  connect(browse_, &QPushButton::clicked, this, &TEditResource::BrowseClick);
  for (QRadioButton* kind : {netwDrive_, cdrom_, ip_, webPage_})
    connect(kind, &QRadioButton::clicked, this, &TEditResource::IPClick);
  connect(defAuto_, &QCheckBox::clicked, this, &TEditResource::DefAutoClick);
  connect(keppDialUp_, &QCheckBox::clicked, this, &TEditResource::KeppDialUpClick);
  connect(setReadColor_, &QPushButton::clicked, this, &TEditResource::SetReadColorClick);
  connect(setWriteColor_, &QPushButton::clicked, this, &TEditResource::SetWriteColorClick);
  connect(minSpeedEvent_, &QPushButton::clicked, this, &TEditResource::MinSpeedEventClick);
  connect(maxSpeedEvent_, &QPushButton::clicked, this, &TEditResource::MaxSpeedEventClick);
}

void TEditResource::SetHelpContexts() {
  const std::pair<QWidget*, int> contexts[] = {{closeBtn_, HelpContext::CancelBtn},
                                               {helpBtn_, HelpContext::HelpBtn},
                                               {netwDrive_, HelpContext::NetwDrive},
                                               {cdrom_, HelpContext::CDROM},
                                               {ip_, HelpContext::IP},
                                               {webPage_, HelpContext::IP},
                                               {browse_, HelpContext::Browse},
                                               {setReadColor_, HelpContext::ColorButtons},
                                               {setWriteColor_, HelpContext::ColorButtons},
                                               {defAuto_, HelpContext::DefAuto},
                                               {performMinSpeed_, HelpContext::PerformSpeed},
                                               {performMaxSpeed_, HelpContext::PerformSpeed},
                                               {minSpeedEvent_, HelpContext::SpeedActionButtons},
                                               {maxSpeedEvent_, HelpContext::SpeedActionButtons},
                                               {keppDialUp_, HelpContext::KeppDialUp}};
  for (const auto& [control, context] : contexts) SetHelpContext(control, context);
}

int TEditResource::PageIndex() const {
  return notebook1_->currentIndex();
}

int TEditResource::LastPage() const {
  return kPageCount - pagesToSkip_;
}

TMsgDialog* TEditResource::MessageDialog() {
  if (context_.msgDialog != nullptr) return context_.msgDialog;
  if (ownMsgDialog_ == nullptr) ownMsgDialog_ = new TMsgDialog(this);
  return ownMsgDialog_;
}

TSetURL* TEditResource::UrlList() {
  if (urlList_ == nullptr) urlList_ = new TSetURL(this, Preferences());
  return urlList_;
}

void TEditResource::showEvent(QShowEvent* event) {
  TDialogBase::showEvent(event);  // the preferences' fonts first
  if (!shown_) FormShow();
}

void TEditResource::FormShow() {
  UrlList();
  if (!editing_) {
    setWindowTitle("Adding new resource");
    const ResourceTable empty;
    const LineColors colors =
        ChooseLineColors(context_.table != nullptr ? *context_.table : empty, context_.randomPart);
    readColor_->SetColor(colors.read);
    writeColor_->SetColor(colors.write);
  }
  if (context_.firstStart) {
    pagesToSkip_ = 1;
    if (context_.dialUpTable != nullptr) connectWindowsTable_->LoadFrom(*context_.dialUpTable);
    if (context_.dialUpTimer != nullptr) {
      keppDialUp_->setChecked(context_.dialUpTimer->Enabled());
      dialUpTimeout_->setValue(context_.dialUpTimer->IntervalMs() / kMsPerSecond);
    }
    KeppDialUpClick();
    GoToPage(kWelcome);
  } else {
    pagesToSkip_ = 3;
    GoToPage(kResource);
  }
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - rect().center());
  }
  shown_ = true;
  connectWindowsTable_->SetShown(true);
}

void TEditResource::paintEvent(QPaintEvent* event) {
  painted_ = true;
  if (editing_) {
    // Once only: the row as it is when the window first appears.
    editing_ = false;
    LoadRow(context_.editRow);
  }
  TDialogBase::paintEvent(event);
}

void TEditResource::LoadRow(int row) {
  if (context_.table == nullptr || row >= context_.table->RowCount()) return;
  const WizardResult values = WizardFromRow(*context_.table, row, CheckedKind());
  path_->setText(QString::fromStdString(values.resource));
  setWindowTitle("Editing resource");
  CheckKind(values.kind);
  writeColor_->SetColor(values.writeColor);
  readColor_->SetColor(values.readColor);
  pingDelay_->SetValueText(QString::fromStdString(values.processDelay));
  defAuto_->setChecked(values.autoSize);
  DefAutoClick();
  sizeOfPacket_->SetValueText(QString::fromStdString(values.packetSize));
  timeOut_->SetValueText(QString::fromStdString(values.timeout));
  minSpeed_->setText(QString::fromStdString(values.minSpeed));
  maxSpeed_->setText(QString::fromStdString(values.maxSpeed));
  minEvent_ = values.minEvent;
  maxEvent_ = values.maxEvent;
  performMinSpeed_->setChecked(values.performMinSpeed);
  performMaxSpeed_->setChecked(values.performMaxSpeed);
}

WizardResult TEditResource::Result() const {
  WizardResult result;
  result.resource = path_->text().toStdString();
  result.kind = CheckedKind();
  result.writeColor = writeColor_->Color();
  result.readColor = readColor_->Color();
  result.processDelay = pingDelay_->text().toStdString();
  result.autoSize = defAuto_->isChecked();
  result.packetSize = sizeOfPacket_->text().toStdString();
  result.timeout = timeOut_->text().toStdString();
  result.minSpeed = minSpeed_->text().toStdString();
  result.maxSpeed = maxSpeed_->text().toStdString();
  result.performMinSpeed = performMinSpeed_->isChecked();
  result.performMaxSpeed = performMaxSpeed_->isChecked();
  result.minEvent = minEvent_;
  result.maxEvent = maxEvent_;
  return result;
}

ResourceKind TEditResource::CheckedKind() const {
  if (netwDrive_->isChecked()) return ResourceKind::Drive;
  if (cdrom_->isChecked()) return ResourceKind::File;
  if (webPage_->isChecked()) return ResourceKind::Web;
  return ResourceKind::Echo;
}

void TEditResource::CheckKind(ResourceKind kind) {
  QRadioButton* radio = kind == ResourceKind::Drive  ? netwDrive_
                        : kind == ResourceKind::File ? cdrom_
                        : kind == ResourceKind::Web  ? webPage_
                                                     : ip_;
  radio->setChecked(true);
  IPClick();
}

void TEditResource::GoToPage(int page) {
  if (page == notebook1_->currentIndex()) {
    Notebook1PageChanged(page);
  } else {
    notebook1_->setCurrentIndex(page);  // the page-change rule follows the signal
  }
}

void TEditResource::Notebook1PageChanged(int page) {
  const bool last = page == LastPage();
  closeBtn_->setText(last ? "&Finish" : "&Cancel");
  next_->setEnabled(!last);
  previos_->setEnabled(page != kWelcome);
  const ResourceKind kind = CheckedKind();
  switch (page) {
    case kWelcome:
      wwwAddress_->show();
      break;
    case kResource:
      // Without the echo facility a host cannot be measured; the user's home
      // folder is a resource every user can test.
      if (!context_.echoAvailable && ip_->isEnabled()) {
        netwDrive_->setChecked(true);
        ip_->setEnabled(false);
        path_->setText(QDir::homePath());
      }
      IPClick();
      break;
    case kColor:
      for (QWidget* control :
           {static_cast<QWidget*>(labelWriteColor_), static_cast<QWidget*>(writeColor_),
            static_cast<QWidget*>(setWriteColor_)})
        control->setVisible(kind == ResourceKind::Drive);
      labelReadColor_->setText(kind == ResourceKind::Echo ? "Ping Color :" : "Read Color :");
      break;
    case kFrequence:
      sizeofPacketPanel_->setVisible(kind != ResourceKind::File);
      timeoutPanel_->setVisible(kind == ResourceKind::Echo || kind == ResourceKind::Web);
      break;
    default:
      break;
  }
}

void TEditResource::IPClick() {
  // A download is measured over seconds and takes far more than an echo.
  const ResourceKind kind = CheckedKind();
  sizeOfPacket_->setMaximum(kind == ResourceKind::Web ? kWebMaxSize : kTransferBufferSize);
  switch (kind) {
    case ResourceKind::Drive:
      page2Topic_->setText("Select a file server directory for speed measurement.");
      browse_->setVisible(true);
      break;
    case ResourceKind::File:
      page2Topic_->setText(
          "If you have read only network permission you can determine read speed on a file server "
          "by this function.");
      browse_->setVisible(true);
      break;
    case ResourceKind::Web:
      // The whole address is the resource: the list's addresses are taken as they are.
      page2Topic_->setText(Describe(ResourceKind::Web).wizard.topic);
      UrlList()->BuildURLList();
      browse_->setVisible(UrlList()->RowCount() > 1);
      break;
    default:
      page2Topic_->setText(
          "Type address of an Internet host. It can be or IP address: 192.0.2.1 or an URL like: "
          "http://www.example.com/index.html");
      UrlList()->BuildURLList();
      browse_->setVisible(UrlList()->RowCount() > 1);
      break;
  }
}

void TEditResource::NextClick() {
  if (PageIndex() == kResource) {
    if (!ResourceNamed()) return;
    const ResourceKind kind = CheckedKind();
    if (kind == ResourceKind::Echo && path_->text().contains('/')) {
      ProposeHost();
      if (!ResourceNamed()) return;  // "Yes" to an empty proposal
    }
    const bool sizeKnown = context_.userKnownCDFileSize != nullptr && *context_.userKnownCDFileSize;
    if (kind == ResourceKind::File && !sizeKnown && !FileSizeAccepted()) return;
  }
  if (PageIndex() < LastPage()) GoToPage(PageIndex() + 1);
}

void TEditResource::PreviosClick() {
  if (PageIndex() > 0) GoToPage(PageIndex() - 1);
}

void TEditResource::CloseBtnClick() {
  done(PageIndex() == LastPage() ? kDialogOk : kDialogCancel);
}

void TEditResource::done(int result) {
  if (result == kDialogOk) {
    // A typed value counts in range before the dial-up settings take it.
    for (QAbstractSpinBox* spin : findChildren<QAbstractSpinBox*>()) spin->interpretText();
    if (!ResourceNamed()) return;
    ApplyDialUpSettings();
  }
  TDialogBase::done(result);
}

void TEditResource::ApplyDialUpSettings() {
  if (!context_.firstStart) return;
  if (context_.dialUpTable != nullptr) connectWindowsTable_->StoreInto(*context_.dialUpTable);
  if (context_.dialUpTimer != nullptr) {
    context_.dialUpTimer->SetEnabled(keppDialUp_->isChecked());
    context_.dialUpTimer->SetIntervalMs(dialUpTimeout_->value() * kMsPerSecond);
  }
}

void TEditResource::DefAutoClick() {
  sizeOfPacket_->setEnabled(!defAuto_->isChecked());
}

void TEditResource::KeppDialUpClick() {
  keepDialPanel_->setVisible(keppDialUp_->isChecked());
}

void TEditResource::HelpBtnClick() {
  THelp* help = context_.help != nullptr ? context_.help : THelp::Current();
  const int page = PageIndex();
  if (help != nullptr && page >= 0 && page < kPageCount) help->JumpToTopic(kPageTopics[page]);
}

}  // namespace tw
