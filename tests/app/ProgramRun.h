// Runs the real program headless on a fresh copy of the sample data.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

struct ProgramResult {
    int exitCode;
    std::string err;
};

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = std::filesystem::temp_directory_path() /
                ("rcv_app_" + std::to_string(getpid()) + "_" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(m_dir);
        std::filesystem::copy(RCV_DATA_DIR, m_dir, std::filesystem::copy_options::recursive);
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    // The program opens the setup screen "screens.scr:InterfaceGameBD" over
    // what "sys_exec" showed; renamed, the section is not found and the
    // setup layer stays empty.
    void WithoutSetupScreen()
    {
        std::string screens = Read("screens.scr");
        const size_t at = screens.find("\r\nInterfaceGameBD\r\n");
        if (at == std::string::npos) {
            ASSERT_NE(std::string::npos, screens.find("\r\nNoSetupScreenHe\r\n"));
            return;
        }
        screens.replace(at + 2, 15, "NoSetupScreenHe");
        Write("screens.scr", screens);
    }

    void Write(const char* name, const std::string& text) { std::ofstream(m_dir / name, std::ios::binary) << text; }
    std::string Read(const char* name) const
    {
        std::ifstream in(m_dir / name, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    // `environment` is added to the command line, e.g. "RCV_FORCE='bpp8'".
    ProgramResult RunWith(const std::string& environment, int frames, int seconds = 60)
    {
        std::string err = (m_dir / "stderr.txt").string();
        std::string command = "cd '" + m_dir.string() + "' && RCV_BACKEND=headless RCV_FIXED_STEP_MS=20 RCV_MAX_FRAMES=" +
                              std::to_string(frames) + " " + environment + " timeout " + std::to_string(seconds) + " '" RCVOLARO_BIN +
                              "' > /dev/null 2> '" + err + "'";
        int status = std::system(command.c_str());
        ProgramResult result;
        result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        result.err = Read("stderr.txt");
        return result;
    }

    std::filesystem::path m_dir;
};
