// The main window's side of the global preferences: the window is made once
// and shown again for every use; what its "OK" hands back is applied at once
// to the open windows and kept in the window-level settings, so that dialogs
// opened later take the fonts and the close saves everything.
#include "app/EventServices.h"
#include "app/PingObject.h"
#include "dialogs/Settings.h"

namespace tw {

TParameters& TPingObject::PreferencesDialog() {
  if (parametersDialog_ == nullptr) {
    parametersDialog_ = new TParameters(params_, EventServices().ConnectWindows(),
                                        EventServices().DialUpTimer(), this);
  }
  return *parametersDialog_;
}

void TPingObject::SetBtnClick() {
  ModalScope modal(*this);
  TParameters& dialog = PreferencesDialog();
  if (dialog.exec() != kDialogOk) return;
  ApplyPreferences(dialog.Chosen());
}

void TPingObject::ApplyPreferences(const GlobalPreferences& chosen) {
  params_.stringGridFont = chosen.stringGridFont;
  params_.editLineFont = chosen.editLineFont;
  params_.dialogFont = chosen.dialogFont;
  ApplyFonts();  // the window, the trend date panel and the status table
  EventServices().ConnectWindows() = chosen.connectWindows;
  TDialUpTimer& timer = EventServices().DialUpTimer();
  timer.SetIntervalMs(chosen.dialUpIntervalMs);
  timer.SetEnabled(chosen.keepDialUp);
  SetTrendEnabled(chosen.trendEnabled);
  params_.closeToTray = chosen.closeToTray;
}

}  // namespace tw
