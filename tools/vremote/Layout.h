// Where the virtual remote's parts go in its window's client area, in pixels:
// the remote's body with its grid of buttons on the left, the panel that
// explains keys and shows the status on the right.
#pragma once

#include "KeyDocs.h"

#include <cstddef>
#include <vector>

namespace vremote {

struct Box {
    int left;
    int top;
    int width;
    int height;
    int right() const { return left + width; }
    int bottom() const { return top + height; }
};

constexpr int RemoteWidth = 330;      // the body and its margin
constexpr int MaxRemoteHeight = 640;  // the client area's height at most
constexpr int PanelWidth = 330;

// The panel, from its top: a group that explains the key pointed at, a line
// for each mode, then a group for the status.
constexpr int GroupPadding = 10;
constexpr int GroupCaption = 20;
constexpr int GroupGap = 10;
constexpr int HeadingHeight = 20;
constexpr int ModeLineHeight = 46;  // three wrapped lines
constexpr int LabelHeight = 16;
constexpr int ValueHeight = 20;
constexpr int ListHeight = 124;     // the last lines written, 8 of them
constexpr int HintHeight = 32;
constexpr int KeyGroupHeight = GroupCaption + HeadingHeight +
                               static_cast<int>(keydocs::ModeCount) * ModeLineHeight + GroupPadding;
// The label and value of the applications open, the label and list of the
// lines written, the feed's path and the hint.
constexpr int StatusGroupHeight = GroupCaption + LabelHeight + ValueHeight + LabelHeight +
                                  ListHeight + GroupPadding + LabelHeight + GroupPadding +
                                  HintHeight + GroupPadding;
constexpr int MinPanelHeight = KeyGroupHeight + GroupGap + StatusGroupHeight;

struct RemoteLayout {
    int clientWidth;
    int clientHeight;
    Box body;                // the remote's dark body
    std::vector<Box> buttons;  // one per key given, in the same order
    Box panel;               // the explanations and the status
};

// Places the buttons of `count` keys by their places (rows and columns); rows
// shrink so that a remote of many rows still fits in MaxRemoteHeight.
RemoteLayout LayoutRemote(const core::RemoteKeyRow* keys, size_t count);

}  // namespace vremote
