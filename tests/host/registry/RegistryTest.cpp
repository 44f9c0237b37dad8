#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "zk/host/platform/SysCalls.h"
#include "zk/host/registry/Registry.h"
#include "tests/host/registry/TempRegistry.h"
#include "tests/support/Namespaces.h"

namespace {

class RegistryTest : public ::testing::Test {
  protected:
    void TearDown() override { zk::platform::ClearSysErrors(); }

    // A registry with "Software\Vdx" open (created when missing).
    static std::unique_ptr<TRegistry> OpenVdx() {
        auto reg = std::make_unique<TRegistry>();
        EXPECT_TRUE(reg->OpenKey("Software\\Vdx", true));
        return reg;
    }

    static std::string MessageOf(const std::function<void()>& Body) {
        try {
            Body();
        } catch (const ERegistryException& e) {
            return e.Message();
        }
        return "(nothing raised)";
    }

    zktest::TempRegistry FRegistry;
};

// Runs Body in a forked child; the child's exit status is 0 when Body returned normally.
pid_t Fork(const std::function<void()>& Body) {
    pid_t pid = ::fork();
    if (pid == 0) {
        int status = 0;
        try {
            Body();
        } catch (...) {
            status = 1;
        }
        ::_exit(status);
    }
    return pid;
}

int ExitStatus(pid_t Pid) {
    int status = 0;
    if (::waitpid(Pid, &status, 0) != Pid) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace

TEST_F(RegistryTest, MissingStringReadsEmptyButMissingBoolAndIntegerRaise) {
    auto reg = OpenVdx();
    EXPECT_EQ(reg->ReadString("Path"), "");
    EXPECT_EQ(MessageOf([&] { reg->ReadBool("ShowName"); }), "Failed to get data for 'ShowName'");
    EXPECT_EQ(MessageOf([&] { reg->ReadInteger("Width"); }), "Failed to get data for 'Width'");
    EXPECT_FALSE(reg->ValueExists("ShowName"));
    EXPECT_EQ(reg->GetDataType("ShowName"), rdUnknown);
}

TEST_F(RegistryTest, ReadingAValueOfTheOtherTypeRaises) {
    auto reg = OpenVdx();
    reg->WriteInteger("Path", 5);
    reg->WriteString("ShowName", "yes");
    EXPECT_EQ(MessageOf([&] { reg->ReadString("Path"); }), "Invalid data type for 'Path'");
    EXPECT_EQ(MessageOf([&] { reg->ReadBool("ShowName"); }), "Invalid data type for 'ShowName'");
    EXPECT_EQ(reg->GetDataType("Path"), rdInteger);
    EXPECT_EQ(reg->GetDataType("ShowName"), rdString);
}

TEST_F(RegistryTest, BooleansAreStoredAsIntegersZeroAndOne) {
    auto reg = OpenVdx();
    reg->WriteBool("ShowName", true);
    reg->WriteBool("ShowCaption", false);
    EXPECT_EQ(reg->ReadInteger("ShowName"), 1);
    EXPECT_EQ(reg->ReadInteger("ShowCaption"), 0);
    reg->WriteInteger("ShowClassName", 7);
    EXPECT_TRUE(reg->ReadBool("ShowClassName"));  // any nonzero integer is true
    EXPECT_FALSE(reg->ReadBool("ShowCaption"));
    std::string text = FRegistry.Content();
    EXPECT_NE(text.find("['HKEY_CURRENT_USER\\Software\\Vdx']"), std::string::npos) << text;
    EXPECT_NE(text.find("ShowName = 1"), std::string::npos) << text;
    EXPECT_NE(text.find("ShowCaption = 0"), std::string::npos) << text;
}

TEST_F(RegistryTest, ReadsAHandWrittenFile) {
    FRegistry.SetContent(
        "[\"HKEY_CURRENT_USER\\\\Software\\\\Vdx\"]\n"
        "Path = \"/opt/docuvane/bin/docuvane --minimized\"\n"
        "ShowName = 0\n"
        "Big = 4294967295\n");
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("Software\\Vdx", false));
    EXPECT_EQ(reg.ReadString("Path"), "/opt/docuvane/bin/docuvane --minimized");
    EXPECT_FALSE(reg.ReadBool("ShowName"));
    EXPECT_EQ(reg.ReadInteger("Big"), -1);  // unsigned 32-bit data reads as Integer
}

TEST_F(RegistryTest, TextsRoundTripExactly) {
    auto reg = OpenVdx();
    const std::string tricky =
        "a 'quoted' \"path\" with \\ back\\slashes, tab\t, line\nfeed, \xc3\xa9";
    reg->WriteString("Path", tricky);
    reg->WriteString("", "default value");
    TRegistry other;
    ASSERT_TRUE(other.OpenKey("Software\\Vdx", false));
    EXPECT_EQ(other.ReadString("Path"), tricky);
    EXPECT_EQ(other.ReadString(""), "default value");
}

TEST_F(RegistryTest, TextThatIsNotUtf8IsRefusedAndNothingIsWritten) {
    auto reg = OpenVdx();
    reg->WriteString("Path", "/bin/true");
    std::string before = FRegistry.Content();
    EXPECT_THROW(reg->WriteString("Path", "caf\xe9"), ERegistryException);
    EXPECT_EQ(FRegistry.Content(), before);
}

TEST_F(RegistryTest, OpenKeyCreatesOnlyWhenAllowedAndTheKeyPersists) {
    TRegistry reg;
    EXPECT_FALSE(reg.OpenKey("Software\\Vdx", false));
    EXPECT_FALSE(reg.KeyOpen());
    EXPECT_FALSE(std::filesystem::exists(FRegistry.File()));  // a failed open writes nothing
    EXPECT_TRUE(reg.OpenKey("Software\\Vdx", true));
    EXPECT_EQ(reg.CurrentPath(), "Software\\Vdx");

    TRegistry later;
    EXPECT_TRUE(later.OpenKey("Software\\Vdx", false));
    EXPECT_TRUE(later.OpenKey("\\Software", false));  // an ancestor of a key exists too
}

TEST_F(RegistryTest, KeyPathsAndValueNamesIgnoreCase) {
    auto reg = OpenVdx();
    reg->WriteString("Path", "/bin/true");
    TRegistry other;
    ASSERT_TRUE(other.OpenKey("SOFTWARE\\vdx", false));
    EXPECT_EQ(other.ReadString("PATH"), "/bin/true");
    other.WriteString("path", "/bin/false");  // replaces the value, keeps its spelling
    std::string text = FRegistry.Content();
    EXPECT_NE(text.find("Path = '/bin/false'"), std::string::npos) << text;
    EXPECT_EQ(text.find("path ="), std::string::npos) << text;
}

TEST_F(RegistryTest, RelativeKeysOpenBelowTheOpenKeyAndLeadingBackslashFromTheRoot) {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("Software", true));
    ASSERT_TRUE(reg.OpenKey("Vdx", true));
    EXPECT_EQ(reg.CurrentPath(), "Software\\Vdx");
    ASSERT_TRUE(reg.OpenKey("\\Other", true));
    EXPECT_EQ(reg.CurrentPath(), "Other");
}

TEST_F(RegistryTest, WithoutAnOpenKeyReadsAndWritesRaise) {
    TRegistry reg;
    EXPECT_EQ(MessageOf([&] { reg.ReadString("Path"); }), "Failed to get data for 'Path'");
    EXPECT_EQ(MessageOf([&] { reg.WriteBool("ShowName", true); }),
              "Failed to set data for 'ShowName'");
    EXPECT_FALSE(reg.ValueExists("Path"));
    EXPECT_FALSE(reg.DeleteValue("Path"));
    auto open = OpenVdx();
    open->WriteString("Path", "/bin/true");
    open->CloseKey();
    EXPECT_THROW(open->ReadString("Path"), ERegistryException);
}

TEST_F(RegistryTest, OnlyTheCurrentUsersHiveIsKept) {
    TRegistry reg;
    EXPECT_EQ(reg.RootKey(), HKEY_CURRENT_USER);
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    EXPECT_FALSE(reg.OpenKey("Software\\Vdx", true));
    EXPECT_FALSE(std::filesystem::exists(FRegistry.File()));
}

TEST_F(RegistryTest, DeleteValueRemovesOnlyThatValue) {
    auto reg = OpenVdx();
    reg->WriteBool("ShowName", true);
    reg->WriteBool("ShowCaption", true);
    EXPECT_TRUE(reg->DeleteValue("ShowName"));
    EXPECT_FALSE(reg->DeleteValue("ShowName"));
    EXPECT_FALSE(reg->ValueExists("ShowName"));
    EXPECT_TRUE(reg->ReadBool("ShowCaption"));
}

TEST_F(RegistryTest, CorruptFileRaisesNamingTheFileAndIsNeverOverwritten) {
    const std::string broken = "['HKEY_CURRENT_USER\\Software\\Vdx'\nPath = 'x'\n";
    FRegistry.SetContent(broken);
    TRegistry reg;
    std::string msg = MessageOf([&] { reg.OpenKey("Software\\Vdx", true); });
    EXPECT_EQ(msg.rfind("Registry file " + FRegistry.File() + " is corrupt: ", 0), 0u) << msg;
    EXPECT_NE(msg.find("line 1"), std::string::npos) << msg;

    // A key that exists is opened without a write, but writing must not replace the file.
    FRegistry.SetContent("['HKEY_CURRENT_USER\\Software\\Vdx']\nPath = 'x'\n");
    ASSERT_TRUE(reg.OpenKey("Software\\Vdx", false));
    FRegistry.SetContent(broken);
    EXPECT_THROW(reg.WriteBool("ShowName", true), ERegistryException);
    EXPECT_THROW(reg.DeleteValue("Path"), ERegistryException);
    EXPECT_THROW(reg.ReadString("Path"), ERegistryException);
    EXPECT_EQ(FRegistry.Content(), broken);
}

TEST_F(RegistryTest, EntriesOutsideTheKeyLayoutMakeTheFileCorrupt) {
    for (const char* text : {"Loose = 'value outside any key'\n",
                             "['HKEY_CURRENT_USER\\Software\\Vdx'.Sub]\nShowName = 1\n",
                             "[['HKEY_CURRENT_USER\\Software\\Vdx'.List]]\nShowName = 1\n",
                             "['HKEY_CURRENT_USER\\Software\\Vdx']\nShow.Name = 1\n"}) {
        FRegistry.SetContent(text);
        TRegistry reg;
        std::string msg = MessageOf([&] { reg.OpenKey("Software\\Vdx", false); });
        EXPECT_NE(msg.find("is corrupt"), std::string::npos) << text << " -> " << msg;
        EXPECT_EQ(FRegistry.Content(), text);
    }
}

// Values of a type the registry cannot hold are no corruption: reading one is a type error of
// that value alone, and writing any other value keeps its text exactly as it was written.
TEST_F(RegistryTest, ValuesOfOtherTomlTypesAreKeptAsWrittenAndReadAsTheWrongType) {
    struct Case {
        const char* Name;
        const char* Toml;
    } cases[] = {
        {"Flag", "true"},
        {"Ratio", "1.50"},
        {"Big", "4294967296"},
        {"Huge", "0xFFFFFFFFFF"},
        {"When", "1979-05-27T07:32:00Z"},
        {"List", "[ 1,\n  'd\xc3\xa9j\xc3\xa0' ]"},
        {"Table", "{ a = 'caf\xc3\xa9', b = { c = 1e3 } }"},
    };
    std::string text = "['HKEY_CURRENT_USER\\Software\\Vdx']\nPath = '/bin/true'\n";
    for (const Case& c : cases) text += std::string(c.Name) + " = " + c.Toml + "   # note\n";
    FRegistry.SetContent(text);

    auto reg = OpenVdx();
    EXPECT_EQ(reg->ReadString("Path"), "/bin/true");
    reg->WriteBool("ShowName", false);
    reg->WriteString("Path", "/bin/false");
    std::string written = FRegistry.Content();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::string invalid = std::string("Invalid data type for '") + c.Name + "'";
        EXPECT_EQ(MessageOf([&] { reg->ReadBool(c.Name); }), invalid);
        EXPECT_EQ(MessageOf([&] { reg->ReadInteger(c.Name); }), invalid);
        EXPECT_EQ(MessageOf([&] { reg->ReadString(c.Name); }), invalid);
        EXPECT_TRUE(reg->ValueExists(c.Name));
        EXPECT_EQ(reg->GetDataType(c.Name), rdUnknown);
        EXPECT_NE(written.find("\n" + std::string(c.Name) + " = " + c.Toml + "\n"),
                  std::string::npos)
            << written;
    }
    EXPECT_FALSE(reg->ReadBool("ShowName"));
    EXPECT_EQ(reg->ReadString("Path"), "/bin/false");

    // Overwriting or deleting one replaces only that one.
    reg->WriteBool("Flag", true);
    EXPECT_TRUE(reg->DeleteValue("Ratio"));
    EXPECT_TRUE(reg->ReadBool("Flag"));
    EXPECT_FALSE(reg->ValueExists("Ratio"));
    EXPECT_NE(FRegistry.Content().find("\nWhen = 1979-05-27T07:32:00Z\n"), std::string::npos);
}

TEST_F(RegistryTest, FailedReplacementLeavesTheOldFileAndNoTemporaryFile) {
    auto reg = OpenVdx();
    reg->WriteString("Path", "/bin/true");
    std::string before = FRegistry.Content();
    for (zk::platform::TSysCall call :
         {zk::platform::TSysCall::Rename, zk::platform::TSysCall::Write}) {
        zk::platform::InjectSysError(call, ENOSPC);
        EXPECT_THROW(reg->WriteString("Path", "/bin/false"), ERegistryException);
        zk::platform::ClearSysErrors();
        EXPECT_EQ(FRegistry.Content(), before);
        EXPECT_FALSE(std::filesystem::exists(FRegistry.File() + ".tmp"));
    }
    EXPECT_EQ(reg->ReadString("Path"), "/bin/true");
}

TEST_F(RegistryTest, DefaultFileLivesInTheUsersConfigDirectory) {
    ::unsetenv("DOCUVANE_REGISTRY");
    ::setenv("XDG_CONFIG_HOME", FRegistry.Dir().c_str(), 1);
    EXPECT_EQ(TRegistry::FileName(), FRegistry.Dir() + "/docuvane/registry.toml");
    {
        auto reg = OpenVdx();  // creates the missing docuvane directory
        reg->WriteBool("ShowName", true);
    }
    EXPECT_TRUE(std::filesystem::exists(FRegistry.Dir() + "/docuvane/registry.toml"));
    ::unsetenv("XDG_CONFIG_HOME");
    ::setenv("HOME", FRegistry.Dir().c_str(), 1);
    EXPECT_EQ(TRegistry::FileName(), FRegistry.Dir() + "/.config/docuvane/registry.toml");
}

TEST_F(RegistryTest, TwoProcessesWritingAtOnceKeepEachOthersValues) {
    OpenVdx();
    constexpr int kEach = 40;
    auto writer = [](const char* Prefix) {
        return [Prefix] {
            TRegistry reg;
            if (!reg.OpenKey("Software\\Vdx", false)) throw ERegistryException("not opened");
            for (int i = 0; i < kEach; ++i) reg.WriteInteger(Prefix + std::to_string(i), i);
        };
    };
    pid_t a = Fork(writer("A"));
    pid_t b = Fork(writer("B"));
    ASSERT_GT(a, 0);
    ASSERT_GT(b, 0);
    EXPECT_EQ(ExitStatus(a), 0);
    EXPECT_EQ(ExitStatus(b), 0);
    auto reg = OpenVdx();
    for (int i = 0; i < kEach; ++i) {
        EXPECT_EQ(reg->ReadInteger("A" + std::to_string(i)), i);
        EXPECT_EQ(reg->ReadInteger("B" + std::to_string(i)), i);
    }
}

TEST_F(RegistryTest, ReadersNeverSeeAHalfWrittenFile) {
    auto reg = OpenVdx();
    const std::string big(20000, 'x');
    reg->WriteString("Big", big);
    pid_t writer = Fork([&] {
        TRegistry w;
        w.OpenKey("Software\\Vdx", false);
        for (int i = 0; i < 100; ++i) w.WriteString("Big", i % 2 ? big : big + "y");
    });
    ASSERT_GT(writer, 0);
    int status = -1;
    // Reads while the writer replaces the file; every read sees one whole version or the other.
    while (::waitpid(writer, &status, WNOHANG) == 0) {
        std::string v = reg->ReadString("Big");
        ASSERT_TRUE(v == big || v == big + "y") << v.size();
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}
