#include "core/RemoteKey.h"

#include <algorithm>
#include <iterator>

#include "core/Text.h"

namespace {

using K = RemoteKey;

struct LabelledKey {
    RemoteKey key;
    const char* label;
};

// The labels are ours, chosen from what the keys do in the TV applications.
constexpr LabelledKey Labels[] = {
    {K::Power, "Power"},     {K::Standby, "Standby"}, {K::Off, "Off"},       {K::Mute, "Mute"},
    {K::Digit1, "1"},        {K::Digit2, "2"},        {K::Digit3, "3"},      {K::Digit4, "4"},
    {K::Digit5, "5"},        {K::Digit6, "6"},        {K::Digit7, "7"},      {K::Digit8, "8"},
    {K::Digit9, "9"},        {K::Recall, "Recall"},   {K::Digit0, "0"},      {K::Enter, "Enter"},
    {K::VolumeUp, "Vol+"},   {K::Up, "Up"},           {K::ChannelUp, "Ch+"}, {K::Left, "Left"},
    {K::Ok, "OK"},           {K::Right, "Right"},     {K::VolumeDown, "Vol-"}, {K::Down, "Down"},
    {K::ChannelDown, "Ch-"}, {K::Info, "Info"},       {K::Audio, "Audio"},   {K::Zoom, "Zoom"},
    {K::Tv, "TV"},           {K::Record, "Record"},   {K::Play, "Play"},     {K::Stop, "Stop"},
    {K::End, "End"},         {K::Rewind, "Rew"},      {K::FastForward, "FF"}, {K::SkipBack, "Skip-"},
    {K::SkipForward, "Skip+"}, {K::Back, "Back"},     {K::Home, "Home"},     {K::Delete, "Delete"},
    {K::Step, "Step"},       {K::Details, "Details"}, {K::Full, "Full"},     {K::Previous, "Prev"},
    {K::Next, "Next"},
};

}  // namespace

const char* KeyLabel(int code) {
    const auto found = std::find_if(std::begin(Labels), std::end(Labels),
                                    [code](const LabelledKey& entry) { return Code(entry.key) == code; });
    return found != std::end(Labels) ? found->label : nullptr;
}

int CodeOfLabel(const char* label) {
    const auto found = std::find_if(std::begin(Labels), std::end(Labels), [label](const LabelledKey& entry) {
        return core::SameInAnyCase(entry.label, label);
    });
    return found != std::end(Labels) ? Code(found->key) : -1;
}
