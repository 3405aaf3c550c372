#include "FakeConfig.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace fakeapp {
namespace {

constexpr char kExeSuffix[] = ".exe";
constexpr char kCfgSection[] = "fakeapp";
constexpr DWORD kProfileBuffer = 4096;
constexpr size_t kExeSuffixLength = sizeof kExeSuffix - 1;

// Its window identities, in the order in which its windows are made.
std::vector<const core::WindowIdentity*> identitiesOf(const core::Application& application) {
    return {&application.keyTarget, &application.adopt, &application.running,
            &application.main, &application.raise, &application.closeTest};
}

// Whether a window titled `title` answers the identity's title lookup: the
// whole title, or its beginning for a prefix.
bool answersTitle(const std::string& title, const core::WindowIdentity& identity) {
    if (identity.title == nullptr) return true;
    if (identity.lookup == core::Lookup::TitlePrefix)
        return title.compare(0, std::strlen(identity.title), identity.title) == 0;
    return title == identity.title;
}

// A title that every title lookup of the class finds: the first of their
// titles that every one finds; the application's name when none looks at the
// title.
std::string titleOfClass(const core::Application& application, const std::string& cls) {
    std::vector<const core::WindowIdentity*> ofClass;
    for (const core::WindowIdentity* identity : identitiesOf(application))
        if (identity->windowClass != nullptr && cls == identity->windowClass) ofClass.push_back(identity);
    for (const core::WindowIdentity* candidate : ofClass) {
        if (candidate->title == nullptr) continue;
        const std::string title = candidate->title;
        if (std::all_of(ofClass.begin(), ofClass.end(),
                        [&title](const core::WindowIdentity* identity) { return answersTitle(title, *identity); }))
            return title;
    }
    return application.name;
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
            config_.application = nullptr;
            for (const core::Application& application : core::Applications)
                if (value == application.shortName) config_.application = &application;
            if (config_.application == nullptr) error("unknown identity '" + value + "'");
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
        } else if (key == "lirc_port") {
            DWORD port = 0;
            if (number(key, value, port)) config_.lircPort = port;
        } else if (key == "ignore_close") {
            config_.ignoreClose = value != "0" && !value.empty();
        } else if (key == "edit") {
            config_.edit = value;
        } else if (key == "parent") {
            config_.parentClass = value;
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

const char* identityName(const core::Application* application) {
    return application != nullptr ? application->shortName : "none";
}

const core::Application* applicationFromExeName(const std::string& fileName) {
    for (const core::Application& application : core::Applications)
        if (lstrcmpiA(fileName.c_str(), application.executable) == 0) return &application;
    return nullptr;
}

std::vector<WindowSpec> defaultWindows(const core::Application& application) {
    std::vector<WindowSpec> windows;
    std::vector<std::string> classes;  // given a window so far
    std::vector<std::string> titles;   // named without a class, given a window so far
    for (const core::WindowIdentity* identity : identitiesOf(application)) {
        if (identity->windowClass != nullptr) {
            const std::string cls = identity->windowClass;
            if (std::find(classes.begin(), classes.end(), cls) != classes.end()) continue;
            classes.push_back(cls);
            windows.push_back({cls, titleOfClass(application, cls)});
        } else if (identity->title != nullptr) {
            const std::string title = identity->title;
            if (std::find(titles.begin(), titles.end(), title) != titles.end()) continue;
            titles.push_back(title);
            windows.push_back({std::string("FakeTvApp.") + application.shortName + "." +
                                   std::to_string(titles.size()),
                               title});
        }
    }
    return windows;
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
    config.application = applicationFromExeName(
        slash == std::string::npos ? exePath : exePath.substr(slash + 1));
    readCfg(config, exeStem(exePath) + ".cfg");
    readArgs(config, args);
    if (config.windows.empty() && config.application != nullptr)
        config.windows = defaultWindows(*config.application);
    if (config.logPath.empty()) config.logPath = exeStem(exePath) + ".log";
    if (config.closeWindowAfter && config.closeWindowAfter->index >= config.windows.size())
        config.errors.push_back("close_window_after: no window " +
                                std::to_string(config.closeWindowAfter->index));
    return config;
}

}  // namespace fakeapp
