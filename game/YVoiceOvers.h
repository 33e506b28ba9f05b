// The voice-over events of a round.
#pragma once

class YVoiceOvers {
public:
    YVoiceOvers() = default;
    virtual ~YVoiceOvers() = default;
};
