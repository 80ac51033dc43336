// The resource wizard's checks of the typed resource: that there is one, the
// host proposed for an address with slashes, and the size of a read-only
// file (a small file would be read from the system's cache, not the network).
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QStackedWidget>

#include "dialogs/EditRes.h"
#include "dialogs/Msgdlg.h"

namespace tw {

namespace {

constexpr int kMessageLength = 255;    // the message dialog shows at most this
constexpr int kShownTextLength = 96;   // a typed text quoted in a message
constexpr int kHostTextLength = 255;   // what the host proposal looks at
constexpr qint64 kLeastFileKb = 3000;  // smaller files are read from the cache
constexpr qint64 kBytesPerKb = 1024;

// A text quoted in a message, shortened so that the whole message fits.
QString Quoted(const QString& text) {
  return text.size() <= kShownTextLength ? text : text.left(kShownTextLength - 3) + "...";
}

QString Message(const QStringList& lines) {
  return lines.join('\r').left(kMessageLength);
}

}  // namespace

bool TEditResource::ResourceNamed() {
  if (!path_->text().trimmed().isEmpty()) return true;
  // An empty resource can never be measured: the user is told and taken to
  // the page where it is typed.
  MessageDialog()->ShowMessage("Warning",
                               Message({"", "No resource is given.",
                                        "Please type a folder, a file or an Internet address."}));
  if (PageIndex() != kResource) GoToPage(kResource);
  path_->setFocus();
  return false;
}

void TEditResource::ProposeHost() {
  const QString typed = path_->text();
  const QString proposal =
      QString::fromStdString(ProposedHost(typed.left(kHostTextLength).toStdString()));
  TMsgDialog* messages = MessageDialog();
  messages->SetButtons(mbYes, mbNo, mbHelp);
  const int answer = messages->ShowMessage(
      "Warning", Message({"Address:", Quoted(typed), "", "can be:", Quoted(proposal), "",
                          "Do you want to replace it?"}));
  if (answer == kMsgResultOk) path_->setText(proposal);
}

bool TEditResource::FileSizeAccepted() {
  const QString name = path_->text();
  const QFileInfo info(name);
  QString problem;
  qint64 sizeKb = 0;
  // Only a regular file is opened: a device or pipe could block the window.
  if (!info.exists()) {
    problem = "The file does not exist.";
  } else if (!info.isFile()) {
    problem = "This is not a file.";
  } else {
    QFile file(name);
    if (file.open(QIODevice::ReadOnly)) {
      sizeKb = file.size() / kBytesPerKb;
    } else {
      problem = file.errorString();
    }
  }
  TMsgDialog* messages = MessageDialog();
  if (!problem.isEmpty()) {
    messages->ShowMessage("Warning", Message({"", "File access error!", problem}));
    return true;
  }
  if (sizeKb >= kLeastFileKb) return true;
  messages->SetButtons(mbYes, mbNo, mbHelp);
  messages->OfferNeverShow();
  const int answer = messages->ShowMessage(
      "Warning", Message({"The file has size " + QString::number(sizeKb) + " KB.", "",
                          "For prevent reading the file from the Windows Cache, you need a choice "
                          "of a file with the size at least 3000 KB.",
                          "", "Do you want to proceed?"}));
  if (context_.userKnownCDFileSize != nullptr)
    *context_.userKnownCDFileSize = messages->NeverAskChecked();
  return answer == kMsgResultOk;
}

}  // namespace tw
