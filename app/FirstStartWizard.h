// Whether a start without a parameters file opens the first-start wizard (on
// by default). Test programs that start many windows without a parameters
// file turn it off; the tests of the first start turn it on again.
#pragma once

namespace tw {

void SetFirstStartWizardEnabled(bool enabled);
bool FirstStartWizardEnabled();

}  // namespace tw
