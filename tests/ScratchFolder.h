// A fresh folder under /tmp for one test, removed with all it holds.  Entered,
// it is also the current folder and the drive root of game paths until the
// test ends.
#pragma once

#include "platform/FilePath.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

class ScratchFolder {
public:
    enum Mode { Stay, Enter };

    explicit ScratchFolder(Mode mode = Stay) : m_entered(mode == Enter)
    {
        char pattern[] = "/tmp/rcv_test_XXXXXX";
        if (!mkdtemp(pattern)) throw std::runtime_error("no scratch folder");
        m_path = pattern;
        if (m_entered) {
            m_oldCwd = std::filesystem::current_path().string();
            m_oldStart = platform::GetStartFolder();
            platform::SetStartFolder(m_path);
            std::filesystem::current_path(m_path);
        }
    }

    ~ScratchFolder()
    {
        std::error_code ignored;
        if (m_entered) {
            std::filesystem::current_path(m_oldCwd, ignored);
            platform::SetStartFolder(m_oldStart);
        }
        std::filesystem::remove_all(m_path, ignored);
    }

    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& Path() const { return m_path; }
    std::string operator/(const std::string& name) const { return m_path + "/" + name; }

    // Writes a file below the folder, making the folders on its way.
    void Write(const std::string& name, const std::string& bytes) const
    {
        std::filesystem::path file(*this / name);
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << bytes;
    }
    void Write(const std::string& name, const std::vector<uint8_t>& bytes) const
    {
        Write(name, std::string(bytes.begin(), bytes.end()));
    }
    void MakeFolder(const std::string& name) const { std::filesystem::create_directories(*this / name); }

    // The file's bytes, or "" when it cannot be read.
    std::string Read(const std::string& name) const
    {
        std::ifstream in(*this / name, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

private:
    std::string m_path;
    bool m_entered;
    std::string m_oldCwd;
    std::string m_oldStart;
};
