#include "dialogs/Help.h"

#include <QApplication>
#include <QDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QScreen>
#include <QSplitter>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace tw {

namespace {

THelp* currentHelp = nullptr;
constexpr const char* kContextProperty = "tarnwickHelpContext";
constexpr int kPopupWidth = 320;  // pixels

QString EscapedPath(const QString& path) {
  return path.toHtmlEscaped();
}

}  // namespace

// A borderless note that stays until it is clicked, or a click lands
// anywhere else (a Qt pop-up closes on outside clicks by itself).
class THelpPopup final : public QFrame {
 public:
  explicit THelpPopup(const QString& html) : QFrame(nullptr, Qt::Popup) {
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName("HelpPopup");
    setFrameShape(QFrame::Box);
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, palette().color(QPalette::ToolTipBase));
    colours.setColor(QPalette::WindowText, palette().color(QPalette::ToolTipText));
    setPalette(colours);
    auto* text = new QLabel(html, this);
    text->setObjectName("HelpPopupText");
    text->setWordWrap(true);
    text->setTextFormat(Qt::RichText);
    text->setFixedWidth(kPopupWidth);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 6);
    layout->addWidget(text);
  }

 protected:
  void mousePressEvent(QMouseEvent*) override { close(); }
  void keyPressEvent(QKeyEvent*) override { close(); }
};

THelp::THelp(QObject* parent) : QObject(parent) {
  if (currentHelp == nullptr) currentHelp = this;
}

THelp::~THelp() {
  Quit();
  if (currentHelp == this) currentHelp = nullptr;
}

THelp* THelp::Current() {
  return currentHelp;
}

void THelp::SetHelpFile(const QString& path) {
  path_ = path;
  file_.reset();
  loadTried_ = false;
}

const HelpFile* THelp::File() {
  if (!loadTried_) {
    loadTried_ = true;
    if (!path_.isEmpty()) file_ = HelpFile::Load(path_.toStdString());
  }
  return file_ ? &*file_ : nullptr;
}

QFrame* THelp::Popup() const {
  return popup_;
}

void THelp::EnsureWindow() {
  if (window_ != nullptr) return;
  window_ = new QDialog(nullptr, Qt::Window);
  window_->setAttribute(Qt::WA_DeleteOnClose);
  window_->setObjectName("HelpWindow");
  window_->setWindowTitle("Tarnwick Help");
  contents_ = new QListWidget(window_);
  contents_->setObjectName("HelpContents");
  page_ = new QTextBrowser(window_);
  page_->setObjectName("HelpPage");
  page_->setOpenLinks(false);
  auto* splitter = new QSplitter(window_);
  splitter->addWidget(contents_);
  splitter->addWidget(page_);
  splitter->setSizes({240, 480});
  auto* layout = new QHBoxLayout(window_);
  layout->addWidget(splitter);
  window_->resize(720, 480);
  if (const HelpFile* file = File()) {
    for (const HelpTopic& topic : file->Topics()) {
      if (!topic.inContents) continue;
      auto* item = new QListWidgetItem(QString::fromStdString(topic.title), contents_);
      item->setData(Qt::UserRole, QString::fromStdString(topic.name));
    }
  }
  connect(contents_, &QListWidget::itemClicked, this,
          [this](QListWidgetItem* item) { JumpToTopic(item->data(Qt::UserRole).toString()); });
  connect(page_, &QTextBrowser::anchorClicked, this, &THelp::OpenLink);
}

void THelp::OpenLink(const QUrl& url) {
  if (url.scheme() == "topic") JumpToTopic(url.path());
}

void THelp::ShowTopic(const HelpTopic* topic, const QString& missing) {
  EnsureWindow();
  if (topic != nullptr) {
    currentTopic_ = QString::fromStdString(topic->name);
    page_->setHtml(QString::fromStdString(HelpTopicToHtml(*topic)));
    // Mark the topic in the contents when it is listed there.
    contents_->clearSelection();
    for (int row = 0; row < contents_->count(); ++row) {
      if (contents_->item(row)->data(Qt::UserRole).toString() == currentTopic_)
        contents_->setCurrentRow(row);
    }
  } else {
    currentTopic_.clear();
    page_->setHtml("<h2>Help</h2><p>" + missing.toHtmlEscaped() + "</p>");
  }
  KeepUsableBesideModal();
  window_->show();
  window_->raise();
  window_->activateWindow();
}

void THelp::KeepUsableBesideModal() {
  // An application-modal window (the message dialog waiting for an answer)
  // blocks every window that is not its own, and help opened from it would
  // take no clicks. Made the modal window's own, the help window works while
  // the dialog waits, and the dialog still answers its buttons.
  QWidget* modal = QApplication::activeModalWidget();
  if (modal == nullptr || modal == window_ || window_->parentWidget() == modal) return;
  const QRect geometry = window_->geometry();
  const bool wasVisible = window_->isVisible();
  window_->setParent(modal, window_->windowFlags());
  if (wasVisible) window_->setGeometry(geometry);
}

void THelp::ShowContents() {
  const HelpFile* file = File();
  ShowTopic(file != nullptr ? file->ContentsTopic() : nullptr,
            "The help file " + path_ + " cannot be read.");
}

bool THelp::JumpToTopic(const QString& name) {
  const HelpFile* file = File();
  const HelpTopic* topic = file != nullptr ? file->FindTopic(name.toStdString()) : nullptr;
  ShowTopic(topic, file == nullptr ? "The help file " + path_ + " cannot be read."
                                   : "The help topic \"" + name + "\" does not exist.");
  return topic != nullptr;
}

bool THelp::JumpToContext(int context) {
  const HelpFile* file = File();
  const HelpTopic* topic = file != nullptr ? file->FindContext(context) : nullptr;
  ShowTopic(topic, file == nullptr ? "The help file " + path_ + " cannot be read."
                                   : QString("There is no help for context %1.").arg(context));
  return topic != nullptr;
}

bool THelp::ShowContextPopup(int context, const QPoint& globalPos) {
  const HelpFile* file = File();
  const HelpTopic* topic = file != nullptr ? file->FindContext(context) : nullptr;
  QString html;
  if (topic != nullptr) {
    html = "<p><b>" + QString::fromStdString(topic->title).toHtmlEscaped() + "</b></p>" +
           QString::fromStdString(HelpTopicToHtml(*topic, false));
  } else if (file == nullptr) {
    html = "<p>The help file " + EscapedPath(path_) + " cannot be read.</p>";
  } else {
    html = QString("<p>There is no help for this item (%1).</p>").arg(context);
  }
  if (popup_ != nullptr) popup_->close();
  popup_ = new THelpPopup(html);
  popup_->adjustSize();
  // Near the mouse, kept on the screen.
  QPoint at = globalPos + QPoint(8, 8);
  if (const QScreen* screen = QGuiApplication::screenAt(globalPos)) {
    const QRect area = screen->availableGeometry();
    at.setX(std::min(at.x(), area.right() - popup_->width()));
    at.setY(std::min(at.y(), area.bottom() - popup_->height()));
    at.setX(std::max(at.x(), area.left()));
    at.setY(std::max(at.y(), area.top()));
  }
  popup_->move(at);
  popup_->show();
  return topic != nullptr;
}

void THelp::Quit() {
  if (popup_ != nullptr) popup_->close();
  if (window_ != nullptr) window_->close();
}

void SetHelpContext(QWidget* control, int context) {
  control->setProperty(kContextProperty, context);
}

int HelpContextOf(const QWidget* control) {
  return control->property(kContextProperty).toInt();
}

namespace {

class ContextHelpFilter final : public QObject {
 public:
  ContextHelpFilter(QWidget* window, int windowContext, std::function<void()> onF1,
                    bool popups = true)
      : QObject(window),
        window_(window),
        windowContext_(windowContext),
        onF1_(std::move(onF1)),
        popups_(popups) {
    Watch(window);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    switch (event->type()) {
      case QEvent::ChildAdded:
        if (auto* child = qobject_cast<QWidget*>(static_cast<QChildEvent*>(event)->child()))
          Watch(child);
        break;
      case QEvent::KeyPress:
        if (onF1_ && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1) {
          onF1_();
          return true;
        }
        break;
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonDblClick: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!popups_ || mouse->button() != Qt::RightButton || widget == nullptr) break;
        const QPoint at = mouse->globalPosition().toPoint();
        const int context = ContextFor(widget, at);
        if (context <= 0 || THelp::Current() == nullptr) break;
        THelp::Current()->ShowContextPopup(context, at);
        return true;
      }
      default:
        break;
    }
    return false;
  }

 private:
  void Watch(QWidget* widget) {
    widget->installEventFilter(this);
    for (QWidget* child : widget->findChildren<QWidget*>()) child->installEventFilter(this);
  }
  int ContextFor(const QWidget* widget, const QPoint& globalPos) const {
    for (const QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
      if (const auto* source = dynamic_cast<const HelpContextSource*>(w)) {
        const int context = source->HelpContextAt(w->mapFromGlobal(globalPos));
        if (context > 0) return context;
      }
      if (const int context = HelpContextOf(w); context > 0) return context;
      if (w == window_) break;
    }
    return windowContext_;
  }

  QWidget* window_;
  int windowContext_;
  std::function<void()> onF1_;
  bool popups_;
};

}  // namespace

void EnableContextHelp(QWidget* window, int windowContext, std::function<void()> onF1) {
  new ContextHelpFilter(window, windowContext, std::move(onF1));
}

void EnableF1(QWidget* window, std::function<void()> onF1) {
  new ContextHelpFilter(window, 0, std::move(onF1), false);
}

}  // namespace tw
