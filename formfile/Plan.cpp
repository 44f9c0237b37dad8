#include "zk/formfile/Plan.h"

#include <fnmatch.h>

#include <toml++/toml.h>
#include <algorithm>
#include <charconv>
#include <climits>
#include <filesystem>

#include "zk/formfile/Project.h"

namespace zk::formfile {

namespace {

[[noreturn]] void Bad(const std::string& File, const toml::source_region& At,
                      const std::string& What) {
    const toml::source_position& p = At.begin;
    throw TFailure{File + ":" + std::to_string(p.line) + ":" + std::to_string(p.column) + ": " +
                   What};
}

// A whole number in [Min, INT32_MAX], or the default when the key is absent.
int64_t Number(const std::string& File, const toml::table& T, const std::string& Key,
               int64_t Default, int64_t Min) {
    const toml::node* n = T.get(Key);
    if (!n) return Default;
    std::optional<int64_t> v = n->value<int64_t>();
    if (!n->is_integer() || !v) Bad(File, n->source(), "'" + Key + "' must be an integer");
    if (*v < Min || *v > INT32_MAX)
        Bad(File, n->source(),
            "'" + Key + "' must be between " + std::to_string(Min) + " and 2147483647");
    return *v;
}

void OnlyKeys(const std::string& File, const toml::table& T,
              std::initializer_list<std::string_view> Keys) {
    for (const auto& [key, node] : T)
        if (std::find(Keys.begin(), Keys.end(), key.str()) == Keys.end())
            Bad(File, key.source(), "unknown key '" + std::string(key.str()) + "'");
}

// A shared number: a whole number other than 0 (which means none) in the HelpContext range.
int64_t SharedNumber(const std::string& File, const toml::source_region& At,
                     std::optional<int64_t> Value) {
    if (!Value || *Value == 0 || *Value < INT32_MIN || *Value > INT32_MAX)
        Bad(File, At, "a shared number must be a 32-bit integer other than 0");
    return *Value;
}

// shared = [2001, 2002], or a [shared] table: 2001 = ["Form.Component", ...].
std::map<int64_t, std::vector<std::string>> ReadShared(const std::string& File,
                                                       const toml::node& Node) {
    std::map<int64_t, std::vector<std::string>> shared;
    if (const toml::array* a = Node.as_array()) {
        for (const toml::node& n : *a)
            shared[SharedNumber(File, n.source(),
                                n.is_integer() ? n.value<int64_t>() : std::nullopt)];
        return shared;
    }
    const toml::table* t = Node.as_table();
    if (!t) Bad(File, Node.source(), "'shared' must be a list of numbers or a table ([shared])");
    for (const auto& [key, value] : *t) {
        int64_t n = 0;
        std::string_view k = key.str();
        auto [p, ec] = std::from_chars(k.data(), k.data() + k.size(), n);
        std::vector<std::string>& names = shared[SharedNumber(
            File, key.source(),
            ec == std::errc() && p == k.data() + k.size() && !k.empty() ? std::optional<int64_t>(n)
                                                                        : std::nullopt)];
        const toml::array* list = value.as_array();
        if (!list || list->empty())
            Bad(File, value.source(), "a shared number needs a list of components");
        for (const toml::node& name : *list) {
            if (!name.is_string()) Bad(File, name.source(), "components are named by strings");
            names.push_back(*name.value<std::string>());
        }
    }
    return shared;
}

}  // namespace

TPlan ReadPlan(const std::string& Path) {
    std::string text = ReadFileOrFail(Path);
    toml::table root;
    try {
        root = toml::parse(text, std::string_view(Path));
    } catch (const toml::parse_error& e) {
        const toml::source_position& p = e.source().begin;
        throw TFailure{Path + ":" + std::to_string(p.line) + ":" + std::to_string(p.column) + ": " +
                       std::string(e.description())};
    }
    OnlyKeys(Path, root, {"step", "size", "block", "shared"});
    TPlan plan;
    plan.Step = Number(Path, root, "step", 1, 1);
    int64_t size = Number(Path, root, "size", 100, 1);
    plan.RestStart = 1;
    if (const toml::node* blocks = root.get("block")) {
        const toml::array* a = blocks->as_array();
        if (!a) Bad(Path, blocks->source(), "'block' must be an array of tables ([[block]])");
        for (const toml::node& n : *a) {
            const toml::table* t = n.as_table();
            if (!t) Bad(Path, n.source(), "a block must be a table");
            OnlyKeys(Path, *t, {"forms", "start", "size", "step"});
            TPlanBlock b;
            const toml::node* forms = t->get("forms");
            if (!forms) Bad(Path, n.source(), "a block needs 'forms'");
            if (auto s = forms->value<std::string>(); forms->is_string()) {
                b.Forms.push_back(*s);
            } else if (const toml::array* fa = forms->as_array()) {
                for (const toml::node& f : *fa) {
                    if (!f.is_string()) Bad(Path, f.source(), "'forms' must hold strings");
                    b.Forms.push_back(*f.value<std::string>());
                }
            } else {
                Bad(Path, forms->source(), "'forms' must be a string or a list of strings");
            }
            if (!t->get("start")) Bad(Path, n.source(), "a block needs 'start'");
            b.Start = Number(Path, *t, "start", 0, INT32_MIN);
            b.Size = Number(Path, *t, "size", size, 1);
            b.Step = Number(Path, *t, "step", plan.Step, 1);
            if (b.Last() > INT32_MAX) Bad(Path, n.source(), "the block runs past 2147483647");
            for (const TPlanBlock& o : plan.Blocks)
                if (b.Start <= o.Last() && o.Start <= b.Last())
                    Bad(Path, n.source(),
                        "the block " + std::to_string(b.Start) + ".." + std::to_string(b.Last()) +
                            " overlaps the block " + std::to_string(o.Start) + ".." +
                            std::to_string(o.Last()));
            plan.RestStart = std::max(plan.RestStart, b.Last() + 1);
            plan.Blocks.push_back(std::move(b));
        }
    }
    if (const toml::node* shared = root.get("shared")) plan.Shared = ReadShared(Path, *shared);
    return plan;
}

const TPlanBlock* TPlan::BlockFor(const std::string& Path) const {
    std::string name = std::filesystem::path(Path).filename().string();
    for (const TPlanBlock& b : Blocks)
        for (const std::string& pattern : b.Forms)
            if (fnmatch(pattern.c_str(), name.c_str(), FNM_CASEFOLD) == 0) return &b;
    return nullptr;
}

std::pair<int64_t, int64_t> TPlan::RangeFor(const std::string& Path) const {
    if (const TPlanBlock* b = BlockFor(Path)) return {b->Start, b->Last()};
    return {RestStart, INT32_MAX};
}

bool TPlan::MayShare(int64_t Number, const std::string& Path) const {
    auto it = Shared.find(Number);
    if (it == Shared.end()) return false;
    return it->second.empty() ||
           std::any_of(it->second.begin(), it->second.end(), [&Path](const std::string& Name) {
               return zk::rtl::SameText(Name, Path);
           });
}

}  // namespace zk::formfile
