#include "FakeConfig.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace fakeapp {
namespace {

struct IdentityInfo {
    Identity identity;
    const char* name;
    const char* exeName;
    WindowSpec windows[2];
};

const IdentityInfo kIdentities[] = {
    {Identity::WinDvr, "windvr", "WinDVR.exe",
     {{"FakeWinDVRVideo", "InterVideo WinDVR 6"}, {"FakeWinDVRPanel", "WinDVR 6"}}},
    {Identity::BeyondTv, "beyondtv", "BTVD3DShell.exe",
     {{"SnapStream", "FormMainWindow"}, {"Streamzap.WM.D3D", "Beyond TV"}}},
    {Identity::Quillmarsh, "quillmarsh", "MainPanel.exe",
     {{"Quillmarsh", "FormMainWindow"}, {"VarnelMainPanel_Class", "Quillmarsh"}}},
};

constexpr char kExeSuffix[] = ".exe";
constexpr char kCfgSection[] = "fakeapp";
constexpr DWORD kProfileBuffer = 4096;
constexpr size_t kExeSuffixLength = sizeof kExeSuffix - 1;

const IdentityInfo* findIdentity(Identity identity) {
    for (const auto& info : kIdentities)
        if (info.identity == identity) return &info;
    return nullptr;
}

bool parseMs(const std::string& text, DWORD& out) {
    if (text.empty() || text[0] == '-') return false;
    char* end = nullptr;
    errno = 0;
    const unsigned long v = std::strtoul(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0') return false;
    out = static_cast<DWORD>(v);
    return true;
}

// Applies settings from one source (the .cfg file or the command line). The first
// "window" of a source replaces the windows collected so far.
class SourceReader {
public:
    SourceReader(Config& config, const char* sourceName) : config_(config), source_(sourceName) {}

    void apply(const std::string& key, const std::string& value) {
        if (key == "identity") {
            config_.identity = Identity::None;
            for (const auto& info : kIdentities)
                if (value == info.name) config_.identity = info.identity;
            if (config_.identity == Identity::None) error("unknown identity '" + value + "'");
        } else if (key == "window") {
            const size_t bar = value.find('|');
            if (bar == std::string::npos) return error("window needs CLASS|TITLE: '" + value + "'");
            if (!windowsSeen_) config_.windows.clear();
            windowsSeen_ = true;
            config_.windows.push_back({value.substr(0, bar), value.substr(bar + 1)});
        } else if (key == "delay") {
            number(key, value, config_.delayMs);
        } else if (key == "close_delay") {
            number(key, value, config_.closeDelayMs);
        } else if (key == "busy_start") {
            number(key, value, config_.busyStartMs);
        } else if (key == "exit_after") {
            DWORD ms = 0;
            if (number(key, value, ms)) config_.exitAfterMs = ms;
        } else if (key == "close_window_after") {
            const size_t colon = value.find(':');
            TimedClose close;
            DWORD index = 0;
            if (colon == std::string::npos || !parseMs(value.substr(0, colon), close.afterMs) ||
                !parseMs(value.substr(colon + 1), index))
                return error("close_window_after needs MS:INDEX: '" + value + "'");
            close.index = index;
            config_.closeWindowAfter = close;
        } else if (key == "log") {
            config_.logPath = value;
        } else if (key == "ignore_close") {
            config_.ignoreClose = value != "0" && !value.empty();
        } else {
            error("unknown setting '" + key + "'");
        }
    }

    void error(const std::string& message) { config_.errors.push_back(source_ + ": " + message); }

private:
    bool number(const std::string& key, const std::string& value, DWORD& out) {
        if (parseMs(value, out)) return true;
        error(key + " needs a number of milliseconds: '" + value + "'");
        return false;
    }

    Config& config_;
    std::string source_;
    bool windowsSeen_ = false;
};

// The [fakeapp] section of the .cfg file, read with the profile API: every key
// name (file order), then each one's value. A name that starts with "window"
// (window1, window2, ...) is one more window.
void readCfg(Config& config, const std::string& cfgPath) {
    SourceReader reader(config, "cfg");
    char names[kProfileBuffer] = {};
    GetPrivateProfileStringA(kCfgSection, nullptr, "", names, sizeof names, cfgPath.c_str());
    for (const char* name = names; *name; name += std::strlen(name) + 1) {
        char value[kProfileBuffer] = {};
        GetPrivateProfileStringA(kCfgSection, name, "", value, sizeof value, cfgPath.c_str());
        const std::string key = name;
        reader.apply(key.compare(0, 6, "window") == 0 ? "window" : key, value);
    }
}

void readArgs(Config& config, const std::vector<std::string>& args) {
    SourceReader reader(config, "command line");
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.compare(0, 2, "--") != 0) {
            reader.error("unexpected argument '" + arg + "'");
            continue;
        }
        const size_t eq = arg.find('=');
        if (eq != std::string::npos) {
            reader.apply(arg.substr(2, eq - 2), arg.substr(eq + 1));
        } else if (i + 1 < args.size()) {
            reader.apply(arg.substr(2), args[i + 1]);
            ++i;
        } else {
            reader.error("missing value for '" + arg + "'");
        }
    }
}

}  // namespace

const char* identityName(Identity identity) {
    const IdentityInfo* info = findIdentity(identity);
    return info ? info->name : "none";
}

Identity identityFromExeName(const std::string& fileName) {
    for (const auto& info : kIdentities)
        if (lstrcmpiA(fileName.c_str(), info.exeName) == 0) return info.identity;
    return Identity::None;
}

std::vector<WindowSpec> defaultWindows(Identity identity) {
    const IdentityInfo* info = findIdentity(identity);
    if (!info) return {};
    return {std::begin(info->windows), std::end(info->windows)};
}

std::string exeStem(const std::string& exePath) {
    if (exePath.size() >= kExeSuffixLength &&
        lstrcmpiA(exePath.c_str() + exePath.size() - kExeSuffixLength, kExeSuffix) == 0)
        return exePath.substr(0, exePath.size() - kExeSuffixLength);
    return exePath;
}

Config buildConfig(const std::string& exePath, const std::vector<std::string>& args) {
    Config config;
    const size_t slash = exePath.find_last_of("\\/");
    config.identity = identityFromExeName(
        slash == std::string::npos ? exePath : exePath.substr(slash + 1));
    readCfg(config, exeStem(exePath) + ".cfg");
    readArgs(config, args);
    if (config.windows.empty()) config.windows = defaultWindows(config.identity);
    if (config.logPath.empty()) config.logPath = exeStem(exePath) + ".log";
    if (config.closeWindowAfter && config.closeWindowAfter->index >= config.windows.size())
        config.errors.push_back("close_window_after: no window " +
                                std::to_string(config.closeWindowAfter->index));
    return config;
}

}  // namespace fakeapp
