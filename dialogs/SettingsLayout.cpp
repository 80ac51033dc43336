// The controls of the global preferences and their places.
#include <QCheckBox>
#include <QFontDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "dialogs/ConnectWindowsGrid.h"
#include "dialogs/Settings.h"
#include "dialogs/SpinEdit.h"

namespace tw {

namespace {

constexpr int kMaxDialUpSeconds = 100000;
constexpr const char* kFontSample = "ABCabc ÀÁÂàáâ";

QLabel* WrappedText(const char* text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setWordWrap(true);
  return label;
}

}  // namespace

QWidget* TParameters::BuildDialUpPage() {
  auto* page = new QWidget(tabs_);
  keppDialUp_ = new QCheckBox("Keep Dial-Up connection", page);
  keppDialUp_->setObjectName("KeppDialUp");
  keepDialPanel_ = new QWidget(page);
  keepDialPanel_->setObjectName("KeepDialPanel");
  dialUpTimeout_ = new TSpinEdit(keepDialPanel_);
  dialUpTimeout_->setObjectName("DialUpTimeout");
  dialUpTimeout_->setRange(0, kMaxDialUpSeconds);
  MarkEditLine(dialUpTimeout_);
  connectWindowsTable_ = new TConnectWindowsGrid(keepDialPanel_);
  MarkGrid(connectWindowsTable_);

  auto* every = new QHBoxLayout;
  every->addWidget(
      new QLabel("The program will search following dialog boxes every:", keepDialPanel_));
  every->addWidget(dialUpTimeout_);
  every->addWidget(new QLabel("sec.", keepDialPanel_));
  every->addStretch();
  auto* panel = new QVBoxLayout(keepDialPanel_);
  panel->setContentsMargins(0, 0, 0, 0);
  panel->addLayout(every);
  panel->addWidget(connectWindowsTable_);
  panel->addWidget(
      WrappedText("If you have dialog boxes with another titles you should put it in "
                  "the table. Also you can add dialog box titles from another program.",
                  keepDialPanel_));
  auto* column = new QVBoxLayout(page);
  column->addWidget(keppDialUp_);
  column->addWidget(keepDialPanel_, 1);
  column->addStretch();
  return page;
}

QLabel* TParameters::NewPreview(const char* name) {
  auto* preview = new QLabel(kFontSample, this);
  preview->setObjectName(name);
  preview->setFrameShape(QFrame::Panel);
  preview->setFrameShadow(QFrame::Sunken);
  preview->setAlignment(Qt::AlignCenter);
  preview->setMinimumSize(180, 40);
  return preview;
}

QPushButton* TParameters::NewFontButton(const char* name) {
  auto* button = new QPushButton("Change ...", this);
  button->setObjectName(name);
  button->setAutoDefault(false);
  return button;
}

QWidget* TParameters::BuildFontsPage() {
  auto* page = new QWidget(tabs_);
  dialogsText_ = NewPreview("DialogsText");
  tableFont_ = NewPreview("TableFont");
  editLine_ = NewPreview("EditLine");
  choiseDlgFnt_ = NewFontButton("ChoiseDlgFnt");
  choiseTblFnt_ = NewFontButton("ChoiseTblFnt");
  choiseEdLnFnt_ = NewFontButton("ChoiseEdLnFnt");
  const struct {
    const char* caption;
    QLabel* preview;
    QPushButton* button;
  } rows[] = {{"Dialogs text:", dialogsText_, choiseDlgFnt_},
              {"String grid:", tableFont_, choiseTblFnt_},
              {"Edit Line:", editLine_, choiseEdLnFnt_}};
  auto* grid = new QGridLayout(page);
  int line = 0;
  for (const auto& row : rows) {
    grid->addWidget(new QLabel(row.caption, page), line, 0);
    grid->addWidget(row.preview, line, 1);
    grid->addWidget(row.button, line, 2);
    ++line;
  }
  grid->setRowStretch(line, 1);
  fontDialog1_ = new QFontDialog(this);
  fontDialog1_->setObjectName("FontDialog1");
  // Qt's own dialog: the same on every desktop, and reachable by the tests.
  fontDialog1_->setOption(QFontDialog::DontUseNativeDialog);
  return page;
}

QWidget* TParameters::BuildMiscPage() {
  auto* page = new QWidget(tabs_);
  trendEnabledBtn_ = new QCheckBox("Enable writing results to the trend file.", page);
  trendEnabledBtn_->setObjectName("TrendEnabledBtn");
  auto* column = new QVBoxLayout(page);
  column->addWidget(
      WrappedText("Trend file keeps results which were done in another time and "
                  "another days. It can take a lot of disk space.",
                  page));
  column->addWidget(trendEnabledBtn_);
  closeToTrayBtn_ =
      new QCheckBox("Keep running in the system tray when the window is closed.", page);
  closeToTrayBtn_->setObjectName("CloseToTrayBtn");
  column->addWidget(closeToTrayBtn_);
  column->addStretch();
  return page;
}

QLayout* TParameters::BuildButtons() {
  auto make = [this](const char* caption, const char* name) {
    auto* button = new QPushButton(caption, this);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
  };
  btnOk_ = make("&Ok", "BtnOk");
  cancelBtn_ = make("&Cancel", "CancelBtn");
  btnHelp_ = make("&Help", "BtnHelp");
  auto* row = new QHBoxLayout;
  row->addStretch();
  for (QPushButton* button : {btnOk_, cancelBtn_, btnHelp_}) row->addWidget(button);
  return row;
}

}  // namespace tw
