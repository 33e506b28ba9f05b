// The fixed camera path of the map frame tool, its goldens and its
// benchmark: a circle round the map's water (or its middle), eye 16 m above
// the ground, looking at the centre and slightly down (pitch below 0); and one map frame
// drawn through the renderer's frame operations in the 3D view's order.
#pragma once

#include <algorithm>
#include <cmath>

#include "renderer/YD3D6Parser.h"
#include "renderer/YD3D6Raster.h"

struct YMapFramePath {
    // Session words for a map shown whole: the widest view distance, every
    // detail class, midsummer (the seasonal textures of day 172); the others
    // as the program's defaults.
    static void SessionWords(int32_t parameters[36])
    {
        const int32_t words[36] = {255, 1, 1, 800, 100, 2, 1, 0, 1, 0, 16, 1, 1, 1, 1, 1, 0, 1,
                                   1, 0, 1, 0, 1, 1, 1, 0, 2, 0, 0, 0, 5, 5, 0, 0, 172, 0};
        for (int i = 0; i < 36; ++i) parameters[i] = words[i];
    }

    float centre[3] = {0.0f, 0.0f, 0.0f};
    float radius = 0.0f;
    int steps = 240;  // one round

    // The circle of a set-up map: about the mean of its water cells.
    explicit YMapFramePath(YD3D6Parser& renderer)
    {
        const float cell = renderer.CellSize();
        const uint32_t columns = renderer.GridColumns(), rows = renderer.GridRows();
        double x = 0.0, z = 0.0;
        size_t wet = 0;
        for (uint32_t i = 0; i < renderer.m_cells.size(); ++i) {
            if (!renderer.m_cells[i].m_water) continue;
            x += (i % columns + 0.5) * cell;
            z += (i / columns + 0.5) * cell;
            ++wet;
        }
        const float width = float(columns) * cell, depth = float(rows) * cell;
        centre[0] = wet ? float(x / double(wet)) : width * 0.5f;
        centre[2] = wet ? float(z / double(wet)) : depth * 0.5f;
        centre[0] += renderer.m_gridOrigin[0], centre[2] += renderer.m_gridOrigin[2];
        centre[1] = renderer.GetGroundHeight(centre[0], centre[2]);
        radius = std::min(width, depth) * 0.17f;
    }

    // The renderer's clock at frame i of n: one day from 05:00, on the
    // moon's 15 March 2001.
    static void DayClock(int i, int n, YD3D6Parser& renderer)
    {
        const int seconds = (5 * 3600 + int(int64_t(i) * 86400 / std::max(n, 1))) % 86400;
        renderer.SetClock(2001, 3, 15, seconds / 3600, seconds / 60 % 60, seconds % 60);
    }

    // The renderer's clock held at a second of the day, same date.
    static void TimeClock(int seconds, YD3D6Parser& renderer)
    {
        seconds = ((seconds % 86400) + 86400) % 86400;
        renderer.SetClock(2001, 3, 15, seconds / 3600, seconds / 60 % 60, seconds % 60);
    }

    // Marks along the path: a splat every eighth of the round, a little
    // inside the circle, and footprints between them.
    void LayMarks(YD3D6Parser& renderer) const
    {
        const char* names[2] = {"textures\\decals\\splat1.ytx", "textures\\decals\\footprint1.ytx"};
        int16_t textures[2];
        for (int k = 0; k < 2; ++k) {
            const YString path = renderer.FindCatalogFile(names[k]);
            const std::string name = std::string("file;") + (path.IsEmpty() ? names[k] : path.GetBuffer());
            textures[k] = int16_t(renderer.LoadCatalogTextures(name.c_str(), 0, 1));
        }
        for (int m = 0; m < 16; ++m) {
            const int16_t texture = textures[m % 2];
            if (texture < 0) continue;
            const float a = float(m) / 16.0f * 6.2831853f + 0.3f;
            const float r = radius * 0.8f;
            const float x = centre[0] + r * std::sin(a), z = centre[2] - r * std::cos(a);
            renderer.AddTerrainDecal(texture, x, renderer.GetGroundHeight(x, z), z, DWORD(m % 4 == 1), 0, 0, -1, 0, 0, 0);
        }
    }

    // Position and angles (pitch, yaw) of step i.
    void At(int i, float position[3], float angles[2], YD3D6Parser& renderer) const
    {
        const float a = float(i % steps) / float(steps) * 6.2831853f;
        position[0] = centre[0] + radius * std::sin(a);
        position[2] = centre[2] - radius * std::cos(a);
        position[1] = renderer.GetGroundHeight(position[0], position[2]) + 16.0f * 16.0f;
        const float dx = centre[0] - position[0], dz = centre[2] - position[2];
        angles[0] = -0.25f;
        angles[1] = std::atan2(dx, dz);
    }

    // Where the tool's plane stands, render units: on the ground a third of
    // the way from the eye of step i to the centre, in view of that step.
    void ActorSpot(int i, YD3D6Parser& renderer, float position[3]) const
    {
        float eye[3], angles[2];
        At(i, eye, angles, renderer);
        position[0] = eye[0] + (centre[0] - eye[0]) * 0.35f;
        position[2] = eye[2] + (centre[2] - eye[2]) * 0.35f;
        position[1] = renderer.GetGroundHeight(position[0], position[2]);
    }

    // One frame of step i into the render surface, in the order the 3D view
    // calls the renderer.  Until the sky stage draws, the map's clear
    // colour stands behind the terrain.
    void Draw(int i, YD3D6Parser& renderer, int width, int height) const
    {
        float position[3], angles[2];
        At(i, position, angles, renderer);
        renderer.SetCameraPosition(position[0], position[1], position[2]);
        renderer.SetCameraAngles(angles[0], angles[1], 0.0f);
        renderer.SetViewRects(0, 0, width, height, 0, 0, width, height);
        renderer.SetProjection(60.0f, 60.0f, 16.0f, float(std::max(renderer.m_popUpDistance, 256)));
        renderer.ApplyView();
        if (renderer.GetRaster()) renderer.GetRaster()->ClearTarget(0xFF000000u | renderer.m_clearColour);
        renderer.BeginFrame();
        renderer.RenderFrame();
        renderer.EndFrame();
        renderer.ClearVisitedMarks();
    }
};
