// The remote's keys as the virtual remote lays them out. The card reports
// codes, not names: the labels are ours, chosen from what the keys do in the
// TV applications.
#include "KeyDocs.h"

namespace keydocs {

const RemoteButton RemoteButtons[] = {
    {12, "Power", 0, 0},   {13, "Standby", 0, 1}, {24, "Off", 0, 2},     {20, "Mute", 0, 3},
    {0, "1", 1, 0},        {1, "2", 1, 1},        {2, "3", 1, 2},
    {3, "4", 2, 0},        {4, "5", 2, 1},        {5, "6", 2, 2},
    {6, "7", 3, 0},        {7, "8", 3, 1},        {8, "9", 3, 2},
    {9, "Recall", 4, 0},   {10, "0", 4, 1},       {11, "Enter", 4, 2},
    {28, "Vol+", 5, 0},    {16, "Up", 5, 1},      {30, "Ch+", 5, 2},
    {18, "Left", 6, 0},    {14, "OK", 6, 1},      {19, "Right", 6, 2},
    {29, "Vol-", 7, 0},    {17, "Down", 7, 1},    {31, "Ch-", 7, 2},
    {22, "Info", 8, 0},    {21, "Audio", 8, 1},   {23, "Zoom", 8, 2},    {25, "TV", 8, 3},
    {27, "Record", 9, 0},  {68, "Play", 9, 1},    {26, "Stop", 9, 2},    {69, "End", 9, 3},
    {65, "Rew", 10, 0},    {64, "FF", 10, 1},     {66, "Skip-", 10, 2},  {67, "Skip+", 10, 3},
    {72, "Back", 11, 0},   {73, "Home", 11, 1},   {74, "Delete", 11, 2}, {75, "Step", 11, 3},
    {76, "Details", 12, 0}, {77, "Full", 12, 1},  {78, "Prev", 12, 2},   {79, "Next", 12, 3},
};

const size_t RemoteButtonCount = sizeof RemoteButtons / sizeof RemoteButtons[0];

}  // namespace keydocs
