#include "platform/fake/FakeClock.h"
#include "platform/fake/OffsetClock.h"
