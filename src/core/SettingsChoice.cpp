#include "core/SettingsChoice.h"

#include <cstring>

namespace core {

ApplicationList ListForSettings(State& state) {
    ApplicationList list;
    bool matched = false;
    for (const Application& application : Applications) {
        if (!state.Of(application.id).installed) continue;
        if (application.selector == state.settings.defaultSelector) {
            state.settings.listIndex = static_cast<int>(list.count);
            matched = true;
        }
        list.texts[list.count++] = application.menuText;
    }
    if (!matched && state.settings.listIndex == -1) state.settings.listIndex = 0;
    list.selected = state.settings.listIndex;
    return list;
}

bool ChooseDefault(State& state, int position, const char* text) {
    state.settings.listIndex = position;
    if (position < 0) return false;
    for (const Application& application : Applications) {
        if (std::strcmp(text, application.menuText) != 0) continue;
        if (application.selector == state.settings.defaultSelector) return false;
        state.settings.defaultSelector = application.selector;
        return true;
    }
    return false;
}

void ChooseUnreadableEntry(State& state, int position) { state.settings.listIndex = position; }

namespace {

bool Choose(bool& setting, bool on) {
    if (on == setting) return false;
    setting = on;
    return true;
}

}  // namespace

bool ChooseMediaKeys(State& state, bool on) { return Choose(state.settings.mediaKeys, on); }
bool ChooseProfiles(State& state, bool on) { return Choose(state.settings.profiles, on); }
bool ChooseShowKeys(State& state, bool on) { return Choose(state.settings.showKeys, on); }
bool ChooseServer(State& state, bool on) { return Choose(state.settings.server, on); }

}  // namespace core
