// The sample models: the five planes with every group the game looks up,
// the arrow and the target as "YSMO" files; a tree with detail levels and
// the bear with its animations as "YFMF" mesh sets.  Written into the data
// folder's "models" folder.
#pragma once

#include <string>
#include <vector>

class YSMObject;
class YFMFMeshSet;

class YSampleModels {
public:
    struct Plane {
        const char* key;     // file "<key>.ysm"
        const char* livery;  // the group that carries the livery frames
        const char* vert;    // "VertCompress" tag
        const char* zip;     // "ZCompress" tag
    };
    static const std::vector<Plane>& Planes();

    static void MakePlane(const Plane& plane, YSMObject& model);
    static void MakeArrow(YSMObject& model);
    static void MakeTarget(YSMObject& model);
    // A barn with a ridge roof, standing on the ground at its origin.
    static void MakeBarn(YSMObject& model);
    static void MakeTree(YFMFMeshSet& set);
    static void MakeBear(YFMFMeshSet& set);
    // The bear's animations, with their key counts.
    static const std::vector<std::pair<const char*, int>>& BearAnimations();

    static bool WriteAll(const std::string& folder, std::string& error);
};
