#include "zk/host/win32/CommandLine.h"

#include <algorithm>
#include <cstring>

namespace zk::win32 {

namespace {

bool IsBlank(char C) { return C == ' ' || C == '\t' || C == '\n'; }

}  // namespace

std::optional<std::vector<std::string>> SplitCommandLine(const std::string& Line) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;  // a word has begun, even if it is still empty ('' or "")
    size_t i = 0;
    const size_t n = Line.size();
    while (i < n) {
        char c = Line[i];
        if (IsBlank(c)) {
            if (inWord) words.push_back(std::move(word));
            word.clear();
            inWord = false;
            ++i;
            continue;
        }
        inWord = true;
        if (c == '\'') {
            size_t end = Line.find('\'', i + 1);
            if (end == std::string::npos) return std::nullopt;
            word.append(Line, i + 1, end - i - 1);
            i = end + 1;
        } else if (c == '"') {
            ++i;
            for (;;) {
                if (i >= n) return std::nullopt;
                char d = Line[i];
                if (d == '"') break;
                if (d == '\\' && i + 1 < n && std::strchr("\"\\$`\n", Line[i + 1])) {
                    if (Line[i + 1] != '\n') word += Line[i + 1];
                    i += 2;
                } else {
                    word += d;
                    ++i;
                }
            }
            ++i;
        } else if (c == '\\') {
            if (i + 1 >= n) return std::nullopt;
            if (Line[i + 1] != '\n') word += Line[i + 1];  // backslash-newline joins lines
            i += 2;
        } else {
            word += c;
            ++i;
        }
    }
    if (inWord) words.push_back(std::move(word));
    return words;
}

std::string ShowWindowName(uint16_t ShowCmd) {
    switch (ShowCmd) {
        case 0:
            return "hidden";
        case 1:
            return "normal";
        case 2:
            return "minimized";
        case 3:
            return "maximized";
        default:
            return std::to_string(ShowCmd);
    }
}

std::vector<std::string> EnvironmentFromBlock(const char* Block) {
    std::vector<std::string> env;
    for (const char* p = Block; *p; p += std::strlen(p) + 1) env.emplace_back(p);
    return env;
}

std::vector<std::string> WithShowRequest(std::vector<std::string> Env, const std::string& Show) {
    const std::string key = "DOCUVANE_SHOW=";
    Env.erase(std::remove_if(Env.begin(), Env.end(),
                             [&](const std::string& e) { return e.rfind(key, 0) == 0; }),
              Env.end());
    if (!Show.empty()) Env.push_back(key + Show);
    return Env;
}

}  // namespace zk::win32
