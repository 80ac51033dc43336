// Placeholder of the resource wizard until it is built; opens nothing.
#pragma once

#include <functional>

#include "dialogs/DialogBase.h"
#include "dialogs/SetEvnt.h"
#include "monitor/DialUpKeeper.h"
#include "monitor/ResourceWizard.h"

namespace tw {

class TDialUpTimer;
class THelp;
class TMsgDialog;

struct WizardContext {
  const ResourceTable* table = nullptr;
  int editRow = 0;
  bool firstStart = false;
  bool echoAvailable = true;
  bool* userKnownCDFileSize = nullptr;
  ConnectWindowsTable* dialUpTable = nullptr;
  TDialUpTimer* dialUpTimer = nullptr;
  const WindowParameters* preferences = nullptr;
  THelp* help = nullptr;
  TMsgDialog* msgDialog = nullptr;
  EventDialogServices eventServices;
  std::function<int()> randomPart;
};

class TEditResource final : public TDialogBase {
  Q_OBJECT

 public:
  explicit TEditResource(WizardContext context, QWidget* parent = nullptr)
      : TDialogBase(parent, context.preferences) {}
  WizardResult Result() const { return {}; }
};

}  // namespace tw
