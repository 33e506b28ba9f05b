// The control verbs a pilot holds, turned into timed calls on the plane, and
// the small services many actors share: named sounds at an actor or a spot,
// settings, the weather element and a clear start place.
#pragma once

#include <cstdint>

#include "foundation/YVector.h"
#include "platform/mfc.h"
#include "world/YActiveVerb.h"

class YActor;
class YClientInfo;
class YDataCollection;
class YSMHandle;
struct WeatherElementParams;

class YGameCommands {
public:
    enum FireCode { FireFirst = 1, FireRepeat = 2, FireRelease = 3 };
    enum SoundFlag { SoundLoop = 1, SoundOnce = 2, SoundAlways = 4, SoundStopFirst = 8 };
    enum { EditorVerb = 92 };
    enum PreloadKind { PreloadSound2D = 0, PreloadSound3D = 1, PreloadModel = 2, PreloadTexture = 3 };

    YGameCommands();
    virtual ~YGameCommands();
    YGameCommands(const YGameCommands&) = delete;
    YGameCommands& operator=(const YGameCommands&) = delete;

    // A press or release of a verb by the local pilot.
    virtual void HandleVerb(int id, const char* text, int released, uint32_t clock);
    // Removes and destroys every active verb: a held key must be pressed again.
    void ClearActiveVerbs();
    // The session tick's step: fires, repeats and releases the verbs.
    virtual void RunActiveVerbs();
    virtual void Fire(YActiveVerb* verb);
    virtual void Release(YActiveVerb* verb, int code);

    virtual void PlayActorSound(YActor* actor, const char* name, float minDistance, float maxDistance, int flags);
    virtual void PlayActorSoundByIndex(int index, const char* name, float minDistance, float maxDistance, int flags);
    virtual void PlayTempSound(const YVector& position, const char* name, float minDistance, float maxDistance,
                               int flags);
    virtual void StopActorSounds(YActor* actor, const char* name);

    // Loads what a map needs, entry by entry by kind (0 2D sound, 1 3D
    // sound, 2 model, 3 texture), then the renderer's last map level.
    virtual void Preload(YDataCollection* collection);
    // "group:category:name" or "category:name" from the catalog, else a
    // model file (tried in the data folder too); shown, "Normal" (or
    // "Camera") current. Null when nothing loads.
    virtual YSMHandle* LoadModelHandle(const char* text);

    // Writes a value to the collection of the code (0 values, 1 and 2
    // settings, 4 verbs); apply tells the renderer the id.
    virtual void SetSetting(int code, int id, const char* name, const char* value, int apply);
    virtual void StartWeatherElement(const WeatherElementParams* parameters);
    virtual void StopWeatherElement();
    virtual void SetWeatherIntensity(float value);
    // Walks a growing square around the position until it is clear.
    virtual void FindClearStart(YVector& position);

    // The map editor's text "x,y,z,a,b": false, and nothing read past its
    // end, unless it holds five numbers.
    static bool ParseEditorPick(const char* text, YVector& position, YVector& second);

    CTypedPtrList<CPtrList, YActiveVerb*> m_verbs;  // owned

protected:
    // The control-verb dispatch of the pilot step.
    virtual void RunControlVerb(int id, uint32_t clock, float dt, YClientInfo* owner, const char* text, int code);
    // The map editor's placement of a pick.
    virtual void PlaceEditorPick(const YVector& position, const YVector& second);
    // After the dispatch: the editor verb in edit mode, else the plane.
    virtual void KeyHook(YActiveVerb* verb, int code);

private:
    bool IsBlocked(const YVector& position);
};
