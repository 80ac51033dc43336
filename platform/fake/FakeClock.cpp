#include "platform/fake/FakeClock.h"
