// The ".fmf" file reader of the "YFMF" library.
#pragma once

class YFMFMeshSet;

class YFMFormat {
public:
    // Appends the file's mesh nodes and groups to the set; false (the set
    // left as it was) when the file cannot be opened, is not "YFMF", or is
    // cut short or inconsistent.
    static bool LoadFromFile(YFMFMeshSet* set, const char* path);
    static bool LoadFromMemory(YFMFMeshSet* set, const unsigned char* data, unsigned long size);
};
