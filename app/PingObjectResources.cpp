// The commands that change the resource list: add, edit and delete. Each
// keeps every row's measurement thread in step with its row.
#include "app/EventServices.h"
#include "app/PingObject.h"
#include "app/PingObjectCharts.h"
#include "charts/qt/DisplayResourceTable.h"
#include "dialogs/EditRes.h"
#include "dialogs/Help.h"
#include "dialogs/Msgdlg.h"
#include "monitor/ResourceWizard.h"

namespace tw {

int TPingObject::NewResourceRow() {
  const int row = table_.RowCount();
  table_.SetRowCount(row + 1);
  table_.SetNewRowDefaults(row);
  return row;
}

void TPingObject::StartRowThread(int row) {
  auto* thread = new TPingThread(row, *services_);
  table_.AttachThread(row, thread);
  LoadRowSettings(*thread, table_);
  SyncStatusTableRows();
  UpdateResourceButtons();
  if (SamplingRuns()) thread->Resume();
}

int TPingObject::AddResourceRow(const std::string& address, ResourceKind kind) {
  const int row = NewResourceRow();
  table_.SetCell(Col::Resource, row, address);
  table_.SetCell(Col::Kind, row, KindText(kind));
  StartRowThread(row);
  return row;
}

int TPingObject::AddResourceRow(const WizardResult& result) {
  const int row = NewResourceRow();
  FillRowFromWizard(table_, row, result);
  StartRowThread(row);
  return row;
}

void TPingObject::UpdateResourceButtons() {
  const bool any = table_.ResourceCount() > 0;
  editCurResource_->setEnabled(any);
  deleteBtn_->setEnabled(any && !SamplingRuns());
}

bool TPingObject::RunWizard(int editRow, WizardResult& result) {
  ModalScope modal(*this);
  WizardContext context;
  context.table = &table_;
  context.editRow = editRow;
  context.firstStart = parametersMissing_;
  context.echoAvailable = services_->echoAvailable;
  context.userKnownCDFileSize = &params_.userKnownCDFileSize;
  context.dialUpTable = &EventServices().ConnectWindows();
  context.dialUpTimer = &EventServices().DialUpTimer();
  context.preferences = &params_;
  context.help = &Help();
  context.msgDialog = &MsgDialog();
  context.eventServices = DesktopEventServices(
      [this]() -> TPlayer& { return EventServices().Player(); }, &EventServices().Windows());
  TEditResource wizard(context, this);
  if (wizard.exec() != kDialogOk) return false;
  result = wizard.Result();
  return true;
}

void TPingObject::AddResourceClick() {
  WizardResult result;
  if (RunWizard(0, result)) {
    AddResourceRow(result);
    DisplayResourceTable()->update();
  }
  TrendRedraw();
}

void TPingObject::EditCurResourceClick() {
  const int row = SelectedRow();
  if (row < 1 || row >= table_.RowCount()) return;
  WizardResult result;
  if (RunWizard(row, result)) {
    FillRowFromWizard(table_, row, result);
    if (TPingThread* thread = table_.Thread(row)) {
      LoadRowSettings(*thread, table_);
      if (SamplingRuns()) thread->Resume();
    }
    SyncStatusTableRows();
    DisplayResourceTable()->update();
  }
  TrendRedraw();
}

// Delete needs sampling stopped, so every other thread is suspended already;
// suspension is a state, not a count, so the next Start resumes them all
// however many rows were deleted before it.
void TPingObject::DelResourceClick() {
  const int deleted = SelectedRow();
  if (table_.ResourceCount() < 1 || deleted < 1 || deleted >= table_.RowCount()) {
    TrendRedraw();
    return;
  }
  if (TPingThread* thread = table_.Thread(deleted)) {
    table_.DetachThread(deleted);
    // Ends the thread and frees it once it has stopped; one stuck in a
    // system call frees itself when the call returns.
    TPingThread::Destroy(thread);
  }
  MoveRowsUpFrom(deleted);
  table_.SetRowCount(table_.RowCount() - 1);
  SyncStatusTableRows();
  UpdateResourceButtons();
  if (SamplingRuns()) {
    for (int row = 1; row < table_.RowCount(); ++row) {
      if (TPingThread* thread = table_.Thread(row)) thread->Resume();
    }
  }
  RedrawAfterRowChange();
}

void TPingObject::MoveRowsUpFrom(int deleted) {
  for (int row = deleted + 1; row < table_.RowCount(); ++row) {
    table_.CopyRow(row, row - 1);
    TPingThread* thread = table_.Thread(row);
    table_.DetachThread(row);
    table_.AttachThread(row - 1, thread);
    if (thread == nullptr) continue;
    thread->SetRow(row - 1);
    LoadRowSettings(*thread, table_);
  }
}

void TPingObject::RedrawAfterRowChange() {
  DisplayResourceTable()->update();
  SamplingTick(TickMode::Redraw);
  TrendRedraw();
}

}  // namespace tw
