#include "Layout.h"

#include <algorithm>

namespace vremote {
namespace {

constexpr int Margin = 10;          // around the body and the panel
constexpr int BodyPadding = 16;     // between the body's edge and its buttons
constexpr int BodyTop = 44;         // room for the infrared window above the buttons
constexpr int BodyBottom = 40;      // room for the name below them
constexpr int ColumnGap = 10;
constexpr int RowGap = 9;
constexpr int ButtonHeight = 30;    // when the rows fit; less when they do not

constexpr int BodyWidth = RemoteWidth - 2 * Margin;
constexpr int ButtonWidth =
    (BodyWidth - 2 * BodyPadding - (core::RemoteColumns - 1) * ColumnGap) / core::RemoteColumns;
constexpr int MaxGridHeight = MaxRemoteHeight - 2 * Margin - BodyTop - BodyBottom;

}  // namespace

RemoteLayout LayoutRemote(const core::RemoteKeyRow* keys, size_t count) {
    int rows = 0;
    for (size_t i = 0; i < count; ++i) rows = std::max(rows, keys[i].place.row + 1);
    // Rows keep their proportions and shrink when there are too many to fit.
    const int rowPitch = std::min(ButtonHeight + RowGap, rows > 0 ? MaxGridHeight / rows : 0);
    const int buttonHeight = rowPitch * ButtonHeight / (ButtonHeight + RowGap);
    const int gridHeight = rows > 0 ? (rows - 1) * rowPitch + buttonHeight : 0;

    RemoteLayout layout{};
    layout.body = {Margin, Margin, BodyWidth, BodyTop + gridHeight + BodyBottom};
    const int gridLeft = layout.body.left + BodyPadding;
    const int gridTop = layout.body.top + BodyTop;
    for (size_t i = 0; i < count; ++i) {
        layout.buttons.push_back({gridLeft + keys[i].place.column * (ButtonWidth + ColumnGap),
                                  gridTop + keys[i].place.row * rowPitch, ButtonWidth, buttonHeight});
    }
    layout.panel = {RemoteWidth, Margin, PanelWidth, std::max(layout.body.height, MinPanelHeight)};
    layout.clientWidth = layout.panel.right() + Margin;
    layout.clientHeight = std::max(layout.body.bottom(), layout.panel.bottom()) + Margin;
    return layout;
}

}  // namespace vremote
