// A numbering plan: blocks of help-context numbers for the forms, read from a small TOML file.
//
//   step = 1                  # defaults for every block
//   size = 100
//   [[block]]
//   forms = "Order*.dfm"      # file-name pattern (* ? [..], case ignored), or a list of them
//   start = 1000
//   size = 100                # the block is start .. start+size-1
//   step = 10                 # how far apart numbering puts the numbers
//
//   [shared]                  # numbers several components carry on purpose
//   2001 = ["MainForm.actOpenOrders", "OrdersForm"]   # by these (Form.Component, case ignored)
//
// or, when any component may share them, a list: shared = [2001, 2002].
//
// A form takes the first block whose pattern matches its file name; forms that match none share
// the numbers after the highest block.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace zk::formfile {

struct TPlanBlock {
    std::vector<std::string> Forms;
    int64_t Start = 0, Size = 0, Step = 1;
    int64_t Last() const { return Start + Size - 1; }
};

struct TPlan {
    std::vector<TPlanBlock> Blocks;
    int64_t Step = 1;
    int64_t RestStart = 1;  // past the highest block
    // The numbers that may be shared, each with the components that may share it (none listed:
    // any).
    std::map<int64_t, std::vector<std::string>> Shared;
    // The block for a form file (by its file name), or null for the rest.
    const TPlanBlock* BlockFor(const std::string& Path) const;
    // The range of numbers a form file may use.
    std::pair<int64_t, int64_t> RangeFor(const std::string& Path) const;
    // Whether the component at Path (Form.Component) may carry Number with others.
    bool MayShare(int64_t Number, const std::string& Path) const;
};

// Reads a plan file; raises TFailure with "FILE:LINE:COLUMN: what" (or "FILE: what").
TPlan ReadPlan(const std::string& Path);

}  // namespace zk::formfile
