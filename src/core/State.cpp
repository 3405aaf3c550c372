#include "core/State.h"

namespace core {

void SettingsRead(State& state, const Settings& settings) { state.settings = settings; }

}  // namespace core
