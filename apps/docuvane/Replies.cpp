#include "apps/docuvane/Replies.h"

namespace docuvane {

namespace {

std::string Trimmed(const std::string& S) {
    size_t first = S.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    size_t last = S.find_last_not_of(" \t");
    return S.substr(first, last - first + 1);
}

}  // namespace

const char* const DefaultScript =
    "IM3 => INIT,T-,H,10,500\n"
    "EDITDOC => FILEOPEN\n"
    "PRJ? => PRJ!\n";

bool ParseReplyTo(const std::string& Msg, std::string& Slot) {
    static const std::string kPrefix = "REPLYTO,";
    if (Msg.compare(0, kPrefix.size(), kPrefix) != 0) return false;
    Slot = Msg.substr(kPrefix.size());
    return true;
}

bool TReplyTable::AddOption(const std::string& Rule) {
    size_t eq = Rule.find('=');
    if (eq == std::string::npos) return false;
    FRules.push_back({Rule.substr(0, eq), Rule.substr(eq + 1)});
    return true;
}

std::vector<int> TReplyTable::AddScript(const std::string& Text) {
    std::vector<int> bad;
    size_t start = 0;
    for (int number = 1; start < Text.size(); ++number) {
        size_t end = Text.find('\n', start);
        if (end == std::string::npos) end = Text.size();
        std::string line = Text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::string trimmed = Trimmed(line);
        if (trimmed.empty() || trimmed[0] == '#') continue;
        size_t arrow = line.find("=>");
        std::string command = arrow == std::string::npos ? "" : Trimmed(line.substr(0, arrow));
        if (command.empty()) {
            bad.push_back(number);
            continue;
        }
        std::string reply = line.substr(arrow + 2);
        if (!reply.empty() && reply[0] == ' ') reply.erase(0, 1);
        FRules.push_back({command, reply});
    }
    return bad;
}

std::vector<std::string> TReplyTable::RepliesTo(const std::string& Command) const {
    std::vector<std::string> replies;
    for (const TRule& r : FRules)
        if (r.Command == Command) replies.push_back(r.Reply);
    return replies;
}

}  // namespace docuvane
