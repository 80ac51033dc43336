// What the resource wizard's buttons open: the folder picker, the file-open
// dialog or the URL list for the resource, the colour dialog for a line
// colour, and the event setup dialog for a speed event.
#include <QCheckBox>
#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QRadioButton>

#include "dialogs/ColorSwatch.h"
#include "dialogs/EditRes.h"
#include "dialogs/UsetURL.h"
#include "dialogs/Usetdrv.h"

namespace tw {

namespace {

ColorValue FromQColor(const QColor& color) {
  return color.red() | (color.green() << 8) | (color.blue() << 16);
}

}  // namespace

void TEditResource::BrowseClick() {
  switch (CheckedKind()) {
    case ResourceKind::Drive: {
      TSetDrive picker(this, Preferences());
      if (QDir(path_->text()).exists() && !path_->text().isEmpty())
        picker.SelectFolder(path_->text());
      if (picker.exec() == kDialogOk) path_->setText(picker.FolderName());
      break;
    }
    case ResourceKind::File: {
      QFileDialog dialog(this, "Open");
      dialog.setObjectName("OpenDialog1");
      dialog.setFileMode(QFileDialog::ExistingFile);
      dialog.setOption(QFileDialog::DontUseNativeDialog);
      emit FileDialogOpened(&dialog);
      if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        path_->setText(dialog.selectedFiles().constFirst());
      break;
    }
    default:
      if (UrlList()->RowCount() > 1 && UrlList()->exec() == kDialogOk)
        path_->setText(UrlList()->SelectedAddress());
      break;
  }
}

void TEditResource::ChooseColor(TColorSwatch* swatch) {
  QColorDialog dialog(ToQColor(swatch->Color()), this);
  dialog.setObjectName("ColorDialog1");
  dialog.setOption(QColorDialog::DontUseNativeDialog);
  emit ColorDialogOpened(&dialog);
  if (dialog.exec() == QDialog::Accepted) swatch->SetColor(FromQColor(dialog.selectedColor()));
}

void TEditResource::SetReadColorClick() {
  ChooseColor(readColor_);
}

void TEditResource::SetWriteColorClick() {
  ChooseColor(writeColor_);
}

bool TEditResource::EditEvent(bool minimumEvent) {
  EventRecord& record = minimumEvent ? minEvent_ : maxEvent_;
  if (!EditEventRecord(record, minimumEvent, context_.eventServices, this, Preferences()))
    return false;
  QCheckBox* perform = minimumEvent ? performMinSpeed_ : performMaxSpeed_;
  perform->setChecked(HasActionTarget(record));
  return true;
}

void TEditResource::MinSpeedEventClick() {
  EditEvent(true);
}

void TEditResource::MaxSpeedEventClick() {
  EditEvent(false);
}

}  // namespace tw
