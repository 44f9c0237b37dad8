#include "tests/host/platform/MailslotFixture.h"

#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "zk/host/platform/SlotPath.h"
#include "zk/host/platform/SlotWrite.h"
#include "zk/host/platform/StagingQueue.h"
#include "zk/host/platform/SysCalls.h"
#include "tests/support/Namespaces.h"

namespace zktest {

bool THandleGuard::Close() {
    THandle h = FHandle;
    FHandle = INVALID_HANDLE_VALUE;
    return CloseHandle(h);
}

void MailslotFixture::TearDown() {
    zk::platform::ClearSysErrors();
    zk::platform::SetSendWaitMs(zk::platform::kDefaultSendWaitMs);
    zk::platform::SetStageBounds(zk::platform::TStageBounds{});
}

std::string MailslotFixture::SlotPath(const std::string& Name, const std::string& Server) {
    return "\\\\" + Server + "\\mailslot\\" + Name;
}

THandle MailslotFixture::Create(const std::string& Name, DWORD MaxSize, DWORD ReadTimeout) {
    return CreateMailslotA(SlotPath(Name).c_str(), MaxSize, ReadTimeout, nullptr);
}

THandle MailslotFixture::Open(const std::string& Name, const std::string& Server) {
    return CreateFileA(SlotPath(Name, Server).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, 0);
}

bool MailslotFixture::Write(THandle Writer, const std::string& Message) {
    DWORD written = 12345;
    bool ok =
        WriteFile(Writer, Message.data(), static_cast<DWORD>(Message.size()), &written, nullptr);
    EXPECT_EQ(written, ok ? Message.size() : 0u);
    return ok;
}

bool MailslotFixture::Send(const std::string& Name, const std::string& Message) {
    THandleGuard w(Open(Name));
    return w.Valid() && Write(w.Get(), Message);
}

DWORD MailslotFixture::Count(THandle Slot) {
    DWORD count = 12345;
    EXPECT_TRUE(GetMailslotInfo(Slot, nullptr, nullptr, &count, nullptr)) << GetLastError();
    return count;
}

DWORD MailslotFixture::NextSize(THandle Slot) {
    DWORD next = 12345;
    EXPECT_TRUE(GetMailslotInfo(Slot, nullptr, &next, nullptr, nullptr)) << GetLastError();
    return next;
}

std::string MailslotFixture::ReadOne(THandle Slot) {
    DWORD next = NextSize(Slot);
    EXPECT_NE(next, MAILSLOT_NO_MESSAGE);
    if (next == MAILSLOT_NO_MESSAGE) return "<none>";
    std::string buf(next + 1, '\x7F');
    DWORD read = 12345;
    EXPECT_TRUE(ReadFile(Slot, buf.data(), next, &read, nullptr)) << GetLastError();
    EXPECT_EQ(read, next);
    EXPECT_EQ(buf[next], '\x7F');  // nothing written past the requested size
    buf.resize(read);
    return buf;
}

std::string MailslotFixture::SocketFile(const std::string& Name) const {
    return FDir.Path() + "/" + zk::platform::EncodeSlotName(Name);
}

std::string CaptureStderr(const std::function<void()>& Body) {
    char path[] = "/tmp/zkstderr-XXXXXX";
    int file = mkstemp(path);
    if (file < 0) return "<no capture file>";
    std::fflush(stderr);
    int saved = dup(2);
    dup2(file, 2);
    Body();
    std::fflush(stderr);
    dup2(saved, 2);
    close(saved);
    close(file);
    std::string text = ReadFileText(path);
    unlink(path);
    return text;
}

pid_t ThisThreadId() { return static_cast<pid_t>(syscall(SYS_gettid)); }

bool WaitUntilThreadSleeps(pid_t Tid) {
    std::string path = "/proc/self/task/" + std::to_string(Tid) + "/stat";
    return WaitUntil([&] {
        std::ifstream in(path);
        std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        size_t close = stat.rfind(')');
        return close != std::string::npos && close + 2 < stat.size() && stat[close + 2] == 'S';
    });
}

}  // namespace zktest
