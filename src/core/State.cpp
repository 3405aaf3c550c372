#include "core/State.h"

#include <algorithm>
#include <iterator>

namespace core {

bool State::AnyActive() const {
    return std::any_of(std::begin(applications), std::end(applications),
                       [](const ApplicationState& application) { return application.active; });
}

void SettingsRead(State& state, const Settings& settings) { state.settings = settings; }

void InstallLocationFound(State& state, AppId id, const char* path) {
    ApplicationState& own = state.Of(id);
    size_t length = 0;
    for (; length < sizeof own.installPath - 1 && path[length] != '\0'; ++length)
        own.installPath[length] = path[length];
    own.installPath[length] = '\0';
    own.installed = true;
    own.active = false;
}

void InstallLocationMissing(State& state, AppId id) {
    ApplicationState& own = state.Of(id);
    own.installPath[0] = '\0';
    own.installed = false;
}

}  // namespace core
