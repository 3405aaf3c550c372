// probe.exe: looks at and pokes the Windows desktop from outside the program
// under test. "probe COMMAND ARGS..." answers one command; "probe serve" answers
// one command per stdin line until "quit", so that tests pay for one process.
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "ProbeCommands.h"

namespace {

void writeLine(const std::string& json) {
    const std::string line = json + "\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fflush(stdout);
}

std::vector<std::string> splitWords(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> words;
    std::string word;
    while (in >> word) words.push_back(word);
    return words;
}

int serve() {
    std::string line;
    while (std::getline(std::cin, line)) {
        const std::vector<std::string> words = splitWords(line);
        if (words.empty()) continue;
        if (words[0] == "quit") {
            writeLine("{\"result\":\"bye\"}");
            break;
        }
        writeLine(probe::runCommand(words).json);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    _setmode(_fileno(stdout), _O_BINARY);  // one "\n" per reply, no "\r\n"
    if (argc == 2 && std::string(argv[1]) == "serve") return serve();
    const probe::Reply reply = probe::runCommand(std::vector<std::string>(argv + 1, argv + argc));
    writeLine(reply.json);
    return reply.ok ? 0 : 1;
}
