// TURL: a label whose caption is a web address; a click opens it in the
// desktop's web browser. Without a registered browser the label keeps the
// normal cursor and a click does nothing.
#pragma once

#include <QLabel>
#include <QStringList>

namespace tw {

class TURL final : public QLabel {
  Q_OBJECT

 public:
  // Asks the desktop for its browser command now, once.
  explicit TURL(QWidget* parent = nullptr);
  TURL(const QString& address, QWidget* parent);

  // The browser's command line found at creation; empty when none.
  const QString& BrowserCommand() const { return browserCommand_; }
  // The program and arguments a click starts for `address`: the browser
  // command with the address put in for its placeholder (%u, %U, %s, %1) or
  // appended as the last argument. Empty without a browser command.
  QStringList CommandFor(const QString& address) const;

 signals:
  // The browser was started (true) or could not be started (false).
  void browserStarted(bool started);

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void Open();

  QString browserCommand_;
};

}  // namespace tw
