// The program's help: the help file "TARNWICK.HLP" shown in a help window
// (contents, named topics) and as small pop-ups for a control's context
// number, opened by Help buttons, F1 and the right mouse button.
#pragma once

#include <QDialog>
#include <QFrame>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <optional>

#include "util/HelpFile.h"

class QLabel;
class QListWidget;
class QTextBrowser;

namespace tw {

class THelpPopup;

class THelp final : public QObject {
  Q_OBJECT

 public:
  // The first help object made becomes the one every window uses.
  explicit THelp(QObject* parent = nullptr);
  ~THelp() override;
  // The help every window uses; nullptr before the main window made one.
  static THelp* Current();

  // Sets the help file; it is read when help is first asked for.
  void SetHelpFile(const QString& path);
  QString HelpFilePath() const { return path_; }

  // Opens the help window on the contents topic.
  void ShowContents();
  // Opens the help window on a named topic (letter case ignored). A missing
  // topic or file shows a page that says so; returns false then.
  bool JumpToTopic(const QString& name);
  // Opens the help window on the topic of a context number.
  bool JumpToContext(int context);
  // Shows the topic of a context number as a pop-up near `globalPos`.
  bool ShowContextPopup(int context, const QPoint& globalPos);
  // Closes the help window and any pop-up (the help system quits).
  void Quit();

  // The help window and pop-up while shown (for tests); nullptr otherwise.
  QDialog* Window() const { return window_; }
  QFrame* Popup() const;
  // The name of the topic the help window shows.
  QString CurrentTopic() const { return currentTopic_; }

 private:
  const HelpFile* File();
  void EnsureWindow();
  void ShowTopic(const HelpTopic* topic, const QString& missing);
  // Lets the help window take clicks while a modal dialog waits.
  void KeepUsableBesideModal();
  void OpenLink(const QUrl& url);

  QString path_;
  std::optional<HelpFile> file_;
  bool loadTried_ = false;
  QPointer<QDialog> window_;
  QListWidget* contents_ = nullptr;
  QTextBrowser* page_ = nullptr;
  QPointer<THelpPopup> popup_;
  QString currentTopic_;
};

// The help context number of a control (0 when it has none).
void SetHelpContext(QWidget* control, int context);
int HelpContextOf(const QWidget* control);

// A control whose help context depends on where it is pressed (a table's
// header row and data rows have topics of their own).
class HelpContextSource {
 public:
  // The context at `local` (the control's coordinates); 0: the control's own.
  virtual int HelpContextAt(const QPoint& local) const = 0;

 protected:
  ~HelpContextSource() = default;
};

// Lets `window` show the context pop-up of a control on a right mouse button
// press (the control never sees that press): the number a HelpContextSource
// gives for the point, else the control's own number, else the nearest
// parent's, else `windowContext`. Also routes F1 to `onF1` (when given), before the
// controls see the key.
void EnableContextHelp(QWidget* window, int windowContext = 0, std::function<void()> onF1 = {});

// Routes F1 anywhere in `window` to `onF1`, before the controls see the key
// (for windows whose right mouse button has a handling of its own).
void EnableF1(QWidget* window, std::function<void()> onF1);

}  // namespace tw
