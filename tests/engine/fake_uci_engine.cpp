// A UCI engine that answers from a script, for the engine client's tests.
// The script comes in the environment variable FAKE_UCI_SCRIPT, one rule a
// line: "COMMAND -> REPLY|REPLY|...", where COMMAND is the first word of
// what the client writes and each REPLY is a line to write back, or
// "sleep MS", "crash" (abort) or "exit". A command without a rule gets no
// answer at all. "go@TEXT" is the rule for a "go" after a "position" line
// that ends in TEXT ("go@e2e4"), before the rule for any "go". As a real
// engine, it answers "stop" only while a search runs: from a "go" until it
// has written its "bestmove". "quit" and the end of input end the program.

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
        std::istringstream items(line.substr(arrow + 4));
        for (std::string item; std::getline(items, item, '|');)
            replies.push_back(item);
    }
    std::string position;
    bool searching = false;
    for (std::string line; std::getline(std::cin, line);) {
        const std::string command = line.substr(0, line.find(' '));
        if (command == "quit")
            return 0;
        if (command == "position")
            position = line;
        auto rule = rules.end();
        if (command == "go")
            for (auto r = rules.begin(); r != rules.end() && rule == rules.end(); ++r) {
                const std::string& key = r->first;
                if (key.rfind("go@", 0) == 0 && position.size() >= key.size() - 3
                    && position.compare(position.size() - (key.size() - 3), key.size() - 3, key, 3) == 0)
                    rule = r;
            }
        if (rule == rules.end())
            rule = rules.find(command);
        if (command == "go")
            searching = true;
        else if (command == "stop" && !searching)
            continue;
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
            if (reply.rfind("bestmove", 0) == 0)
                searching = false;
        }
    }
    return 0;
}
