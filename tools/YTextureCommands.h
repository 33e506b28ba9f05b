// The data builder's texture commands:
//   textures DESCRIPTION FOLDER   writes the ".ytx" textures a description lists
//   texture TEXTURE               prints a ".ytx" texture as text
#pragma once

class YTextureCommands {
public:
    // False when the arguments name none of these commands; else the
    // command ran and result holds its exit code.
    static bool Run(int argc, char** argv, int& result);
};
