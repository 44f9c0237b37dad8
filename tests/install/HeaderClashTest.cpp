// A user's program that keeps global functions and classes named like the library's Win32 calls
// and classes beside the public mailslot header. It links only the installable library, so it
// also shows that what the header declares is exported from it.
#include <cstdio>
#include <string>

#include <zk/mailslot/ZkFrames.h>
#include <zk/mailslot/Zkmailslot.h>
#include <zk/words/_stl_wrd.h>

struct TObject {
    int Tag = 42;
};
class Exception {
  public:
    const char* Why = "own";
};
int ReadFile(const char* Path) { return Path ? 1 : 0; }
int WriteFile(const char* Path) { return Path ? 2 : 0; }
int CloseHandle(int Fd) { return Fd; }
void Sleep(int) {}
long GetTickCount() { return 7; }
int Register(int Id) { return Id + 1; }

namespace {

int Failures = 0;

void Check(bool Ok, const char* What) {
    if (!Ok) {
        std::fprintf(stderr, "failed: %s\n", What);
        ++Failures;
    }
}

}  // namespace

int main() {
    TObject Own;
    Sleep(0);
    Check(Own.Tag == 42 && Register(1) == 2 && ReadFile("x") + WriteFile("y") == 3 &&
              CloseHandle(4) == 4 && GetTickCount() == 7 && std::string(Exception().Why) == "own",
          "the program's own names");

    // A closed endpoint, a frame codec and a word routine, all from the library.
    zk::TzkMailSlot Slot(nullptr);
    Check(Slot.Slot() == "zkMailSlot1" && !Slot.Active(), "endpoint defaults");
    Check(Slot.ClassName() == "TzkMailSlot", "class information");
    Check(zk::zkframes::CheckedFrameValid(zk::zkframes::EncodeChecked("abc", 3).data(), 5),
          "checked frame");
    std::string Text = "alpha beta";
    Check(zk::fn_STL_FindWord(Text, " ") == "alpha" && Text == "beta", "word routine");

    // The library's exceptions are caught by type across the library boundary.
    bool Caught = false;
    try {
        zk::rtl::StrToInt("twelve");
    } catch (const zk::rtl::EConvertError&) {
        Caught = true;
    }
    Check(Caught, "EConvertError caught");
    zk::Register();
    return Failures == 0 ? 0 : 1;
}
