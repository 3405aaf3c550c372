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
constexpr int MinPanelHeight = 520;   // what the panel's controls take

struct RemoteLayout {
    int clientWidth;
    int clientHeight;
    Box body;                // the remote's dark body
    std::vector<Box> buttons;  // one per button given, in the same order
    Box panel;               // the explanations and the status
};

// Places `count` buttons by their rows and columns; rows shrink so that a
// remote of many rows still fits in MaxRemoteHeight.
RemoteLayout LayoutRemote(const keydocs::RemoteButton* buttons, size_t count);

}  // namespace vremote
