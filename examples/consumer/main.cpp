// A program that uses the installed mailslot library. It owns a slot of its own, sends itself
// one message and waits for it on the main thread; exit status 0 when the message arrived.
//
// It also has global functions and classes of its own named like the library's Win32 calls and
// classes; the library keeps all of its names in namespaces, so nothing clashes.
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include <zk/mailslot/Zkmailslot.h>
#include <zk/words/_stl_wrd.h>

// The program's own error type.
class Exception {
  public:
    explicit Exception(std::string What) : Text(std::move(What)) {}
    std::string Text;
};

// The program's own object: what it sent and what came back.
struct TObject {
    std::string Sent;
    std::string Received;
    bool Arrived = false;
};

// The program's own thin file calls over POSIX descriptors.
int CloseHandle(int Fd) { return close(Fd); }
bool WriteFile(int Fd, const std::string& Text) {
    return write(Fd, Text.data(), Text.size()) == static_cast<ssize_t>(Text.size());
}
std::string ReadFile(const char* Path) {
    int Fd = open(Path, O_RDONLY);
    if (Fd < 0) throw Exception(std::string("cannot open ") + Path);
    char Buf[256];
    ssize_t N = read(Fd, Buf, sizeof Buf);
    CloseHandle(Fd);
    return N > 0 ? std::string(Buf, static_cast<size_t>(N)) : std::string();
}
unsigned long GetTickCount() {
    using namespace std::chrono;
    return static_cast<unsigned long>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}
void Sleep(unsigned Milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(Milliseconds));
}
// Counts the handlers the program installs.
int Register() {
    static int Count = 0;
    return ++Count;
}

int main() {
    try {
        TObject State;
        // "consumer\n" from /proc: the first word is the program's name.
        std::string Comm = ReadFile("/proc/self/comm");
        State.Sent =
            "hello from " + zk::fn_STL_FindWord(Comm, "\n") + " " + std::to_string(getpid());

        zk::TzkMailSlot Slot(nullptr);
        Slot.SetSlot("consumer-" + std::to_string(getpid()));
        Slot.SetOnMessageAvail(zk::TmsMessageAvail([&State](zk::rtl::TObject*, std::string Text) {
            State.Received = std::move(Text);
            State.Arrived = true;
        }));
        Register();
        Slot.Open();

        if (!zk::SendToMailSlot(".", Slot.Slot(), State.Sent)) throw Exception("send failed");
        // Every event of the endpoint fires inside CheckSynchronize, on this thread.
        const unsigned long Start = GetTickCount();
        while (!State.Arrived && GetTickCount() - Start < 5000) {
            if (!zk::rtl::CheckSynchronize(100)) Sleep(1);
        }
        Slot.Close();

        if (!State.Arrived) throw Exception("no message within 5 s");
        if (State.Received != State.Sent) throw Exception("got \"" + State.Received + "\"");
        WriteFile(STDOUT_FILENO, "received: " + State.Received + "\n");
        return 0;
    } catch (const Exception& E) {
        WriteFile(STDERR_FILENO, "consumer: " + E.Text + "\n");
    } catch (const zk::rtl::Exception& E) {
        // The library's own exceptions (a slot that cannot be opened, say).
        WriteFile(STDERR_FILENO, std::string("consumer: ") + E.what() + "\n");
    }
    return 1;
}
