// surface: prints, as JSON, what the program shows of itself to the desktop
// and to the tests, made from its own tables: the remote's keys by label and
// code, each TV application's record (selector, menu entry, install location,
// windows by purpose, command message), the built-in profiles of other
// players, the tray menu's commands, the tray's numbers and the settings.
// Built natively with the core; the test bench reads its output instead of
// keeping copies of these numbers.
#include <cstdio>
#include <string>

#include "core/Applications.h"
#include "core/Profiles.h"
#include "core/ReceiverLink.h"
#include "core/RepeatRule.h"
#include "core/ServerClient.h"
#include "core/SettingsChoice.h"
#include "res/resource.h"

namespace {

std::string Quoted(const char* text) {
    if (text == nullptr) return "null";
    std::string out = "\"";
    for (const char* c = text; *c != '\0'; ++c) {
        if (*c == '"' || *c == '\\') out += '\\';
        out += *c;
    }
    return out + "\"";
}

const char* LookupName(core::Lookup lookup) {
    switch (lookup) {
        case core::Lookup::FindWindow: return "FindWindow";
        case core::Lookup::DesktopChild: return "DesktopChild";
        case core::Lookup::ExactTitle: return "ExactTitle";
        case core::Lookup::TitlePrefix: return "TitlePrefix";
    }
    return "";
}

const char* WithoutTargetName(core::WithoutTarget action) {
    switch (action) {
        case core::WithoutTarget::Standby: return "standby";
        case core::WithoutTarget::ShutdownDialog: return "shutdown_dialog";
        case core::WithoutTarget::MediaKey: return "media_key";
    }
    return "";
}

const char* CloseKindName(core::CloseKind kind) {
    switch (kind) {
        case core::CloseKind::RaiseThenChord: return "raise_then_chord";
        case core::CloseKind::Chord: return "chord";
        case core::CloseKind::Command: return "command";
    }
    return "";
}

std::string Names(core::List<core::AppId> ids) {
    std::string out = "[";
    for (const core::AppId id : ids)
        out += (out.size() > 1 ? ", " : "") + Quoted(core::ApplicationOf(id).shortName);
    return out + "]";
}

std::string Close(const core::CloseMethod& close) {
    std::string keys = "[";
    for (size_t i = 0; i < core::ChordLength(close.keys); ++i)
        keys += (i ? ", " : "") + std::to_string(close.keys[i]);
    return std::string("{\"kind\": \"") + CloseKindName(close.kind) + "\", \"keys\": " + keys +
           "], \"command\": " + std::to_string(close.command) + "}";
}

std::string Strings(core::List<const char* const> texts) {
    std::string out = "[";
    for (const char* text : texts) out += (out.size() > 1 ? ", " : "") + Quoted(text);
    return out + "]";
}

// A profile's row: the key, how it acts, the keys typed (pressed in order,
// released in reverse), the app command and whether it repeats while held.
std::string ProfileRow(const core::KeyAction& row) {
    std::string keys = "[";
    for (size_t i = 0; i < core::ChordLength(row); ++i)
        keys += (i ? ", " : "") + std::to_string(row.keys[i]);
    const char* kind = row.kind == core::KeyActionKind::Chord        ? "chord"
                       : row.kind == core::KeyActionKind::AppCommand ? "app_command"
                       : row.kind == core::KeyActionKind::Nothing    ? "nothing"
                                                                     : "pointer";
    return std::string("{\"key\": ") + Quoted(KeyLabel(Code(row.key))) + ", \"kind\": \"" + kind +
           "\", \"keys\": " + keys + "], \"command\": " +
           std::to_string(row.kind == core::KeyActionKind::AppCommand ? row.value : 0) +
           ", \"repeats\": " + (core::RepeatsWhileHeld(row) ? "true" : "false") + "}";
}

// The rows of a profile's key presses (hold false) or of its long presses.
std::string ProfileRows(const core::KeyMap& keys, bool hold) {
    std::string out;
    for (size_t i = 0; i < keys.count; ++i)
        if (core::IsHoldRow(keys.rows[i]) == hold)
            out += (out.empty() ? "\n      " : ",\n      ") + ProfileRow(keys.rows[i]);
    return "[" + out + "]";
}

void PrintProfiles() {
    std::printf("  \"profiles\": [");
    for (const core::Profile& profile : core::BuiltInProfiles) {
        std::printf("%s\n    {\"name\": %s, \"programs\": %s, \"classes\": %s, \"titles\": %s,"
                    " \"keys\": %s, \"hold\": %s}",
                    &profile == core::BuiltInProfiles.begin() ? "" : ",", Quoted(profile.name).c_str(),
                    Strings(profile.programs).c_str(), Strings(profile.windowClasses).c_str(),
                    Strings(profile.titles).c_str(), ProfileRows(profile.keys, false).c_str(),
                    ProfileRows(profile.keys, true).c_str());
    }
    std::printf("\n  ],\n");
}

std::string Identity(const core::WindowIdentity& identity) {
    return std::string("{\"class\": ") + Quoted(identity.windowClass) +
           ", \"title\": " + Quoted(identity.title) + ", \"lookup\": \"" +
           LookupName(identity.lookup) + "\"}";
}

}  // namespace

int main() {
    std::printf("{\n  \"keys\": {");
    for (const core::RemoteKeyRow& key : core::RemoteKeys)
        std::printf("%s\n    %s: %d", &key == core::RemoteKeys ? "" : ",", Quoted(key.label).c_str(),
                    Code(key.key));
    std::printf("\n  },\n  \"applications\": {");
    for (const core::Application& a : core::Applications) {
        std::printf("%s\n    %s: {\"name\": %s, \"selector\": %d, \"menu\": %s, \"command\": %u,",
                    &a == core::Applications ? "" : ",", Quoted(a.shortName).c_str(),
                    Quoted(a.name).c_str(), a.selector, Quoted(a.menuText).c_str(), a.menuCommand);
        std::printf("\n      \"install\": {\"key\": %s, \"value\": %s, \"executable\": %s},",
                    Quoted(a.installKey).c_str(), Quoted(a.installValue).c_str(),
                    Quoted(a.executable).c_str());
        std::printf("\n      \"close\": %s, \"power_closes\": %s, \"switch_closes\": %s,",
                    Close(a.close).c_str(), Names(a.powerCloses).c_str(), Names(a.switchCloses).c_str());
        std::printf("\n      \"off\": \"%s\", \"volume_down\": \"%s\",", WithoutTargetName(a.off),
                    WithoutTargetName(a.volumeDown));
        std::printf("\n      \"command_message\": %u, \"windows\": {", a.commandMessage);
        const std::pair<const char*, const core::WindowIdentity*> windows[] = {
            {"key_target", &a.keyTarget}, {"adopt", &a.adopt}, {"running", &a.running},
            {"main", &a.main}, {"raise", &a.raise}, {"close_test", &a.closeTest}};
        for (size_t i = 0; i < sizeof windows / sizeof windows[0]; ++i)
            std::printf("%s\n        \"%s\": %s", i ? "," : "", windows[i].first,
                        Identity(*windows[i].second).c_str());
        std::printf("\n      }}");
    }
    std::printf("\n  },\n  \"exit_watch_order\": %s,\n  \"initial_default_selector\": %d,\n",
                Names(core::ListOf(core::ExitWatchOrder)).c_str(), core::InitialDefaultSelector);
    std::printf("  \"without_default\": {\"off\": \"%s\", \"volume_down\": \"%s\"},\n",
                WithoutTargetName(core::OffWithoutDefault), WithoutTargetName(core::VolumeDownWithoutDefault));
    PrintProfiles();
    std::printf("  \"commands\": {\"about\": %d, \"quit_from_outside\": %d, "
                "\"settings\": %d, \"exit\": %d},\n",
                IDM_ABOUT, IDM_QUIT_FROM_OUTSIDE, IDM_SETTINGS, IDM_EXIT);
    std::printf("  \"tray\": {\"icon_id\": %d, \"callback_message\": %d},\n", TRAY_ICON_ID,
                TRAY_CALLBACK_MESSAGE);
    std::printf("  \"repeat\": {\"window_ms\": %u, \"per_delivery\": %d},\n", core::RepeatWindowMs,
                core::RepeatsPerDelivery);
    std::printf("  \"link\": {\"poll_ms\": %u, \"failing_for_ms\": %u, \"first_retry_ms\": %u, "
                "\"longest_retry_ms\": %u, \"late_card_retry_ms\": %u, \"late_card_quick_for_ms\": %u, "
                "\"late_card_slow_retry_ms\": %u, \"resume_settle_ms\": %u, \"resume_quiet_ms\": %u},\n",
                core::PollIntervalMs, core::FailingForMs, core::FirstRetryMs, core::LongestRetryMs,
                core::LateCardRetryMs, core::LateCardQuickForMs, core::LateCardSlowRetryMs,
                core::ResumeSettleMs, core::ResumeQuietMs);
    std::printf("  \"server\": {\"lirc_port\": %u, \"irss_port\": %u, \"client_limit\": %u},\n",
                core::LircPort, core::IrssPort, static_cast<unsigned>(core::ServerClientLimit));
    std::printf("  \"settings\": {\"key\": %s, \"values\": [%s, %s, %s, %s, %s, %s]}\n}\n",
                Quoted(core::SettingsKeyPath).c_str(), Quoted(core::DefaultAppValue).c_str(),
                Quoted(core::AlwaysRemoteOffValue).c_str(), Quoted(core::MediaKeysValue).c_str(),
                Quoted(core::ProfilesValue).c_str(), Quoted(core::ShowKeysValue).c_str(),
                Quoted(core::ServerValue).c_str());
    return 0;
}
