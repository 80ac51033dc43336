// The main window's speed events, actions and dial-up keeper.
#include "app/EventServices.h"
#include "app/PingObject.h"

namespace tw {

TEventServices::TEventServices(ResourceTable& table, Clock& clock, QObject* parent)
    : QObject(parent),
      windows_(OpenTopWindows()),
      buttons_(OpenAccessibleButtons()),
      actions_([this]() -> TPlayer& { return Player(); }, *windows_),
      events_(table, clock, actions_),
      keeper_(*windows_, *buttons_) {
  setObjectName("EventServices");
  dialUpTimer_ = new TDialUpTimer(keeper_, this);
}

TEventServices::~TEventServices() {
  // The timer goes first: it runs the keeper, which is a member.
  delete dialUpTimer_;
}

TPlayer& TEventServices::Player() {
  if (!player_) player_ = std::make_unique<TPlayer>();
  return *player_;
}

TEventServices& TPingObject::EventServices() {
  if (eventServices_ == nullptr) eventServices_ = new TEventServices(table_, clock_, this);
  return *eventServices_;
}

void TPingObject::CheckEvents(int row, double currentSpeed) {
  EventServices().Events().Check(row, currentSpeed);
}

}  // namespace tw
