// The designer program run as a person runs it: a form file, commands on standard input, the
// stand-in authoring application started through "Path", and the stored form afterwards.
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <regex>

#include "tests/expert/ExpertFixture.h"
#include "tests/support/Namespaces.h"

#if defined(ZK_DESIGNER_APP) && defined(ZK_DOCUVANE_APP)

using namespace zktest;

extern char** environ;

namespace {

// Runs the designer on Args with standard input from the file Commands, output to Log.
int RunDesigner(const std::vector<std::string>& Args, const std::string& Commands,
                const std::string& Log) {
    int saved = dup(0);
    int in = open(Commands.c_str(), O_RDONLY);
    dup2(in, 0);
    int status = RunProgram(ZK_DESIGNER_APP, Args, Log);
    dup2(saved, 0);
    close(saved);
    close(in);
    return status;
}

}  // namespace

TEST_F(ExpertTest, DesignerRunsTheTypicalRequestAndStoresTheNumbers) {
    FCommands.Close();
    std::string dir = FSlots.Path();
    std::ofstream(dir + "/Form1.dfm") << kDesignedForm;
    std::ofstream(dir + "/commands.txt")
        << "select Remember\nid 77\nselect OKButton\nmenu E&xit and Save Changes\n";
    std::string out = dir + "/out.dfm";
    std::string log = dir + "/run.log";
    int saved = dup(0);
    int in = open((dir + "/commands.txt").c_str(), O_RDONLY);
    dup2(in, 0);
    int status = RunProgram(ZK_DESIGNER_APP,
                            {"--script", dir + "/Form1.dfm", "--out", out, "--set-path",
                             std::string(ZK_DOCUVANE_APP) + " --exit-after 1"},
                            log);
    dup2(saved, 0);
    close(saved);
    close(in);
    SendToMailSlot(".", "HS", "bye");  // lets the stand-in reach its --exit-after
    ASSERT_EQ(status, 0) << ReadFileText(log);
    // The file as read, with only the changed number replaced.
    std::string expected = kDesignedForm;
    expected.replace(expected.find("HelpContext = -3"), 16, "HelpContext = 77");
    EXPECT_EQ(ReadFileText(out), expected);
    EXPECT_NE(ReadFileText(log).find("Docu&vane | &Help"), std::string::npos);

    // "--out -": standard output carries the form alone, the transcript goes to standard error.
    std::string piped = dir + "/piped.dfm";
    ASSERT_EQ(RunProgram("/bin/sh", {"-c", std::string(ZK_DESIGNER_APP) + " --script " + dir +
                                               "/Form1.dfm --out - --set-path /bin/true <" + dir +
                                               "/commands.txt >" + piped + " 2>" + log}),
              0)
        << ReadFileText(log);
    EXPECT_EQ(ReadFileText(piped), expected);
    EXPECT_NE(ReadFileText(log).find("Help contexts now:"), std::string::npos);
}

// Without --out the form file itself is replaced, and only when a number changed.
TEST_F(ExpertTest, DesignerStoresTheFormOnlyWhenANumberChanged) {
    FCommands.Close();
    std::string dir = FSlots.Path();
    std::string form = dir + "/Form1.dfm", log = dir + "/run.log";
    std::ofstream(form) << kDesignedForm;
    struct Run {
        const char* Commands;
        const char* Printed;
        const char* Number;  // Remember's line afterwards
    } runs[] = {
        {"select Remember\nid 77\nmenu &Exit\n", "is left as it was", "HelpContext = -3"},
        {"select Remember\nid 77\nselect OKButton\nmenu E&xit and Save Changes\n", "Stored ",
         "HelpContext = 77"},
    };
    for (const Run& r : runs) {
        SCOPED_TRACE(r.Commands);
        std::ofstream(dir + "/commands.txt") << r.Commands;
        int saved = dup(0);
        int in = open((dir + "/commands.txt").c_str(), O_RDONLY);
        dup2(in, 0);
        int status = RunProgram(
            ZK_DESIGNER_APP,
            {"--script", form, "--set-path", std::string(ZK_DOCUVANE_APP) + " --exit-after 1"},
            log);
        dup2(saved, 0);
        close(saved);
        close(in);
        SendToMailSlot(".", "HS", "bye");
        ASSERT_EQ(status, 0) << ReadFileText(log);
        EXPECT_NE(ReadFileText(log).find(r.Printed), std::string::npos) << ReadFileText(log);
        std::string expected = kDesignedForm;
        expected.replace(expected.find("HelpContext = -3"), 16, r.Number);
        EXPECT_EQ(ReadFileText(form), expected);
    }
}

TEST_F(ExpertTest, DesignerReportsABadFormFileAndStoresNothing) {
    std::string dir = FSlots.Path();
    const std::string bad = "object Form1: TForm1\n  object X: TNoSuchThing\n  end\n";
    std::ofstream(dir + "/Bad.dfm") << bad;
    std::string log = dir + "/run.log";
    EXPECT_EQ(
        RunProgram(ZK_DESIGNER_APP, {"--script", dir + "/Bad.dfm", "--out", dir + "/out.dfm"}, log),
        1);
    EXPECT_EQ(ReadFileText(log).substr(ReadFileText(log).find("designer:")),
              "designer: " + dir +
                  "/Bad.dfm:4:1: expected 'object', 'inherited', 'inline' or 'end', found the end "
                  "of the file\n");
    EXPECT_EQ(ReadFileText(dir + "/Bad.dfm"), bad);
    EXPECT_FALSE(std::ifstream(dir + "/out.dfm").good());
    EXPECT_EQ(RunProgram(ZK_DESIGNER_APP, {"--script"}, log), 2);
}

// 0 success, 1 a failed operation, 2 a bad command line.
TEST_F(ExpertTest, DesignerExitCodes) {
    std::string dir = FSlots.Path();
    std::string log = dir + "/run.log";
    std::ofstream(dir + "/Form1.dfm") << kDesignedForm;
    struct Case {
        std::vector<std::string> Args;
        int Status;
        const char* Output;  // searched for in standard output and error
    };
    const Case cases[] = {
        {{"--version"}, 0, R"(^designer \d+\.\d+\.\d+\n$)"},
        {{"--help"}, 0, R"(Usage: designer \[OPTIONS\] \[FORM\])"},
        {{dir + "/none.dfm"}, 1, "designer: cannot read .*/none.dfm: No such file or directory\n$"},
        {{dir + "/Form1.dfm", "--component", "NoSuch"},
         1,
         "designer: no component NoSuch on Form1\n$"},
        {{dir + "/Form1.dfm", "--component", "Label1"},
         1,
         "designer: Label1 \\(TLabel\\) has no HelpContext property\n$"},
        {{dir + "/none.dfm", "--component"}, 2, "--component"},
        {{"a.dfm", "b.dfm"}, 2, "b.dfm"},
        {{"--bogus", "a.dfm"}, 2, "^designer: .*--bogus\n$"},
        // An empty --set-path removes the stored one, and nothing can be started then.
        {{dir + "/Form1.dfm", "--set-path", ""},
         1,
         "\ndesigner: no \"Path\" is stored under Software\\\\Vdx; set one with --set-path "
         "COMMAND\n$"},
    };
    FRegistry.SetContent("['HKEY_CURRENT_USER\\Software\\Vdx']\nPath = '/bin/true'\n");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Args[0]);
        std::vector<std::string> args{"--script"};
        args.insert(args.end(), c.Args.begin(), c.Args.end());
        EXPECT_EQ(RunProgram(ZK_DESIGNER_APP, args, log), c.Status);
        EXPECT_TRUE(std::regex_search(ReadFileText(log), std::regex(c.Output)))
            << ReadFileText(log);
    }
}

// Mistyped commands each get one line naming the command and what was wrong; the session
// goes on, and with --keep-going the commands after them still number the form. The run fails
// all the same, and without --keep-going the form is not stored.
TEST_F(ExpertTest, DesignerReportsMistypedCommandsAndGoesOn) {
    std::string dir = FSlots.Path();
    std::ofstream(dir + "/Form1.dfm") << kDesignedForm;
    struct Case {
        const char* Command;
        const char* Report;
    } cases[] = {
        {"key abc", "? key: 'abc' is not a number"},
        {"key 70000", "? key: '70000' is no key code (0 to 65535)"},
        {"key 99999999999", "? key: '99999999999' is too large"},
        {"page x", "? page: 'x' is not a number"},
        {"page -1", "? page: '-1' is below 0"},
        {"page 2", "? page: no page 2 (the notebook has pages 0 to 1)"},
        {"select 9", "? select: no node 9 (the tree has 3 nodes)"},
        {"select Nope", "? select: no node whose text starts with 'Nope'"},
        {"select", "? select: missing argument (select N | TEXT)"},
        {"id", "? id: missing argument (id NUMBER)"},
        {"type", "? type: missing argument (type CONTROL [TEXT])"},
        {"type NoSuch 5", "? type: no such control: NoSuch"},
        {"click", "? click: missing argument (click CONTROL)"},
        {"menu Nothing", "? menu: no menu command Nothing"},
        {"show now", "? show: takes nothing, not 'now'"},
        {"frobnicate 3",
         "? frobnicate: unknown command (commands: show, select, id, type, click, page, menu, "
         "key, close)"},
    };
    std::string commands;
    for (const Case& c : cases) commands += std::string(c.Command) + "\n";
    commands += "select OKButton\nid 42\nselect 0\nmenu E&xit and Save Changes\n";
    std::ofstream(dir + "/commands.txt") << commands;
    std::string log = dir + "/run.log";
    std::string out = dir + "/out.dfm";
    ASSERT_EQ(RunDesigner({"--script", dir + "/Form1.dfm", "--out", out, "--set-path", "/bin/true"},
                          dir + "/commands.txt", log),
              1)
        << ReadFileText(log);
    EXPECT_FALSE(std::ifstream(out).good());
    const std::string refused =
        "designer: a command failed; the form is not stored (--keep-going stores it all the "
        "same)\n";
    EXPECT_TRUE(ReadFileText(log).ends_with(refused)) << ReadFileText(log);
    ASSERT_EQ(RunDesigner({"--script", dir + "/Form1.dfm", "--out", out, "--keep-going"},
                          dir + "/commands.txt", log),
              1)
        << ReadFileText(log);
    std::string output = ReadFileText(log);
    for (const Case& c : cases)
        EXPECT_NE(output.find(std::string("> ") + c.Command + "\n" + c.Report + "\n"),
                  std::string::npos)
            << c.Command << "\n"
            << output;
    EXPECT_NE(ReadFileText(out).find("HelpContext = 42"), std::string::npos) << output;
}

// "select NAME" finds a component's node by its name when the node texts do not show names.
TEST_F(ExpertTest, DesignerSelectsByComponentNameWhateverTheNodesShow) {
    std::string dir = FSlots.Path();
    std::ofstream(dir + "/Form1.dfm") << kDesignedForm;
    FRegistry.SetContent(
        "['HKEY_CURRENT_USER\\Software\\Vdx']\n"
        "Path = '/bin/true'\nShowName = 0\nShowClassName = 1\nShowCaption = 1\n");
    std::ofstream(dir + "/commands.txt")
        << "select okbutton\nid 42\nselect Form1\nid 7\nselect Remember\n"
           "menu E&xit and Save Changes\n";
    std::string log = dir + "/run.log";
    std::string out = dir + "/out.dfm";
    ASSERT_EQ(
        RunDesigner({"--script", dir + "/Form1.dfm", "--out", out}, dir + "/commands.txt", log), 0)
        << ReadFileText(log);
    std::string expected = kDesignedForm;
    expected.replace(expected.find("HelpContext = 5"), 15, "HelpContext = 7");
    expected.replace(expected.find("HelpContext = 120"), 17, "HelpContext = 42");
    EXPECT_EQ(ReadFileText(out), expected) << ReadFileText(log);
}

// Settings of another type count as malformed (all three boxes on) and other values of such a
// type survive the save byte for byte; error boxes, message boxes and help jumps are printed.
TEST_F(ExpertTest, DesignerShowsSettingsOfAnotherTypeAsAllOn) {
    std::string dir = FSlots.Path();
    std::ofstream(dir + "/Form1.dfm") << kDesignedForm;
    FRegistry.SetContent(
        "['HKEY_CURRENT_USER\\Software\\Vdx']\n"
        "ShowName = true\nShowClassName = 0\nShowCaption = 0\nZoom = 1.50\n");
    std::ofstream(dir + "/commands.txt") << "page 1\nshow\nclick cb1\nmenu &Exit\n";
    std::string log = dir + "/run.log";
    ASSERT_EQ(RunDesigner({"--script", dir + "/Form1.dfm", "--out", dir + "/out.dfm", "--set-path",
                           "/bin/true"},
                          dir + "/commands.txt", log),
              0)
        << ReadFileText(log);
    std::string output = ReadFileText(log);
    std::string shown = output.substr(output.find("> show\n"));
    for (const char* box : {"[x] \"Show Name\"", "[x] \"Show Class Name\"", "[x] \"Show Caption\""})
        EXPECT_NE(shown.find(box), std::string::npos) << box << "\n" << output;
    std::string registry = FRegistry.Content();
    for (const char* value : {"\nShowName = 0\n", "\nShowClassName = 1\n", "\nShowCaption = 1\n",
                              "\nZoom = 1.50\n", "\nPath = '/bin/true'\n"})
        EXPECT_NE(registry.find(value), std::string::npos) << value << "\n" << registry;
}

// A registry that turns corrupt while the window is open: "&Exit" cannot save the settings, and
// the error box says so; help jumps and message boxes reach the terminal too.
TEST_F(ExpertTest, DesignerPrintsErrorBoxesHelpJumpsAndMessageBoxes) {
    std::string dir = FSlots.Path();
    std::ofstream(dir + "/Form1.dfm") << kDesignedForm;
    std::string log = dir + "/run.log";
    int commands[2];
    ASSERT_EQ(pipe2(commands, O_CLOEXEC), 0);
    int saved = dup(0);
    dup2(commands[0], 0);
    Child designer(ZK_DESIGNER_APP,
                   {dir + "/Form1.dfm", "--out", dir + "/out.dfm", "--set-path", "/bin/true"}, log);
    dup2(saved, 0);
    close(saved);
    close(commands[0]);
    bool opened =
        WaitUntil([&] { return ReadFileText(log).find("(commands:") != std::string::npos; },
                  std::chrono::seconds(30));
    FRegistry.SetContent("['HKEY_CURRENT_USER\\Software\\Vdx'\n");
    const std::string input = "key 112\nmenu &About...\nmenu &Exit\n";
    EXPECT_EQ(write(commands[1], input.data(), input.size()), static_cast<ssize_t>(input.size()));
    close(commands[1]);
    designer.Wait();
    ASSERT_TRUE(opened) << ReadFileText(log);
    std::string output = ReadFileText(log);
    EXPECT_NE(output.find("> key 112\n[help] vdx3.hlp: Help2100\n"), std::string::npos) << output;
    EXPECT_NE(output.find("> menu &About...\n[message] Docuvane Help Expert\n          "),
              std::string::npos)
        << output;
    EXPECT_NE(
        output.find("> menu &Exit\n[error] Registry file " + FRegistry.File() + " is corrupt: "),
        std::string::npos)
        << output;
}

// The authoring application the designer starts keeps running after the designer ends, but
// none of the designer's output: "designer ... | cat" ends with the designer.
TEST_F(ExpertTest, DesignerOutputEndsWithTheDesignerNotWithTheStartedApplication) {
    std::string dir = FSlots.Path();
    std::ofstream(dir + "/Form1.dfm") << kDesignedForm;
    std::ofstream(dir + "/commands.txt") << "close\n";
    std::string started = dir + "/started";
    std::string path = std::string(ZK_DOCUVANE_APP) + " --slot DetachProbe --exit-after 1 " +
                       "--started-file " + started;
    std::vector<std::string> args = {ZK_DESIGNER_APP,  dir + "/Form1.dfm", "--out",
                                     dir + "/out.dfm", "--set-path",       path};
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    int output[2];
    ASSERT_EQ(pipe2(output, O_CLOEXEC), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, (dir + "/commands.txt").c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, output[1], 1);
    posix_spawn_file_actions_adddup2(&actions, output[1], 2);
    pid_t pid = -1;
    int rc = posix_spawn(&pid, ZK_DESIGNER_APP, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(output[1]);
    ASSERT_EQ(rc, 0);
    // Read to the end of the output; the time limit only guards against hanging for good.
    std::string text;
    bool ended = false;
    for (;;) {
        pollfd p{output[0], POLLIN, 0};
        if (poll(&p, 1, 30000) != 1) break;
        char buf[4096];
        ssize_t n = read(output[0], buf, sizeof buf);
        if (n <= 0) {
            ended = n == 0;
            break;
        }
        text.append(buf, static_cast<size_t>(n));
    }
    close(output[0]);
    int status = -1;
    waitpid(pid, &status, 0);
    bool running = WaitUntil([&] { return access(started.c_str(), F_OK) == 0; });
    // Ends the stand-in (it still runs, so the slot is there).
    bool reached = SendToMailSlot(".", "DetachProbe", "bye");
    EXPECT_TRUE(ended) << text;
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << text;
    EXPECT_TRUE(running) << text;
    EXPECT_TRUE(reached) << text;
}

#endif
