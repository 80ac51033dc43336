// The first pages of the resource wizard (Welcome, Resource, Color,
// Frequence) and the button row under them.
#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "controls/Glyphs.h"
#include "controls/MyCntrl.h"
#include "controls/SystemColors.h"
#include "controls/URL.h"
#include "dialogs/ColorSwatch.h"
#include "dialogs/EditRes.h"
#include "dialogs/SpinEdit.h"
#include "dialogs/WizardLabels.h"
#include "engine/ResourceKinds.h"

namespace tw {

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
  webPage_ = new QRadioButton(Describe(ResourceKind::Web).wizard.choice, content);
  webPage_->setObjectName("WebPage");
  auto* kinds = new QButtonGroup(content);
  for (QRadioButton* radio : {netwDrive_, cdrom_, ip_, webPage_}) {
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

}  // namespace tw
