// The game-side layout: the entry through which screens run console commands.
#pragma once

class YAppLayout {
public:
    // Hands one console command to the engine's interpreter.
    static void ExecuteCommand(const char* text);
};
