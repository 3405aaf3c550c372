// Control IDs of the virtual remote's window, which tests and the guided tour
// look controls up by.
#pragma once

namespace vremote {

constexpr int ButtonIdBase = 1000;  // the button of code C has ID ButtonIdBase + C
constexpr int ApplicationsId = 2001;  // static: the TV applications open now
constexpr int WrittenLinesId = 2002;  // list box: the last lines written, newest first
constexpr int FeedPathId = 2003;      // static: the feed file's path
constexpr int KeyHeadingId = 2010;    // static: label and code of the key explained
constexpr int FirstModeLineId = 2011;  // statics: what it does, one per mode

constexpr int ButtonId(int code) { return ButtonIdBase + code; }

}  // namespace vremote
