// Plays a wave file through the sound device of the current backend:
//   play_wave FILE [3d]
// The file is read as the game reads sounds (compressed ones converted),
// played once at full volume, and the program ends when it has finished.
// With "3d" it is a 3D buffer that passes from the listener's left to its
// right. Exit status 0 when the sound played to its end.
#include <cstdio>
#include <cstring>
#include <memory>

#include "platform/win32.h"
#include "sound/YDXSound.h"
#include "sound/YDXSound3DBuffer.h"
#include "sound/YDXSound3DListener.h"

int main(int argc, char** argv)
{
    if (argc < 2) {
        fprintf(stderr, "usage: play_wave FILE [3d]\n");
        return 2;
    }
    const bool placed = argc > 2 && strcmp(argv[2], "3d") == 0;
    YDXSound device;
    if (!device.CreateEx(nullptr, 1, 22050, 16, 1)) {
        char text[64] = "";
        device.GetErrorText(text, sizeof text);
        fprintf(stderr, "play_wave: no sound device: %s", text);
        return 1;
    }
    std::unique_ptr<YDXSound3DListener> listener;
    std::unique_ptr<YDXSoundBuffer> buffer;
    if (placed) {
        listener = std::make_unique<YDXSound3DListener>(&device);
        auto sound = std::make_unique<YDXSound3DBuffer>(&device, argv[1], 1, 0x200BA);
        sound->Get3DInterface();
        sound->SetMinDistance(5, DS3D_IMMEDIATE);
        buffer = std::move(sound);
    } else {
        buffer = std::make_unique<YDXSoundBuffer>(&device, argv[1], 1, YDXSoundBuffer::kDefaultFlags);
    }
    if (!buffer->m_created) {
        fprintf(stderr, "play_wave: cannot play %s\n", argv[1]);
        return 1;
    }
    const DWORD duration = buffer->GetDuration();
    printf("%s: %lu ms\n", argv[1], static_cast<unsigned long>(duration));
    buffer->Play(0);
    const DWORD start = GetTickCount();
    while (buffer->IsPlaying()) {
        if (placed) {
            const float along = float(GetTickCount() - start) / float(duration ? duration : 1);
            static_cast<YDXSound3DBuffer*>(buffer.get())->SetPosition(-20 + 40 * along, 0, 5, DS3D_IMMEDIATE);
        }
        if (GetTickCount() - start > duration + 2000) {
            fprintf(stderr, "play_wave: the sound did not end\n");
            return 1;
        }
        Sleep(10);
    }
    Sleep(200);  // let the device play out what it holds
    return 0;
}
