// The pages of the resource wizard and the button row under them.
#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "controls/Glyphs.h"
#include "controls/MyCntrl.h"
#include "controls/SystemColors.h"
#include "controls/URL.h"
#include "dialogs/ColorSwatch.h"
#include "dialogs/ConnectWindowsGrid.h"
#include "dialogs/EditRes.h"
#include "dialogs/SpinEdit.h"
#include "util/Numbers.h"

namespace tw {

namespace {

constexpr int kMaxSpeedStep = 10000;  // Kbps, the up-down controls' upper end

QLabel* NewLabel(const QString& caption, QWidget* parent, bool wrap = true) {
  auto* label = new QLabel(caption, parent);
  label->setWordWrap(wrap);
  return label;
}

QLabel* NewHeading(const QString& caption, QWidget* parent) {
  QLabel* label = NewLabel(caption, parent);
  QFont font = label->font();
  font.setBold(true);
  label->setFont(font);
  return label;
}

// An up-down pair beside a free-text edit: it steps the edit's leading whole
// number within 0..10000 and leaves any other typing alone.
QWidget* WithUpDown(QLineEdit* edit, QWidget* parent) {
  auto* box = new QWidget(parent);
  auto* row = new QHBoxLayout(box);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(0);
  row->addWidget(edit);
  auto* arrows = new QVBoxLayout;
  arrows->setSpacing(0);
  for (const int step : {1, -1}) {
    auto* arrow = new QToolButton(box);
    arrow->setObjectName(edit->objectName() + (step > 0 ? "Up" : "Down"));
    arrow->setArrowType(step > 0 ? Qt::UpArrow : Qt::DownArrow);
    arrow->setFixedSize(16, 11);
    arrow->setAutoRepeat(true);
    QObject::connect(arrow, &QToolButton::clicked, edit, [edit, step] {
      const int value = ParseWholeNumber(edit->text().toStdString()) + step;
      edit->setText(QString::number(std::clamp(value, 0, kMaxSpeedStep)));
    });
    arrows->addWidget(arrow);
  }
  row->addLayout(arrows);
  return box;
}

}  // namespace

QPushButton* TEditResource::NewButton(const QString& caption, const char* name) {
  auto* button = new QPushButton(caption, this);
  button->setObjectName(name);
  button->setAutoDefault(false);
  return button;
}

TSpinEdit* TEditResource::NewSpinEdit(const char* name, int minimum, int maximum, int step,
                                      int value) {
  auto* spin = new TSpinEdit(this);
  spin->setObjectName(name);
  spin->setRange(minimum, maximum);
  spin->setSingleStep(step);
  spin->setValue(value);
  spin->setMinimumWidth(90);
  MarkEditLine(spin);
  return spin;
}

void TEditResource::BuildControls() {
  notebook1_ = new QStackedWidget(this);
  notebook1_->setObjectName("Notebook1");
  const QList<QWidget*> pages{BuildWelcomePage(),   BuildResourcePage(), BuildColorPage(),
                              BuildFrequencePage(), BuildEventsPage(),   BuildDialUpPage(),
                              BuildFinishPage()};
  for (QWidget* page : pages) notebook1_->addWidget(page);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(notebook1_);
  layout->addWidget(BuildButtonBar());
  setFixedSize(560, 380);
}

QWidget* TEditResource::BuildButtonBar() {
  auto* bar = new QWidget(this);
  previos_ = NewButton("&Previous", "Previos");
  next_ = NewButton("&Next", "Next");
  closeBtn_ = NewButton("&Cancel", "CloseBtn");
  helpBtn_ = NewButton("&Help", "HelpBtn");
  auto* row = new QHBoxLayout(bar);
  row->setContentsMargins(0, 0, 0, 0);
  row->addStretch();
  for (QPushButton* button : {previos_, next_, closeBtn_, helpBtn_}) row->addWidget(button);
  return bar;
}

QWidget* TEditResource::WithPicture(QWidget* content) {
  auto* page = new QWidget(this);
  auto* picture = new QLabel(page);
  picture->setPixmap(WizardPicture());
  picture->setAlignment(Qt::AlignTop);
  auto* row = new QHBoxLayout(page);
  row->addWidget(picture);
  row->addWidget(content, 1);
  return page;
}

QWidget* TEditResource::BuildWelcomePage() {
  auto* page = new QWidget(this);
  auto* column = new QVBoxLayout(page);
  auto* films = new QHBoxLayout;
  for (int i = 0; i < 2; ++i) {
    auto* movie = new TMovie(page);
    movie->SetPicture(PleaseWaitFilm());
    movie->SetNumFrames(kPleaseWaitFrames);
    movie->SetFramesPerSecond(4);
    movie->SetTransparent(true);
    movie->setFixedSize(movie->sizeHint());
    movie->SetMovieEnabled(true);
    films->addWidget(movie);
    if (i == 0) films->addStretch();
  }
  column->addLayout(films);
  for (const char* text :
       {"Welcome to Tarnwick.",
        "The program helps you to define the data transfer speed in a network.",
        "With this program you can measure the real transfer speed between internet provider and "
        "your computer and define day or night time when internet speed is highest.",
        "If your Dial-Up network is broken-down frequently, Tarnwick can help you to redial a "
        "connection.",
        "With Tarnwick you can run a programs when network speed has some value.  For instance it "
        "allows you to run Microsoft Exchange when network connection is established."}) {
    column->addWidget(NewLabel(text, page));
  }
  auto* visit = new QHBoxLayout;
  visit->addWidget(NewLabel("Please visit our web site at", page, false));
  wwwAddress_ = new TURL("https://www.example.com/tarnwick", page);
  wwwAddress_->setObjectName("WWWAddress");
  QFont underlined = wwwAddress_->font();
  underlined.setUnderline(true);
  wwwAddress_->setFont(underlined);
  QPalette colours = wwwAddress_->palette();
  colours.setColor(QPalette::WindowText,
                   ToQColor(kSystemColorBase + static_cast<int>(SystemColor::ActiveCaption)));
  wwwAddress_->setPalette(colours);
  visit->addWidget(wwwAddress_);
  visit->addStretch();
  column->addLayout(visit);
  column->addStretch();
  return page;
}

QWidget* TEditResource::BuildResourcePage() {
  auto* content = new QWidget(this);
  auto* column = new QVBoxLayout(content);
  column->addWidget(NewHeading("You need to specify resource which will be tested.", content));
  netwDrive_ = new QRadioButton("Network drive", content);
  netwDrive_->setObjectName("NetwDrive");
  cdrom_ = new QRadioButton("Read only file (e.g. a CD ROM file)", content);
  cdrom_->setObjectName("CDROM");
  ip_ = new QRadioButton("IP address (Web or FTP server)", content);
  ip_->setObjectName("IP");
  auto* kinds = new QButtonGroup(content);
  for (QRadioButton* radio : {netwDrive_, cdrom_, ip_}) {
    kinds->addButton(radio);
    column->addWidget(radio);
  }
  ip_->setChecked(true);
  column->addWidget(NewLabel("Resource Name:", content));
  path_ = new QLineEdit("www.example.com", content);
  path_->setObjectName("Path");
  MarkEditLine(path_);
  browse_ = NewButton("&Browse...", "Browse");
  browse_->setToolTip("List of available resources");
  auto* pathRow = new QHBoxLayout;
  pathRow->addWidget(path_, 1);
  pathRow->addWidget(browse_);
  column->addLayout(pathRow);
  page2Topic_ = NewLabel(QString(), content);
  page2Topic_->setObjectName("Page2_Topic");
  column->addWidget(page2Topic_);
  column->addStretch();
  return WithPicture(content);
}

QWidget* TEditResource::BuildColorPage() {
  auto* content = new QWidget(this);
  auto* column = new QVBoxLayout(content);
  column->addWidget(NewHeading("You need to specify desired color.", content));
  column->addWidget(NewLabel("This color will be used for chart drawing.", content));
  labelReadColor_ = NewLabel("Read Color :", content, false);
  labelReadColor_->setObjectName("LabelReadColor");
  labelWriteColor_ = NewLabel("Write Color :", content, false);
  labelWriteColor_->setObjectName("LabelWriteColor");
  readColor_ = new TColorSwatch(content);
  readColor_->setObjectName("ReadColor");
  writeColor_ = new TColorSwatch(content);
  writeColor_->setObjectName("WriteColor");
  writeColor_->SetColor(clYellow);
  setReadColor_ = NewButton("&Set Color ...", "SetReadColor");
  setWriteColor_ = NewButton("&Set Color ...", "SetWriteColor");
  auto* grid = new QGridLayout;
  grid->addWidget(labelReadColor_, 0, 0);
  grid->addWidget(readColor_, 0, 1);
  grid->addWidget(setReadColor_, 0, 2);
  grid->addWidget(labelWriteColor_, 1, 0);
  grid->addWidget(writeColor_, 1, 1);
  grid->addWidget(setWriteColor_, 1, 2);
  grid->setColumnStretch(3, 1);
  column->addLayout(grid);
  column->addStretch();
  return WithPicture(content);
}

QWidget* TEditResource::BuildFrequencePage() {
  auto* content = new QWidget(this);
  auto* column = new QVBoxLayout(content);
  column->addWidget(
      NewHeading("You need to specify ping frequency and size of packet or test file.", content));
  pingDelay_ = NewSpinEdit("PingDelay", 10, 10000, 100, 1000);
  auto* delay = new QHBoxLayout;
  delay->addWidget(NewLabel("Process delay:", content, false));
  delay->addWidget(pingDelay_);
  delay->addWidget(NewLabel("MSec", content, false));
  delay->addStretch();
  column->addLayout(delay);
  column->addWidget(NewLabel("Delay between each ping performing.", content));

  timeoutPanel_ = new QWidget(content);
  timeoutPanel_->setObjectName("TimeoutPanel");
  timeOut_ = NewSpinEdit("TimeOut", 100, 240000, 100, 30000);
  auto* timeout = new QGridLayout(timeoutPanel_);
  timeout->setContentsMargins(0, 0, 0, 0);
  timeout->addWidget(NewLabel("Timeout:", timeoutPanel_, false), 0, 0);
  timeout->addWidget(timeOut_, 0, 1);
  timeout->addWidget(NewLabel("MSec", timeoutPanel_, false), 0, 2);
  timeout->setColumnStretch(3, 1);
  timeout->addWidget(
      NewLabel("The program will wait answer from the object during this period.", timeoutPanel_),
      1, 0, 1, 4);
  column->addWidget(timeoutPanel_);

  sizeofPacketPanel_ = new QWidget(content);
  sizeofPacketPanel_->setObjectName("SizeofPacketPanel");
  sizeOfPacket_ = NewSpinEdit("SizeOfPacket", 1024, 64512, 1024, 1024);
  sizeOfPacket_->setEnabled(false);
  defAuto_ = new QCheckBox("Defines automatically", sizeofPacketPanel_);
  defAuto_->setObjectName("DefAuto");
  defAuto_->setChecked(true);
  auto* size = new QGridLayout(sizeofPacketPanel_);
  size->setContentsMargins(0, 0, 0, 0);
  size->addWidget(NewLabel("Size of packet (test file):", sizeofPacketPanel_, false), 0, 0);
  size->addWidget(sizeOfPacket_, 0, 1);
  size->addWidget(NewLabel("bytes", sizeofPacketPanel_, false), 0, 2);
  size->setColumnStretch(3, 1);
  size->addWidget(defAuto_, 1, 0, 1, 4);
  column->addWidget(sizeofPacketPanel_);
  column->addStretch();
  return WithPicture(content);
}

QWidget* TEditResource::BuildEventsPage() {
  auto* content = new QWidget(this);
  auto* column = new QVBoxLayout(content);
  column->addWidget(NewHeading("You can specify reactions for some events.", content));
  struct Side {
    QCheckBox*& perform;
    QLineEdit*& speed;
    QPushButton*& action;
    const char *performName, *speedName, *actionName, *line1, *line2, *caption, *hint, *value;
  };
  const Side sides[] = {
      {performMinSpeed_, minSpeed_, minSpeedEvent_, "PerformMinSpeed", "MinSpeed", "MinSpeedEvent",
       "Perform action if speed value ", "will be less or equal:", "M&in speed action...",
       "Setup action on Min speed", "0"},
      {performMaxSpeed_, maxSpeed_, maxSpeedEvent_, "PerformMaxSpeed", "MaxSpeed", "MaxSpeedEvent",
       "Perform action if speed value", "will be more or equal:", "M&ax speed action...",
       "Setup action on Max speed", "2"}};
  auto* grid = new QGridLayout;
  int gridRow = 0;
  for (const Side& side : sides) {
    side.perform = new QCheckBox(side.line1, content);
    side.perform->setObjectName(side.performName);
    side.speed = new QLineEdit(side.value, content);
    side.speed->setObjectName(side.speedName);
    side.speed->setMaximumWidth(80);
    MarkEditLine(side.speed);
    side.action = NewButton(side.caption, side.actionName);
    side.action->setToolTip(side.hint);
    grid->addWidget(side.perform, gridRow, 0, 1, 4);
    grid->addWidget(NewLabel(side.line2, content, false), gridRow + 1, 0);
    grid->addWidget(WithUpDown(side.speed, content), gridRow + 1, 1);
    grid->addWidget(NewLabel("Kbps", content, false), gridRow + 1, 2);
    grid->addWidget(side.action, gridRow + 1, 3);
    gridRow += 2;
  }
  column->addLayout(grid);
  column->addWidget(
      NewLabel("You can play on this action notification message or run a program.", content));
  column->addWidget(
      NewLabel("It can be used for run a communication program, e.g. Netscape.", content));
  column->addStretch();
  return WithPicture(content);
}

QWidget* TEditResource::BuildDialUpPage() {
  auto* content = new QWidget(this);
  auto* column = new QVBoxLayout(content);
  column->addWidget(
      NewLabel("If you don't like to press button OK when line is busy or connection "
               "lost, Tarnwick can do it for you.",
               content));
  keppDialUp_ = new QCheckBox("Keep Dial-Up connection", content);
  keppDialUp_->setObjectName("KeppDialUp");
  column->addWidget(keppDialUp_);

  keepDialPanel_ = new QWidget(content);
  keepDialPanel_->setObjectName("KeepDialPanel");
  keepDialPanel_->setVisible(false);
  dialUpTimeout_ = NewSpinEdit("DialUpTimeout", 0, 100000, 1, 10);
  connectWindowsTable_ = new TConnectWindowsGrid(keepDialPanel_);
  connectWindowsTable_->setObjectName("ConnectWindowsTable");
  MarkGrid(connectWindowsTable_);
  auto* every = new QHBoxLayout;
  every->addWidget(
      NewLabel("The program will search following dialog boxes every:", keepDialPanel_, false));
  every->addWidget(dialUpTimeout_);
  every->addWidget(NewLabel("sec.", keepDialPanel_, false));
  every->addStretch();
  auto* panel = new QVBoxLayout(keepDialPanel_);
  panel->setContentsMargins(0, 0, 0, 0);
  panel->addLayout(every);
  panel->addWidget(connectWindowsTable_, 1);
  panel->addWidget(
      NewLabel("If you have dialog boxes with another titles you should put it in "
               "the table. Also you can add dialog box titles from another program.",
               keepDialPanel_));
  column->addWidget(keepDialPanel_, 1);
  return WithPicture(content);
}

QWidget* TEditResource::BuildFinishPage() {
  auto* content = new QWidget(this);
  auto* column = new QVBoxLayout(content);
  for (const char* text :
       {"Now Tarnwick is ready to work.",
        "You can change the additional parameters by pressing button \"Settings\" in the main "
        "screen.",
        "If you want to know more about Tarnwick - please click \"Help\" button.",
        "To start work with program - please click \"Finish\" button."}) {
    column->addWidget(NewLabel(text, content));
  }
  column->addStretch();
  return WithPicture(content);
}

}  // namespace tw
