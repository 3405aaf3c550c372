#include "core/RemoteKey.h"

#include <cctype>

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

bool SameInAnyCase(const char* a, const char* b) {
    for (; *a != '\0' && *b != '\0'; ++a, ++b)
        if (std::tolower(static_cast<unsigned char>(*a)) != std::tolower(static_cast<unsigned char>(*b)))
            return false;
    return *a == *b;
}

}  // namespace

const char* KeyLabel(int code) {
    for (const LabelledKey& entry : Labels)
        if (Code(entry.key) == code) return entry.label;
    return nullptr;
}

int CodeOfLabel(const char* label) {
    for (const LabelledKey& entry : Labels)
        if (SameInAnyCase(entry.label, label)) return Code(entry.key);
    return -1;
}
