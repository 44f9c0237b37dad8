// Numbering plans as helpctx reads them: blocks and their defaults, the numbers that may be
// shared, and each mistake named with its place.
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <fstream>

#include "zk/formfile/Plan.h"
#include "zk/formfile/Project.h"
#include "tests/support/Namespaces.h"

namespace {

namespace fs = std::filesystem;

class PlanTest : public ::testing::Test {
  protected:
    std::string FPath =
        (fs::temp_directory_path() /
         ("plan-test-" + std::to_string(::getpid()) + "-" +
          ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".toml"))
            .string();

    void TearDown() override { fs::remove(FPath); }
    TPlan Read(const std::string& Text) const {
        std::ofstream(FPath, std::ios::binary) << Text;
        return ReadPlan(FPath);
    }
    std::string Error(const std::string& Text) const {
        try {
            Read(Text);
        } catch (const TFailure& f) {
            return f.Message;
        }
        return "read without an error";
    }
};

TEST_F(PlanTest, AFormTakesTheFirstBlockItsNameMatchesElseTheRest) {
    TPlan plan = Read(
        "step = 5\nsize = 50\n"
        "[[block]]\nforms = 'Order*.dfm'\nstart = 1000\n"
        "[[block]]\nforms = ['cust*', 'People?.lfm']\nstart = 2000\nsize = 10\nstep = 2\n");
    struct Case {
        const char* Path;
        int64_t First, Last, Step;
    } cases[] = {
        {"app/OrderForm.DFM", 1000, 1049, 5}, {"x/Customers.dfm", 2000, 2009, 2},
        {"People1.lfm", 2000, 2009, 2},       {"People12.lfm", 2010, INT32_MAX, 5},
        {"Orders.lfm", 2010, INT32_MAX, 5},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(plan.RangeFor(c.Path), std::make_pair(c.First, c.Last)) << c.Path;
        const TPlanBlock* block = plan.BlockFor(c.Path);
        EXPECT_EQ(block ? block->Step : plan.Step, c.Step) << c.Path;
    }
}

TEST_F(PlanTest, SharedNumbersByAnyComponentOrByThoseNamed) {
    TPlan any = Read("shared = [2001, -5]\n");
    TPlan named = Read("[shared]\n2001 = ['MainForm.actOpenOrders', 'OrdersForm']\n");
    struct Case {
        const TPlan* Plan;
        int64_t Number;
        const char* Path;
        bool May;
    } cases[] = {
        {&any, 2001, "AnyForm.Button1", true}, {&any, -5, "AnyForm", true},
        {&any, 2002, "AnyForm", false},        {&named, 2001, "mainform.ACTOPENORDERS", true},
        {&named, 2001, "OrdersForm", true},    {&named, 2001, "OrdersForm.btnOk", false},
        {&named, 2002, "OrdersForm", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.Plan->MayShare(c.Number, c.Path), c.May) << c.Number << " " << c.Path;
}

TEST_F(PlanTest, MistakesAreNamedWithTheirPlace) {
    struct Case {
        const char* Text;
        std::string Message;  // after the plan's path
    } cases[] = {
        {"step = 0\n", ":1:8: 'step' must be between 1 and 2147483647"},
        {"size = 'x'\n", ":1:8: 'size' must be an integer"},
        {"steps = 1\n", ":1:1: unknown key 'steps'"},
        {"[[block]]\nstart = 1\n", ":1:1: a block needs 'forms'"},
        {"[[block]]\nforms = 'a'\n", ":1:1: a block needs 'start'"},
        {"[[block]]\nforms = 3\nstart = 1\n",
         ":2:9: 'forms' must be a string or a list of strings"},
        {"[[block]]\nforms = 'a'\nstart = 2147483600\n", ":1:1: the block runs past 2147483647"},
        {"[[block]]\nforms='a'\nstart=1\n[[block]]\nforms='b'\nstart=50\n",
         ":4:1: the block 50..149 overlaps the block 1..100"},
        {"shared = [0]\n", ":1:11: a shared number must be a 32-bit integer other than 0"},
        {"shared = 'x'\n", ":1:10: 'shared' must be a list of numbers or a table ([shared])"},
        {"[shared]\nx = ['A']\n", ":2:1: a shared number must be a 32-bit integer other than 0"},
        {"[shared]\n5 = []\n", ":2:5: a shared number needs a list of components"},
        {"[shared]\n5 = [1]\n", ":2:6: components are named by strings"},
    };
    for (const Case& c : cases) EXPECT_EQ(Error(c.Text), FPath + c.Message) << c.Text;
    std::string missing = FPath + ".none";
    try {
        ReadPlan(missing);
        ADD_FAILURE() << "read " << missing;
    } catch (const TFailure& f) {
        EXPECT_EQ(f.Message, "cannot read " + missing + ": No such file or directory");
    }
}

}  // namespace
