// The music play list: five track slots, each a sound id of the sound
// manager, and the track now playing. Music plays only while "snd_music"
// is on, and every track loops.
#pragma once

class YSound;

class YJukeBox {
public:
    enum { TrackCount = 5 };

    YJukeBox();
    virtual ~YJukeBox() = default;

    // Stops, then releases every slot's buffer and empties the slot.
    virtual void Clear();
    // The slot takes the sound of the name (-1 when its file is missing),
    // whose buffer is made at once.
    virtual void SetTrack(int index, const char* name);
    virtual void Play(int index);
    virtual void Stop();
    // Stops the track but keeps it current for Resume.
    virtual void Pause();
    virtual void Resume();

    int GetCurrentTrack() const { return m_current; }
    int GetTrack(int index) const { return index >= 0 && index < TrackCount ? m_tracks[index] : -1; }

private:
    static YSound* Sound();
    static bool MusicOn();

    int m_current;  // -1 none
    int m_tracks[TrackCount];  // sound ids, -1 empty
};
