#include "FakeConfig.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sstream>

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
constexpr size_t kExeSuffixLength = sizeof kExeSuffix - 1;

const IdentityInfo* findIdentity(Identity identity) {
    for (const auto& info : kIdentities)
        if (info.identity == identity) return &info;
    return nullptr;
}

std::string trim(const std::string& s) {
    const char* blanks = " \t\r\n";
    const size_t first = s.find_first_not_of(blanks);
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(blanks) - first + 1);
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

void readCfg(Config& config, const std::string& text) {
    SourceReader reader(config, "cfg");
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        line = trim(line);
        if (line.empty() || line[0] == '#' || line[0] == ';') continue;
        const size_t eq = line.find('=');
        if (eq == std::string::npos) {
            reader.error("line without '=': '" + line + "'");
            continue;
        }
        reader.apply(trim(line.substr(0, eq)), trim(line.substr(eq + 1)));
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

Config buildConfig(const std::string& exePath, const std::string& cfgText,
                   const std::vector<std::string>& args) {
    Config config;
    const size_t slash = exePath.find_last_of("\\/");
    config.identity = identityFromExeName(
        slash == std::string::npos ? exePath : exePath.substr(slash + 1));
    readCfg(config, cfgText);
    readArgs(config, args);
    if (config.windows.empty()) config.windows = defaultWindows(config.identity);
    if (config.logPath.empty()) config.logPath = exeStem(exePath) + ".log";
    if (config.closeWindowAfter && config.closeWindowAfter->index >= config.windows.size())
        config.errors.push_back("close_window_after: no window " +
                                std::to_string(config.closeWindowAfter->index));
    return config;
}

}  // namespace fakeapp
