// Layout tables: each expected rectangle was worked out by hand from the VCL/LCL Align and
// Anchors rules (host/forms/AlignLayout.h), in form client coordinates.
#include <gtest/gtest.h>

#include <cctype>
#include <ostream>
#include <string>
#include <vector>

#include "zk/host/forms/AlignLayout.h"

namespace {

using namespace zk::forms;

TLayoutBox Box(int32_t Parent, TRect Stored, TAlign Align = alNone,
               uint8_t Anchors = kDefaultAnchors, bool Visible = true) {
    TLayoutBox b;
    b.Parent = Parent;
    b.Stored = Stored;
    b.Align = Align;
    b.Anchors = Anchors;
    b.Visible = Visible;
    return b;
}

TRect At(int32_t L, int32_t T, int32_t W, int32_t H) { return {L, T, L + W, T + H}; }

struct TCase {
    std::string Name;
    std::vector<TLayoutBox> Boxes;
    std::vector<TRect> Expected;
};

void PrintTo(const TCase& Case, std::ostream* Out) { *Out << Case.Name; }

std::vector<TCase> Cases() {
    std::vector<TCase> cases;
    // Every Align value on a 400x300 form: top and bottom first, the sides between them, the
    // client control in what remains.
    cases.push_back({"each align value",
                     {Box(-1, At(0, 0, 400, 300)), Box(0, At(7, 7, 10, 30), alClient),
                      Box(0, At(5, 5, 50, 20), alBottom), Box(0, At(0, 0, 100, 30), alTop),
                      Box(0, At(0, 0, 100, 10), alLeft), Box(0, At(0, 0, 50, 10), alRight)},
                     {At(0, 0, 400, 300), At(100, 30, 250, 250), At(0, 280, 400, 20),
                      At(0, 0, 400, 30), At(0, 30, 100, 250), At(350, 30, 50, 250)}});
    // Same-aligned controls go by their stored position, not their order in the file: the
    // upper top bar first, the lower bottom bar first, the left-most left panel first, the
    // right-most right panel first.
    cases.push_back({"stored order",
                     {Box(-1, At(0, 0, 300, 200)), Box(0, At(0, 40, 10, 10), alTop),
                      Box(0, At(0, 0, 10, 25), alTop), Box(0, At(0, 250, 10, 30), alBottom),
                      Box(0, At(0, 280, 10, 20), alBottom), Box(0, At(60, 0, 30, 1), alLeft),
                      Box(0, At(0, 0, 20, 1), alLeft), Box(0, At(200, 0, 40, 1), alRight),
                      Box(0, At(260, 0, 15, 1), alRight)},
                     {At(0, 0, 300, 200), At(0, 25, 300, 10), At(0, 0, 300, 25),
                      At(0, 150, 300, 30), At(0, 180, 300, 20), At(20, 35, 30, 115),
                      At(0, 35, 20, 115), At(245, 35, 40, 115), At(285, 35, 15, 115)}});
    // A hidden bar takes no room and keeps its stored bounds; a hidden anchored control too.
    cases.push_back(
        {"hidden controls",
         {Box(-1, At(0, 0, 200, 100)), Box(0, At(3, 4, 50, 30), alTop, kDefaultAnchors, false),
          Box(0, At(0, 30, 10, 20), alTop), Box(0, At(0, 0, 0, 0), alClient),
          Box(3, At(90, 40, 20, 10), alNone, akRight | akBottom, false)},
         {At(0, 0, 200, 100), At(3, 4, 50, 30), At(0, 0, 200, 20), At(0, 20, 200, 80),
          At(90, 60, 20, 10)}});
    // Nested: a left panel with a 2-pixel bevel, a bottom bar in it and an edit filling that
    // bar; each in form coordinates.
    TLayoutBox panel = Box(0, At(0, 0, 120, 10), alLeft);
    panel.Insets = {2, 2, 2, 2};
    cases.push_back({"nested at depth",
                     {Box(-1, At(0, 0, 400, 300)), panel, Box(1, At(0, 0, 10, 40), alBottom),
                      Box(2, At(1, 1, 1, 1), alClient), Box(3, At(4, 5, 6, 7))},
                     {At(0, 0, 400, 300), At(0, 0, 120, 300), At(2, 258, 116, 40),
                      At(2, 258, 116, 40), At(6, 263, 6, 7)}});
    // A client panel stored 200x100 grows to the form's 400x300 (200 more each way): anchored
    // left/top stays, right/bottom moves, all four stretches, neither side keeps its centre at
    // the same proportion (centre 100 of 200 becomes 200 of 400).
    cases.push_back(
        {"anchors when the parent grows",
         {Box(-1, At(0, 0, 400, 300)), Box(0, At(0, 0, 200, 100), alClient),
          Box(1, At(10, 10, 50, 20)), Box(1, At(140, 70, 50, 20), alNone, akRight | akBottom),
          Box(1, At(10, 40, 180, 20), alNone, akLeft | akTop | akRight | akBottom),
          Box(1, At(75, 10, 50, 20), alNone, akTop)},
         {At(0, 0, 400, 300), At(0, 0, 400, 300), At(10, 10, 50, 20), At(340, 270, 50, 20),
          At(10, 40, 380, 220), At(175, 10, 50, 20)}});
    // A tool bar sets its buttons in a row in stored order (a separator is just narrower) and
    // wraps the one that would pass its right edge; a hidden button takes no room.
    TLayoutBox bar = Box(0, At(0, 0, 100, 30), alTop);
    bar.Flow = true;
    cases.push_back(
        {"tool bar",
         {Box(-1, At(0, 0, 100, 200)), bar, Box(1, At(48, 0, 40, 22)), Box(1, At(0, 0, 40, 22)),
          Box(1, At(40, 0, 8, 22)), Box(1, At(60, 0, 40, 22), alNone, kDefaultAnchors, false),
          Box(1, At(88, 0, 40, 22))},
         {At(0, 0, 100, 200), At(0, 0, 100, 30), At(48, 0, 40, 22), At(0, 0, 40, 22),
          At(40, 0, 8, 22), At(60, 0, 40, 22), At(0, 22, 40, 22)}});
    // Pages fill a page control below its tabs, each of them.
    TLayoutBox pages = Box(0, At(8, 8, 200, 150));
    pages.Insets = {4, 24, 4, 4};
    cases.push_back({"pages",
                     {Box(-1, At(0, 0, 300, 200)), pages, Box(1, At(0, 0, 0, 0), alClient),
                      Box(1, At(0, 0, 0, 0), alClient), Box(3, At(10, 10, 30, 20))},
                     {At(0, 0, 300, 200), At(8, 8, 200, 150), At(12, 32, 192, 122),
                      At(12, 32, 192, 122), At(22, 42, 30, 20)}});
    // Lazarus' BorderSpacing: a top bar 4 below the edge with 2 under it, then a list with 6
    // all round filling the rest of a 200x100 form.
    TLayoutBox spaced = Box(0, At(0, 0, 10, 20), alTop);
    spaced.Spacing = {0, 4, 0, 2};
    TLayoutBox list = Box(0, At(0, 0, 10, 10), alClient);
    list.Spacing = {6, 6, 6, 6};
    cases.push_back({"border spacing",
                     {Box(-1, At(0, 0, 200, 100)), spaced, list},
                     {At(0, 0, 200, 100), At(0, 4, 200, 20), At(6, 32, 188, 62)}});
    return cases;
}

class AlignLayoutTest : public ::testing::TestWithParam<TCase> {};

TEST_P(AlignLayoutTest, PlacesEachControlAsTheRulesSay) {
    const TCase& c = GetParam();
    std::vector<TRect> got = LayOut(c.Boxes);
    ASSERT_EQ(got.size(), c.Expected.size());
    for (size_t i = 0; i < got.size(); ++i) {
        const TRect& g = got[i];
        const TRect& e = c.Expected[i];
        EXPECT_EQ(g, e) << "box " << i << ": got (" << g.Left << "," << g.Top << ")-(" << g.Right
                        << "," << g.Bottom << "), expected (" << e.Left << "," << e.Top << ")-("
                        << e.Right << "," << e.Bottom << ")";
    }
}

INSTANTIATE_TEST_SUITE_P(Rules, AlignLayoutTest, ::testing::ValuesIn(Cases()),
                         [](const auto& Info) {
                             std::string n;
                             for (char ch : Info.param.Name)
                                 n += std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
                             return n;
                         });

}  // namespace
