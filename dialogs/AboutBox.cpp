#include "dialogs/AboutBox.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "controls/Glyphs.h"

namespace tw {

QString ProgramVersion() {
  return QStringLiteral(TARNWICK_VERSION);
}

TAboutBox::TAboutBox(QWidget* parent, const WindowParameters* preferences)
    : TDialogBase(parent, preferences) {
  setObjectName("AboutBox");
  setWindowTitle("About");
  auto* icon = new QLabel(this);
  icon->setPixmap(QPixmap::fromImage(MakeGlyph(GlyphId::Trend)).scaled(32, 32));
  productName_ = new QLabel("Tarnwick", this);
  productName_->setObjectName("ProductName");
  QFont big = productName_->font();
  big.setBold(true);
  big.setPointSize(big.pointSize() + 4);
  productName_->setFont(big);
  version_ = new QLabel("Version " + ProgramVersion(), this);
  version_->setObjectName("Version");
  auto* comments = new QLabel(
      "Measures the data transfer speed of network drives, files and "
      "Internet hosts.",
      this);
  comments->setWordWrap(true);
  okButton_ = new QPushButton("OK", this);
  okButton_->setObjectName("OKButton");
  okButton_->setDefault(true);
  connect(okButton_, &QPushButton::clicked, this, &TAboutBox::accept);

  auto* heading = new QHBoxLayout;
  heading->addWidget(icon);
  heading->addWidget(productName_, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(heading);
  layout->addWidget(version_);
  layout->addWidget(comments);
  layout->addWidget(okButton_, 0, Qt::AlignHCenter);
  setFixedWidth(300);
}

}  // namespace tw
