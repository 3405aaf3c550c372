// Commands of probe.exe: each takes the words of one command line and returns one
// JSON document (compact, on one line). Failures come back as {"error":"..."}.
#pragma once

#include <string>
#include <vector>

namespace probe {

struct Reply {
    std::string json;
    bool ok = true;
};

Reply runCommand(const std::vector<std::string>& words);

}  // namespace probe
