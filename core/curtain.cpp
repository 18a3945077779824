#include "core/curtain.h"

namespace ruskel {

void RaiseCurtain(Mainmod& m) {
  if (!m.State.Options.curtain || m.State.CurtainShown) return;
  m.Os.dialogs.ShowCurtain(true);
  m.State.CurtainShown = true;
}

void LiftCurtain(Mainmod& m) {
  if (!m.State.CurtainShown) return;
  m.Os.dialogs.ShowCurtain(false);
  m.State.CurtainShown = false;
}

}  // namespace ruskel
