// A user's program that writes `using namespace zk;` after the public headers and still calls
// its own Win32-named functions unqualified beside the library's names. Some have the very
// signatures of the host's (Sleep, GetTickCount, GetLastError), so the calls are ambiguous and
// the program does not compile if the directive pulls zk::win32 into its scope.
#include <cstdio>
#include <string>

#include <zk/mailslot/ZkFrames.h>
#include <zk/mailslot/Zkmailslot.h>
#include <zk/words/_stl_wrd.h>

using namespace zk;

int ReadFile(const char* Path) { return Path ? 1 : 0; }
int WriteFile(const char* Path) { return Path ? 2 : 0; }
int CloseHandle(int Fd) { return Fd; }
void Sleep(unsigned) {}
long GetTickCount() { return 7; }
int GetLastError() { return 5; }
int Register(int Id) { return Id + 1; }

int main() {
    int Failures = 0;
    auto Check = [&Failures](bool Ok, const char* What) {
        if (!Ok) {
            std::fprintf(stderr, "failed: %s\n", What);
            ++Failures;
        }
    };
    Sleep(0u);
    Check(ReadFile("x") + WriteFile("y") == 3 && CloseHandle(4) == 4 && GetTickCount() == 7 &&
              GetLastError() == 5 && Register(1) == 2,
          "the program's own names");

    TzkMailSlot Slot(nullptr);
    Check(Slot.Slot() == "zkMailSlot1" && !Slot.Active(), "endpoint defaults");
    Check(zkframes::CheckedFrameValid(zkframes::EncodeChecked("abc", 3).data(), 5),
          "checked frame");
    std::string Text = "alpha beta";
    Check(fn_STL_FindWord(Text, " ") == "alpha" && Text == "beta", "word routine");
    // Another machine's slot cannot be reached; the sender says so instead of raising.
    Check(!SendToMailSlot("elsewhere", "nobody", "x"), "remote send refused");
    Register();
    return Failures == 0 ? 0 : 1;
}
