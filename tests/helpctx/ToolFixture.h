// The helpctx tool as a script runs it: a separate process in a folder of the test's own, its
// exit status, and what it printed (standard output and error together).
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/TestSupport.h"

#ifdef ZK_HELPCTX_TOOL

namespace zktest {

class HelpctxFixture : public ::testing::Test {
  protected:
    std::filesystem::path FDir =
        std::filesystem::temp_directory_path() /
        ("helpctx-" + std::to_string(::getpid()) + "-" +
         ::testing::UnitTest::GetInstance()->current_test_info()->test_suite_name() + "-" +
         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::string FOut = (FDir / "out.txt").string();

    void SetUp() override { std::filesystem::create_directories(FDir); }
    void TearDown() override { std::filesystem::remove_all(FDir); }

    // Writes Text to Path (a relative one inside the test's folder); returns the path.
    std::string Write(const std::string& Path, const std::string& Text) const {
        std::string path = (FDir / Path).string();
        std::ofstream(path, std::ios::binary) << Text;
        return path;
    }
    int Run(const std::vector<std::string>& Args) const {
        return RunProgram(ZK_HELPCTX_TOOL, Args, FOut);
    }
    std::string Output() const { return ReadFileText(FOut); }
};

}  // namespace zktest

#endif
