#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "zk/host/platform/SysCalls.h"
#include "zk/host/win32/CommandLine.h"
#include "zk/host/win32/WinProcess.h"
#include "tests/support/Namespaces.h"
#include "tests/support/TestSupport.h"

namespace fs = std::filesystem;

namespace {

// A private directory with a probe program: a script that writes its arguments (from the
// second on), DOCUVANE_SHOW, FOO, its working directory, parent and session to the file named
// by its first argument, atomically, so that a test can wait for the file to appear.
class ProcessTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char tmpl[] = "/tmp/zkprocess-XXXXXX";
        FDir = ::mkdtemp(tmpl);
        FProbe = FDir + "/probe";
        WriteFile(FProbe,
                  "#!/bin/sh\n"
                  "out=\"$1\"; shift\n"
                  "{ for a in \"$@\"; do printf '[%s]\\n' \"$a\"; done\n"
                  "  printf 'show=%s\\n' \"${DOCUVANE_SHOW-unset}\"\n"
                  "  printf 'foo=%s\\n' \"${FOO-unset}\"\n"
                  "  printf 'cwd=%s\\n' \"$(pwd)\"\n"
                  "  printf 'ppid=%s\\n' \"$PPID\"\n"
                  "  printf 'sid=%s\\n' \"$(cut -d' ' -f6 /proc/$$/stat)\"\n"
                  "} > \"$out.part\" && mv \"$out.part\" \"$out\"\n",
                  0755);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(FDir, ec);
    }

    static void WriteFile(const std::string& Path, const std::string& Text, mode_t Mode) {
        std::ofstream(Path) << Text;
        ::chmod(Path.c_str(), Mode);
    }

    // A fresh output file name in the private directory.
    std::string OutFile() { return FDir + "/out" + std::to_string(FOutCount++); }

    // The probe's report once it has written it ("" after a time-out).
    static std::string Report(const std::string& Out) {
        if (!zktest::WaitUntil([&] { return fs::exists(Out); })) return "";
        std::ifstream in(Out);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    // CreateProcessA with the usual arguments of the callers: inherit handles, new console,
    // normal priority, the caller's environment and directory.
    static bool Start(const std::string& Line, STARTUPINFOA* Info = nullptr,
                      PROCESS_INFORMATION* Out = nullptr, const char* Dir = nullptr,
                      void* Env = nullptr) {
        std::string line = Line;
        PROCESS_INFORMATION pi{};
        bool ok = CreateProcessA(nullptr, line.data(), nullptr, nullptr, true,
                                 CREATE_NEW_CONSOLE | NORMAL_PRIORITY_CLASS, Env, Dir, Info, &pi);
        if (ok && Out) *Out = pi;
        if (ok && !Out) {
            CloseHandle(pi.hProcess);
            CloseHandle(pi.hThread);
        }
        return ok;
    }

    static DWORD StartError(const std::string& Line, const char* Dir = nullptr) {
        SetLastError(ERROR_SUCCESS);
        EXPECT_FALSE(Start(Line, nullptr, nullptr, Dir)) << Line;
        return GetLastError();
    }

    std::string FDir;
    std::string FProbe;
    int FOutCount = 0;
};

// Processes whose parent is this process and that have ended but were not reaped.
std::vector<int> OurZombies() {
    std::vector<int> zombies;
    for (const auto& entry : fs::directory_iterator("/proc")) {
        std::string name = entry.path().filename();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        std::ifstream in(entry.path() / "stat");
        std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        size_t close = stat.rfind(')');
        if (close == std::string::npos) continue;
        char state = 0;
        int ppid = 0;
        if (std::sscanf(stat.c_str() + close + 1, " %c %d", &state, &ppid) != 2) continue;
        if (state == 'Z' && ppid == ::getpid()) zombies.push_back(std::stoi(name));
    }
    return zombies;
}

}  // namespace

TEST(CommandLine, SplitsLikeAShell) {
    struct Case {
        const char* Line;
        std::vector<std::string> Words;
    } cases[] = {
        {"prog a  b\tc\n", {"prog", "a", "b", "c"}},
        {"prog 'a b' \"c d\"", {"prog", "a b", "c d"}},
        {"prog a\\ b", {"prog", "a b"}},
        {"prog 'it''s' \"x\"y'z'", {"prog", "its", "xyz"}},
        {"prog '' \"\"", {"prog", "", ""}},
        {"prog 'a\\b' \"a\\b\" \"q\\\"q\" \"s\\\\s\"", {"prog", "a\\b", "a\\b", "q\"q", "s\\s"}},
        {"prog '$HOME' \"*\" ~", {"prog", "$HOME", "*", "~"}},
        {"prog \"a\\\nb\" c\\\nd", {"prog", "ab", "cd"}},
        {"   ", {}},
    };
    for (const Case& c : cases) {
        auto words = SplitCommandLine(c.Line);
        ASSERT_TRUE(words) << c.Line;
        EXPECT_EQ(*words, c.Words) << c.Line;
    }
    for (const char* bad : {"prog 'a", "prog \"a", "prog a\\", "prog \"a\\\""})
        EXPECT_FALSE(SplitCommandLine(bad)) << bad;
}

TEST(CommandLine, ShowRequestReplacesAnInheritedOne) {
    EXPECT_EQ(ShowWindowName(SW_SHOWMINIMIZED), "minimized");
    EXPECT_EQ(ShowWindowName(SW_SHOWNORMAL), "normal");
    EXPECT_EQ(ShowWindowName(9), "9");
    std::vector<std::string> env{"A=1", "DOCUVANE_SHOW=normal", "B=2"};
    EXPECT_EQ(WithShowRequest(env, "minimized"),
              (std::vector<std::string>{"A=1", "B=2", "DOCUVANE_SHOW=minimized"}));
    EXPECT_EQ(WithShowRequest(env, ""), (std::vector<std::string>{"A=1", "B=2"}));
    EXPECT_EQ(EnvironmentFromBlock("A=1\0B=\0\0"), (std::vector<std::string>{"A=1", "B="}));
}

TEST_F(ProcessTest, CommandLineIsSplitIntoTheProgramsArguments) {
    std::string out = OutFile();
    ASSERT_TRUE(Start("'" + FProbe + "' " + out + " plain 'two words' \"q\\\"d\" back\\ slash ''"));
    std::string report = Report(out);
    EXPECT_EQ(report.substr(0, report.find("show=")),
              "[plain]\n[two words]\n[q\"d]\n[back slash]\n[]\n");
}

TEST_F(ProcessTest, MinimisedShowRequestReachesTheProgram) {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOWMINIMIZED;
    std::string out = OutFile();
    ASSERT_TRUE(Start(FProbe + " " + out, &si));
    EXPECT_NE(Report(out).find("show=minimized\n"), std::string::npos);

    si.dwFlags = 0;  // the show value counts only with STARTF_USESHOWWINDOW
    out = OutFile();
    ASSERT_TRUE(Start(FProbe + " " + out, &si));
    EXPECT_NE(Report(out).find("show=unset\n"), std::string::npos);
}

TEST_F(ProcessTest, ProgramWithoutSlashIsFoundViaPath) {
    const char* old = std::getenv("PATH");
    std::string saved = old ? old : "";
    ::setenv("PATH", ("/nonexistent:" + FDir + ":/usr/bin:/bin").c_str(), 1);
    std::string out = OutFile();
    bool ok = Start("probe " + out + " found");
    DWORD missing = StartError("docuvane-no-such-program-here");
    ::setenv("PATH", saved.c_str(), 1);
    ASSERT_TRUE(ok);
    EXPECT_EQ(Report(out).rfind("[found]\n", 0), 0u);
    EXPECT_EQ(missing, ERROR_FILE_NOT_FOUND);
}

TEST_F(ProcessTest, StartFailuresSetTheLastError) {
    EXPECT_EQ(StartError(""), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(StartError("  \t "), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(StartError(FProbe + " 'unterminated"), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(StartError(FDir + "/missing"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(StartError(FDir + "/missing/deeper"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(StartError(FProbe + "/deeper"), ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(StartError(FDir), ERROR_ACCESS_DENIED);  // a directory
    WriteFile(FDir + "/text", "just text\n", 0644);
    EXPECT_EQ(StartError(FDir + "/text"), ERROR_ACCESS_DENIED);
    WriteFile(FDir + "/garbage",
              "\x7f"
              "ELF garbage\n",
              0755);
    EXPECT_EQ(StartError(FDir + "/garbage"), ERROR_BAD_EXE_FORMAT);
    EXPECT_EQ(StartError(FProbe + " " + OutFile(), (FDir + "/nodir").c_str()), ERROR_DIRECTORY);
}

TEST_F(ProcessTest, RefusedStartStepsSetTheirLastErrorAndLeaveNothingBehind) {
    using zk::platform::TSysCall;
    struct Case {
        TSysCall Call;
        int Errno;
        DWORD Error;
        HINST ShellCode;
    } cases[] = {
        {TSysCall::Pipe, EMFILE, ERROR_TOO_MANY_OPEN_FILES, SE_ERR_ACCESSDENIED},
        {TSysCall::Fork, ENOMEM, ERROR_NOT_ENOUGH_MEMORY, SE_ERR_OOM},
    };
    for (const Case& c : cases) {
        zk::platform::InjectSysError(c.Call, c.Errno);
        EXPECT_EQ(StartError(FProbe + " " + OutFile()), c.Error) << c.Errno;
        zk::platform::InjectSysError(c.Call, c.Errno);
        EXPECT_EQ(ShellExecuteA(0, "open", FProbe.c_str(), OutFile().c_str(), "", SW_SHOWNORMAL),
                  c.ShellCode)
            << c.Errno;
    }
    // Each injection was used up by its start, and an interrupted pipe call is repeated.
    zk::platform::InjectSysError(TSysCall::Pipe, EINTR, 2);
    std::string out = OutFile();
    ASSERT_TRUE(Start(FProbe + " " + out));
    EXPECT_FALSE(Report(out).empty());
    EXPECT_TRUE(OurZombies().empty());
}

TEST_F(ProcessTest, HandlesAreClosableAndIdsNameTheProgram) {
    PROCESS_INFORMATION pi{};
    std::string out = OutFile();
    ASSERT_TRUE(Start(FProbe + " " + out, nullptr, &pi));
    EXPECT_GT(pi.dwProcessId, 0u);
    EXPECT_EQ(pi.dwThreadId, pi.dwProcessId);
    EXPECT_NE(pi.hProcess, pi.hThread);
    EXPECT_TRUE(CloseHandle(pi.hProcess));
    EXPECT_TRUE(CloseHandle(pi.hThread));
    EXPECT_FALSE(CloseHandle(pi.hProcess));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(Report(out).empty());
}

TEST_F(ProcessTest, StartedProgramsAreNotOurChildrenAndLeaveNoZombies) {
    std::vector<std::string> outs;
    for (int i = 0; i < 5; ++i) {
        outs.push_back(OutFile());
        ASSERT_TRUE(Start(FProbe + " " + outs.back()));
        EXPECT_TRUE(OurZombies().empty());  // the intermediate child is already reaped
    }
    for (const std::string& out : outs) {
        std::string report = Report(out);
        ASSERT_FALSE(report.empty());
        EXPECT_EQ(report.find("ppid=" + std::to_string(::getpid()) + "\n"), std::string::npos);
    }
    EXPECT_TRUE(OurZombies().empty());
}

TEST_F(ProcessTest, NewConsoleStartsASessionOfItsOwn) {
    std::string out = OutFile();
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(Start(FProbe + " " + out, nullptr, &pi));
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    std::string report = Report(out);
    EXPECT_NE(report.find("sid=" + std::to_string(pi.dwProcessId) + "\n"), std::string::npos)
        << report;
}

TEST_F(ProcessTest, EnvironmentBlockDirectoryAndApplicationNameAreHonoured) {
    const char block[] = "FOO=from block\0PATH=/usr/bin:/bin\0";
    std::string out = OutFile();
    ASSERT_TRUE(Start(FProbe + " " + out, nullptr, nullptr, "/", const_cast<char*>(block)));
    std::string report = Report(out);
    EXPECT_NE(report.find("foo=from block\n"), std::string::npos) << report;
    EXPECT_NE(report.find("cwd=/\n"), std::string::npos) << report;

    // The application name is the program; the command line only gives the arguments.
    out = OutFile();
    std::string line = "not-a-program " + out + " arg";
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(CreateProcessA(FProbe.c_str(), line.data(), nullptr, nullptr, false, 0, nullptr,
                               nullptr, nullptr, &pi));
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    EXPECT_EQ(Report(out).rfind("[arg]\n", 0), 0u);
}

TEST_F(ProcessTest, ShellExecuteOpensTheFileAsAProgramWithItsParameters) {
    std::string spaced = FDir + "/probe with blanks";
    fs::copy_file(FProbe, spaced);
    std::string out = OutFile();
    std::string params = out + " 'p 1' p2";
    HINST r = ShellExecuteA(0, "open", spaced.c_str(), params.c_str(), "/", SW_SHOWNORMAL);
    EXPECT_GT(r, 32u);
    std::string report = Report(out);
    EXPECT_EQ(report.rfind("[p 1]\n[p2]\nshow=normal\n", 0), 0u) << report;
    EXPECT_NE(report.find("cwd=/\n"), std::string::npos) << report;
}

TEST_F(ProcessTest, ShellExecuteFailuresAreSmallCodes) {
    WriteFile(FDir + "/notes.txt", "not a program\n", 0644);
    struct Case {
        const char* Operation;
        std::string File;
        const char* Directory;
        HINST Code;
    } cases[] = {
        {"open", "", "", SE_ERR_FNF},
        {nullptr, FDir + "/missing", "", SE_ERR_FNF},
        {"open", "docuvane-no-such-program-here", nullptr, SE_ERR_FNF},
        {"open", FDir + "/notes.txt", "", SE_ERR_NOASSOC},
        {"print", FProbe, "", SE_ERR_NOASSOC},
        {"open", FProbe, "/nonexistent-directory", SE_ERR_PNF},
    };
    for (const Case& c : cases) {
        HINST r = ShellExecuteA(0, c.Operation, c.File.c_str(), "", c.Directory, SW_SHOWNORMAL);
        EXPECT_EQ(r, c.Code) << c.File << " " << (c.Operation ? c.Operation : "(null)");
    }
    EXPECT_TRUE(OurZombies().empty());
}
