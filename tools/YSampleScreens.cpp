#include "tools/YSampleScreens.h"

#include <dirent.h>
#include <fstream>
#include <sstream>

std::string YSampleScreens::WithCrLf(const std::string& text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        if (text[i] == '\n') out += '\r';
        out += text[i];
    }
    return out;
}

bool YSampleScreens::WriteAll(const std::string& source, const std::string& folder, std::string& error)
{
    DIR* dir = opendir(source.c_str());
    if (!dir) {
        error = "cannot list " + source;
        return false;
    }
    int written = 0;
    while (dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        const std::string suffix = name.size() > 4 ? name.substr(name.size() - 4) : "";
        if (suffix != ".scr" && suffix != ".cfg") continue;
        std::ifstream in(source + "/" + name, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        std::ofstream out(folder + "/" + name, std::ios::binary);
        out << (suffix == ".scr" ? WithCrLf(text.str()) : text.str());
        if (!in || !out) {
            closedir(dir);
            error = "cannot copy " + name;
            return false;
        }
        ++written;
    }
    closedir(dir);
    if (!written) error = "no screen scripts in " + source;
    return written > 0;
}
