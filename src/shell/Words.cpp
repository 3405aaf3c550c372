#include "shell/Words.h"

#include <algorithm>
#include <iterator>

#include "res/resource.h"
#include "win32/StringTable.h"

namespace {

// The key display's text is cut to this many bytes.
constexpr size_t KeyDoneTextLength = 95;

struct PointerWords {
    core::PointerAction action;
    UINT id;
};
constexpr PointerWords PointerTexts[] = {
    {core::PointerAction::LeftClick, IDS_POINTER_LEFT_CLICK},
    {core::PointerAction::RightClick, IDS_POINTER_RIGHT_CLICK},
    {core::PointerAction::Button, IDS_POINTER_BUTTON},
    {core::PointerAction::Up, IDS_POINTER_UP},
    {core::PointerAction::Down, IDS_POINTER_DOWN},
    {core::PointerAction::Left, IDS_POINTER_LEFT},
    {core::PointerAction::Right, IDS_POINTER_RIGHT},
    {core::PointerAction::UpLeft, IDS_POINTER_UP_LEFT},
    {core::PointerAction::UpRight, IDS_POINTER_UP_RIGHT},
    {core::PointerAction::DownLeft, IDS_POINTER_DOWN_LEFT},
    {core::PointerAction::DownRight, IDS_POINTER_DOWN_RIGHT},
};

}  // namespace

UINT NoticeTextId(core::Notice notice) {
    return notice == core::Notice::LaunchFailed ? IDS_LAUNCH_FAILED : IDS_REINITIALIZE;
}

UINT PointerActionTextId(core::PointerAction action) {
    const auto words = std::find_if(std::begin(PointerTexts), std::end(PointerTexts),
                                    [action](const PointerWords& entry) { return entry.action == action; });
    return words != std::end(PointerTexts) ? words->id : 0;
}

std::string KeyDoneText(const core::KeyDone& done) {
    const std::string who = done.who == core::KeyDoer::Named   ? std::string(done.name)
                            : done.who == core::KeyDoer::Media ? LoadText(IDS_DOER_MEDIA)
                                                               : LoadText(IDS_DOER_POINTER);
    const std::string what =
        done.label != nullptr ? std::string(done.label) : LoadText(PointerActionTextId(done.pointer));
    // A profile's name is at most a line of profiles.ini: it fits wsprintf's buffer.
    std::string text = FormatText(IDS_KEY_DONE, who.c_str(), what.c_str());
    if (text.size() > KeyDoneTextLength) text.resize(KeyDoneTextLength);
    return text;
}

std::string ProfileStatusText(const std::optional<core::ProfileFileSummary>& summary) {
    if (!summary) return LoadText(IDS_PROFILES_UNREADABLE);
    if (summary->skipped == 1) return FormatText(IDS_SKIPPED_ONE, summary->firstSkippedLine);
    if (summary->skipped > 1)
        return FormatText(IDS_SKIPPED_MANY, static_cast<UINT>(summary->skipped), summary->firstSkippedLine);
    if (summary->profiles == 0) return LoadText(IDS_PROFILES_NONE);
    if (summary->profiles == 1) return LoadText(IDS_PROFILES_ONE);
    return FormatText(IDS_PROFILES_MANY, static_cast<UINT>(summary->profiles));
}

std::string ServerStatusText(bool listening, size_t connected) {
    if (!listening) return LoadText(IDS_SERVER_OFF);
    if (connected == 0) return LoadText(IDS_SERVER_NONE);
    if (connected == 1) return LoadText(IDS_SERVER_ONE);
    return FormatText(IDS_SERVER_MANY, static_cast<UINT>(connected));
}
