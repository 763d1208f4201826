// A UCI engine that answers from a script, for the engine client's tests.
// The script comes in the environment variable FAKE_UCI_SCRIPT, one rule a
// line: "COMMAND -> REPLY|REPLY|...", where COMMAND is the first word of
// what the client writes and each REPLY is a line to write back, or
// "sleep MS", "crash" (abort) or "exit". A command without a rule gets no
// answer at all. "quit" and the end of input end the program.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

int main()
{
    std::map<std::string, std::vector<std::string>> rules;
    const char* script = std::getenv("FAKE_UCI_SCRIPT");
    std::istringstream lines(script ? script : "");
    for (std::string line; std::getline(lines, line);) {
        const std::size_t arrow = line.find(" -> ");
        if (arrow == std::string::npos)
            continue;
        std::vector<std::string>& replies = rules[line.substr(0, arrow)];
        std::istringstream parts(line.substr(arrow + 4));
        for (std::string part; std::getline(parts, part, '|');)
            replies.push_back(part);
    }
    for (std::string line; std::getline(std::cin, line);) {
        const std::string command = line.substr(0, line.find(' '));
        if (command == "quit")
            return 0;
        const auto rule = rules.find(command);
        if (rule == rules.end())
            continue;
        for (const std::string& reply : rule->second) {
            if (reply.rfind("sleep ", 0) == 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(reply.c_str() + 6)));
            else if (reply == "crash")
                std::abort();
            else if (reply == "exit")
                return 0;
            else
                std::cout << reply << std::endl;
        }
    }
    return 0;
}
