#include "dialogs/Msgdlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStyle>

#include "controls/MyCntrl.h"
#include "dialogs/Help.h"
#include "util/HelpIds.h"

namespace tw {

namespace {

// Fixed layout of the dialog, pixels.
constexpr int kWidth = 384;
constexpr int kHeight = 184;
constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 26;
constexpr int kButtonTop = 146;
constexpr int kHelpLeft = 292;
constexpr int kCancelLeft = 208;
constexpr int kOkGap = 2;

struct KindLook {
  const char* caption;
  ColorValue light;
};

KindLook LookOf(int kind) {
  switch (kind) {
    case mbOk:
      return {"Ok", clLime};
    case mbCancel:
      return {"Cancel", clRed};
    case mbHelp:
      return {"Help", clNavy};
    case mbYes:
      return {"Yes", clLime};
    case mbNo:
      return {"No", clRed};
    default:
      return {"", clNone};
  }
}

}  // namespace

TMsgDialog::TMsgDialog(QWidget* mainWindow) : QDialog(mainWindow), mainWindow_(mainWindow) {
  setObjectName("MsgDialog");
  setWindowTitle("Error");
  setModal(true);
  setFixedSize(kWidth, kHeight);
  BuildControls();
  RestoreStandingLook();
  // The window sees Enter, Esc and F1 before any of its controls.
  installEventFilter(this);
  for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(this);
  EnableContextHelp(this, HelpContext::MessageDialog);
}

void TMsgDialog::BuildControls() {
  image1_ = new QLabel(this);
  image1_->setObjectName("Image1");
  image1_->setGeometry(12, 12, 32, 32);
  image1_->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));

  messageTxt_ = new QPlainTextEdit(this);
  messageTxt_->setObjectName("MessageTxt");
  messageTxt_->setGeometry(56, 12, kWidth - 56 - 12, 92);
  messageTxt_->setReadOnly(true);
  messageTxt_->setFrameShape(QFrame::NoFrame);
  messageTxt_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  messageTxt_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  messageTxt_->setFocusPolicy(Qt::NoFocus);
  QPalette colours = messageTxt_->palette();
  colours.setColor(QPalette::Base, palette().color(QPalette::Window));
  messageTxt_->setPalette(colours);

  askBevel_ = new QFrame(this);
  askBevel_->setObjectName("AskBevel");
  askBevel_->setFrameShape(QFrame::HLine);
  askBevel_->setFrameShadow(QFrame::Sunken);
  askBevel_->setGeometry(12, 110, kWidth - 24, 2);
  neverAsk_ = new QCheckBox("&Never show this note", this);
  neverAsk_->setObjectName("NeverAsk");
  neverAsk_->setGeometry(12, 116, kWidth - 24, 22);

  okBtn_ = new TBlackBitButton(this);
  okBtn_->setObjectName("OkBtn");
  cancelBtn_ = new TBlackBitButton(this);
  cancelBtn_->setObjectName("CancelBtn");
  helpBtn_ = new TBlackBitButton(this);
  helpBtn_->setObjectName("HelpBtn");
  cancelBtn_->setGeometry(kCancelLeft, kButtonTop, kButtonWidth, kButtonHeight);
  helpBtn_->setGeometry(kHelpLeft, kButtonTop, kButtonWidth, kButtonHeight);
  connect(okBtn_, &QAbstractButton::clicked, this, [this] { done(kMsgResultOk); });
  connect(cancelBtn_, &QAbstractButton::clicked, this, [this] { done(kMsgResultCancel); });
  connect(helpBtn_, &QAbstractButton::clicked, this, &TMsgDialog::HelpBtnClick);
}

void TMsgDialog::SetKind(TBlackBitButton* button, int kind) {
  const KindLook look = LookOf(kind);
  button->setVisible(kind != mbHidden && look.caption[0] != '\0');
  button->setText(look.caption);
  // The light shows the button's role, pressed or not.
  button->SetOffColor(look.light);
  button->SetOnColor(look.light);
}

void TMsgDialog::SetButtons(int okKind, int cancelKind, int helpKind) {
  SetKind(okBtn_, okKind);
  SetKind(cancelBtn_, cancelKind);
  SetKind(helpBtn_, helpKind);
  const int okLeft =
      cancelBtn_->isVisibleTo(this) ? cancelBtn_->x() - okBtn_->width() - kOkGap : cancelBtn_->x();
  okBtn_->setGeometry(okLeft, kButtonTop, kButtonWidth, kButtonHeight);
}

void TMsgDialog::OfferNeverShow() {
  neverAsk_->setVisible(true);
  askBevel_->setVisible(true);
}

bool TMsgDialog::NeverAskChecked() const {
  return neverAsk_->isChecked();
}

void TMsgDialog::RestoreStandingLook() {
  SetButtons(mbOk, mbHidden, mbHelp);
  neverAsk_->setVisible(false);
  askBevel_->setVisible(false);
}

QStringList TMsgDialog::MessageLines(const QString& text) {
  QStringList lines{QString()};
  for (int i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      lines.append(QString());
    } else {
      lines.last().append(c);
    }
  }
  return lines;
}

int TMsgDialog::ShowMessage(const QString& title, const QString& text) {
  setWindowTitle(title);
  messageTxt_->setPlainText(MessageLines(text).join('\n'));
  return exec();
}

void TMsgDialog::showEvent(QShowEvent* event) {
  if (mainWindow_ != nullptr) setFont(mainWindow_->font());
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - rect().center());
  }
  UpdateScrollBar();
  QDialog::showEvent(event);
}

void TMsgDialog::UpdateScrollBar() {
  // The scroll bar appears only when the wrapped lines do not fit.
  const QFontMetrics metrics(messageTxt_->font());
  const int width = std::max(1, messageTxt_->width());
  int displayLines = 0;
  for (const QString& line : messageTxt_->toPlainText().split('\n')) {
    displayLines += metrics.horizontalAdvance(line) / width + 1;
  }
  const bool needed = messageTxt_->height() < displayLines * metrics.lineSpacing();
  messageTxt_->setVerticalScrollBarPolicy(needed ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
}

bool TMsgDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    switch (static_cast<QKeyEvent*>(event)->key()) {
      case Qt::Key_Return:
      case Qt::Key_Enter:
        done(kMsgResultOk);
        return true;
      case Qt::Key_Escape:
        done(kMsgResultCancel);
        return true;
      case Qt::Key_F1:
        if (THelp::Current() != nullptr)
          THelp::Current()->JumpToContext(HelpContext::MessageDialog);
        return true;
      default:
        break;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TMsgDialog::HelpBtnClick() {
  if (THelp::Current() != nullptr) THelp::Current()->JumpToTopic(HelpTopicName::MessageDialog);
}

void TMsgDialog::reject() {
  done(kMsgResultCancel);
}

void TMsgDialog::done(int result) {
  QDialog::done(result);
  RestoreStandingLook();
}

}  // namespace tw
