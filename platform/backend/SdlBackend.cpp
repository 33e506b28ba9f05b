#include "platform/backend/SdlBackend.h"

#include "platform/backend/KeyTable.h"

#include "platform/backend/Environment.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>

namespace platform {
SdlBackend::~SdlBackend()
{
    CloseWindow();
    if (m_joysticksStarted) {
        while (!m_joysticks.empty()) CloseJoystick(m_joysticks.begin()->first);
        SDL_QuitSubSystem(SDL_INIT_JOYSTICK | SDL_INIT_HAPTIC);
    }
    if (m_videoStarted) SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

bool SdlBackend::StartVideo() const
{
    if (!m_videoStarted) m_videoStarted = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
    return m_videoStarted;
}

bool SdlBackend::OpenWindow(const char* title, int width, int height, bool fullScreen)
{
    if (m_window) CloseWindow();
    if (!StartVideo()) return false;
    StartJoysticks();
    m_width = width;
    m_height = height;
    m_window = SDL_CreateWindow(title ? title : "", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height,
                                SDL_WINDOW_SHOWN);
    if (!m_window) return false;
    m_renderer = SDL_CreateRenderer(m_window, -1, 0);
    if (!m_renderer) m_renderer = SDL_CreateRenderer(m_window, -1, SDL_RENDERER_SOFTWARE);
    if (!m_renderer) {
        CloseWindow();
        return false;
    }
    if (fullScreen) SetFullScreen(true, width, height);
    return true;
}

void SdlBackend::CloseWindow()
{
    if (m_texture) SDL_DestroyTexture(m_texture);
    if (m_renderer) SDL_DestroyRenderer(m_renderer);
    if (m_window) SetRelativeMouse(false);
    if (m_window) SDL_DestroyWindow(m_window);
    m_texture = nullptr;
    m_renderer = nullptr;
    m_window = nullptr;
    m_textureWidth = m_textureHeight = 0;
    m_fullScreen = false;
}

bool SdlBackend::SetFullScreen(bool fullScreen, int width, int height)
{
    if (width > 0 && height > 0) {
        m_width = width;
        m_height = height;
    }
    m_fullScreen = fullScreen;
    if (!m_window) return true;
    if (SDL_SetWindowFullscreen(m_window, fullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) return false;
    if (!fullScreen) SDL_SetWindowSize(m_window, m_width, m_height);
    SDL_RenderSetLogicalSize(m_renderer, m_width, m_height);
    return true;
}

bool SdlBackend::MakeTexture(int width, int height)
{
    if (m_texture && m_textureWidth == width && m_textureHeight == height) return true;
    if (m_texture) SDL_DestroyTexture(m_texture);
    m_texture = SDL_CreateTexture(m_renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, width, height);
    m_textureWidth = m_texture ? width : 0;
    m_textureHeight = m_texture ? height : 0;
    return m_texture != nullptr;
}

void SdlBackend::Present(const uint32_t* pixels, int width, int height, int pitch)
{
    if (!m_window || !pixels || width <= 0 || height <= 0) return;
    if (!MakeTexture(width, height)) return;
    SDL_UpdateTexture(m_texture, nullptr, pixels, pitch * 4);
    SDL_SetRenderDrawColor(m_renderer, 0, 0, 0, 255);
    SDL_RenderClear(m_renderer);
    SDL_RenderCopy(m_renderer, m_texture, nullptr, nullptr);
    SDL_RenderPresent(m_renderer);
    SDL_PumpEvents();
    ++m_presented;
    FramePresented();
}

int SdlBackend::DesktopBitsPerPixel() const
{
    if (Environment::Forced("bpp8")) return 8;
    SDL_DisplayMode mode;
    if (!StartVideo() || SDL_GetDesktopDisplayMode(0, &mode) != 0) return 32;
    int bits = SDL_BYTESPERPIXEL(mode.format) * 8;
    return bits == 24 ? 24 : (bits >= 32 ? 32 : bits);
}

namespace {
bool TranslateKey(SDL_Scancode code, BackendEvent& event)
{
    return KeyCodesFromScancode(static_cast<int>(code), event.key, event.scanCode);
}

int TranslateButton(Uint8 button)
{
    switch (button) {
    case SDL_BUTTON_LEFT: return 1;
    case SDL_BUTTON_RIGHT: return 2;
    case SDL_BUTTON_MIDDLE: return 3;
    default: return 0;
    }
}

// A hat's position in hundredths of a degree clockwise from up; -1 centred.
int HatAngle(Uint8 hat)
{
    switch (hat) {
    case SDL_HAT_UP: return 0;
    case SDL_HAT_RIGHTUP: return 4500;
    case SDL_HAT_RIGHT: return 9000;
    case SDL_HAT_RIGHTDOWN: return 13500;
    case SDL_HAT_DOWN: return 18000;
    case SDL_HAT_LEFTDOWN: return 22500;
    case SDL_HAT_LEFT: return 27000;
    case SDL_HAT_LEFTUP: return 31500;
    default: return -1;
    }
}

// 0..10000 levels to SDL's 0..32767, scaled by the gain.
Sint16 Level(int level, uint32_t gain)
{
    long scaled = static_cast<long>(level) * 32767 / 10000 * static_cast<long>(gain) / 10000;
    if (scaled > 32767) scaled = 32767;
    if (scaled < -32767) scaled = -32767;
    return static_cast<Sint16>(scaled);
}

Uint16 EnvelopeLevel(uint32_t level)
{
    return static_cast<Uint16>(level >= 10000 ? 32767 : level * 32767 / 10000);
}

// Microseconds to SDL's milliseconds; endless stays endless.
Uint32 Milliseconds(uint32_t microseconds)
{
    return microseconds == JoystickEffect::kEndless ? SDL_HAPTIC_INFINITY : microseconds / 1000;
}

Uint16 ShortMilliseconds(uint32_t microseconds)
{
    uint32_t ms = microseconds / 1000;
    return static_cast<Uint16>(ms > 0xFFFF ? 0xFFFF : ms);
}
}  // namespace

bool SdlBackend::StartJoysticks()
{
    if (m_joysticksStarted) return true;
    if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) != 0) return false;
    SDL_InitSubSystem(SDL_INIT_HAPTIC);  // effects are optional
    m_joysticksStarted = true;
    for (int i = 0; i < SDL_NumJoysticks(); ++i) OpenJoystickAt(i);
    return true;
}

void SdlBackend::OpenJoystickAt(int deviceIndex)
{
    SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(deviceIndex);
    if (id < 0 || m_joysticks.count(id)) return;
    SDL_Joystick* joystick = SDL_JoystickOpen(deviceIndex);
    if (!joystick) return;
    OpenJoystick& open = m_joysticks[id];
    open.joystick = joystick;
    if (SDL_JoystickIsHaptic(joystick) == SDL_TRUE) open.haptic = SDL_HapticOpenFromJoystick(joystick);
    JoystickInfo& info = open.info;
    info.id = id;
    const char* name = SDL_JoystickName(joystick);
    info.name = name ? name : "Joystick";
    info.axes = std::min(SDL_JoystickNumAxes(joystick), JoystickInfo::kMaxAxes);
    info.buttons = std::min(SDL_JoystickNumButtons(joystick), JoystickInfo::kMaxButtons);
    info.hats = std::min(SDL_JoystickNumHats(joystick), JoystickInfo::kMaxHats);
    unsigned int features = open.haptic ? SDL_HapticQuery(open.haptic) : 0;
    info.forceFeedback = (features & (SDL_HAPTIC_CONSTANT | SDL_HAPTIC_SINE)) != 0 ||
                         (open.haptic && SDL_HapticRumbleSupported(open.haptic) == SDL_TRUE) ||
                         SDL_JoystickHasRumble(joystick) == SDL_TRUE;
    if (open.haptic && SDL_HapticRumbleSupported(open.haptic) == SDL_TRUE) SDL_HapticRumbleInit(open.haptic);

    BackendEvent attached;
    attached.kind = BackendEvent::JoyAttached;
    attached.joystick = id;
    PushEvent(attached);
    // Where the axes rest before they first move.
    for (int axis = 0; axis < info.axes; ++axis) {
        BackendEvent e;
        e.kind = BackendEvent::JoyAxis;
        e.joystick = id;
        e.axis = axis;
        e.value = SDL_JoystickGetAxis(joystick, axis);
        PushEvent(e);
    }
}

void SdlBackend::CloseJoystick(int id)
{
    auto found = m_joysticks.find(id);
    if (found == m_joysticks.end()) return;
    for (auto effect = m_effects.begin(); effect != m_effects.end();) {
        if (effect->second.joystick == id) effect = m_effects.erase(effect);
        else ++effect;
    }
    if (found->second.haptic) SDL_HapticClose(found->second.haptic);  // destroys its effects
    SDL_JoystickClose(found->second.joystick);
    m_joysticks.erase(found);
}

std::vector<JoystickInfo> SdlBackend::Joysticks() const
{
    // The first enumeration may come before any window opens.
    const_cast<SdlBackend*>(this)->StartJoysticks();
    std::vector<JoystickInfo> joysticks;
    for (const auto& entry : m_joysticks) joysticks.push_back(entry.second.info);
    return joysticks;
}

int SdlBackend::PlayJoystickEffect(int joystick, const JoystickEffect& effect)
{
    auto found = m_joysticks.find(joystick);
    if (found == m_joysticks.end() || !found->second.info.forceFeedback) return 0;
    OpenJoystick& open = found->second;
    unsigned int features = open.haptic ? SDL_HapticQuery(open.haptic) : 0;
    unsigned int wanted = effect.kind == JoystickEffect::Sine ? SDL_HAPTIC_SINE : SDL_HAPTIC_CONSTANT;
    Effect played{joystick, -1};
    if (features & wanted) {
        SDL_HapticEffect h;
        SDL_memset(&h, 0, sizeof h);
        SDL_HapticDirection direction;
        SDL_memset(&direction, 0, sizeof direction);
        direction.type = SDL_HAPTIC_POLAR;
        direction.dir[0] = effect.direction;
        if (effect.kind == JoystickEffect::Sine) {
            h.type = SDL_HAPTIC_SINE;
            h.periodic.direction = direction;
            h.periodic.length = Milliseconds(effect.duration);
            h.periodic.period = std::max<Uint16>(1, ShortMilliseconds(effect.period));
            h.periodic.magnitude = Level(effect.magnitude, effect.gain);
            h.periodic.attack_length = ShortMilliseconds(effect.attackTime);
            h.periodic.attack_level = EnvelopeLevel(effect.attackLevel);
            h.periodic.fade_length = ShortMilliseconds(effect.fadeTime);
            h.periodic.fade_level = EnvelopeLevel(effect.fadeLevel);
        } else {
            h.type = SDL_HAPTIC_CONSTANT;
            h.constant.direction = direction;
            h.constant.length = Milliseconds(effect.duration);
            h.constant.level = Level(effect.magnitude, effect.gain);
            h.constant.attack_length = ShortMilliseconds(effect.attackTime);
            h.constant.attack_level = EnvelopeLevel(effect.attackLevel);
            h.constant.fade_length = ShortMilliseconds(effect.fadeTime);
            h.constant.fade_level = EnvelopeLevel(effect.fadeLevel);
        }
        played.hapticEffect = SDL_HapticNewEffect(open.haptic, &h);
        Uint32 iterations = effect.iterations == 0xFFFFFFFF ? SDL_HAPTIC_INFINITY : effect.iterations;
        if (played.hapticEffect < 0 || SDL_HapticRunEffect(open.haptic, played.hapticEffect, iterations) != 0) {
            if (played.hapticEffect >= 0) SDL_HapticDestroyEffect(open.haptic, played.hapticEffect);
            return 0;
        }
    } else {
        // Rumble: the strength of the force for as long as it lasts.
        int magnitude = effect.magnitude < 0 ? -effect.magnitude : effect.magnitude;
        float strength = magnitude / 10000.0f * effect.gain / 10000.0f;
        Uint32 length = Milliseconds(effect.duration);
        bool rumbled = false;
        if (open.haptic && SDL_HapticRumbleSupported(open.haptic) == SDL_TRUE)
            rumbled = SDL_HapticRumblePlay(open.haptic, strength, length) == 0;
        if (!rumbled) {
            Uint16 level = static_cast<Uint16>(strength * 0xFFFF);
            rumbled = SDL_JoystickRumble(open.joystick, level, level, length) == 0;
        }
        if (!rumbled) return 0;
    }
    int handle = m_nextEffect++;
    m_effects[handle] = played;
    return handle;
}

void SdlBackend::StopJoystickEffect(int joystick, int handle)
{
    auto effect = m_effects.find(handle);
    if (effect == m_effects.end() || effect->second.joystick != joystick) return;
    auto found = m_joysticks.find(joystick);
    if (found != m_joysticks.end()) {
        OpenJoystick& open = found->second;
        if (effect->second.hapticEffect >= 0) {
            SDL_HapticStopEffect(open.haptic, effect->second.hapticEffect);
            SDL_HapticDestroyEffect(open.haptic, effect->second.hapticEffect);
        } else if (open.haptic && SDL_HapticRumbleSupported(open.haptic) == SDL_TRUE) {
            SDL_HapticRumbleStop(open.haptic);
        } else {
            SDL_JoystickRumble(open.joystick, 0, 0, 0);
        }
    }
    m_effects.erase(effect);
}

bool SdlBackend::PollEvent(BackendEvent& event)
{
    if (Backend::PollEvent(event)) return true;
    if (!m_videoStarted && !m_joysticksStarted) return false;
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        event = BackendEvent();
        switch (e.type) {
        case SDL_QUIT: event.kind = BackendEvent::Close; return true;
        case SDL_WINDOWEVENT:
            if (e.window.event == SDL_WINDOWEVENT_CLOSE) event.kind = BackendEvent::Close;
            else if (e.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) event.kind = BackendEvent::FocusGained;
            else if (e.window.event == SDL_WINDOWEVENT_FOCUS_LOST) event.kind = BackendEvent::FocusLost;
            else break;
            return true;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            if (!TranslateKey(e.key.keysym.scancode, event)) break;
            event.kind = e.type == SDL_KEYDOWN ? BackendEvent::KeyDown : BackendEvent::KeyUp;
            event.repeat = e.key.repeat ? 1 : 0;
            return true;
        case SDL_TEXTINPUT:
            if (static_cast<unsigned char>(e.text.text[0]) >= 0x80 || !e.text.text[0]) break;
            event.kind = BackendEvent::Text;
            event.text[0] = e.text.text[0];
            return true;
        case SDL_MOUSEMOTION:
            event.kind = BackendEvent::MouseMove;
            event.x = e.motion.x;
            event.y = e.motion.y;
            event.dx = e.motion.xrel;
            event.dy = e.motion.yrel;
            return true;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            event.button = TranslateButton(e.button.button);
            if (!event.button) break;
            event.kind = e.type == SDL_MOUSEBUTTONDOWN ? BackendEvent::MouseDown : BackendEvent::MouseUp;
            event.x = e.button.x;
            event.y = e.button.y;
            return true;
        case SDL_MOUSEWHEEL:
            event.kind = BackendEvent::Wheel;
            // Natural scrolling flips the values: a notch away from the user stays positive.
            event.wheel = e.wheel.y * 120 * (e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -1 : 1);
            SDL_GetMouseState(&event.x, &event.y);
            return true;
        case SDL_JOYDEVICEADDED:
            OpenJoystickAt(e.jdevice.which);  // queues the attachment and the axes
            if (Backend::PollEvent(event)) return true;
            break;
        case SDL_JOYDEVICEREMOVED:
            if (!m_joysticks.count(e.jdevice.which)) break;
            CloseJoystick(e.jdevice.which);
            event.kind = BackendEvent::JoyDetached;
            event.joystick = e.jdevice.which;
            return true;
        case SDL_JOYAXISMOTION:
            if (e.jaxis.axis >= JoystickInfo::kMaxAxes) break;
            event.kind = BackendEvent::JoyAxis;
            event.joystick = e.jaxis.which;
            event.axis = e.jaxis.axis;
            event.value = e.jaxis.value;
            return true;
        case SDL_JOYBUTTONDOWN:
        case SDL_JOYBUTTONUP:
            if (e.jbutton.button >= JoystickInfo::kMaxButtons) break;
            event.kind = e.type == SDL_JOYBUTTONDOWN ? BackendEvent::JoyButtonDown : BackendEvent::JoyButtonUp;
            event.joystick = e.jbutton.which;
            event.value = e.jbutton.button;
            return true;
        case SDL_JOYHATMOTION:
            if (e.jhat.hat >= JoystickInfo::kMaxHats) break;
            event.kind = BackendEvent::JoyHat;
            event.joystick = e.jhat.which;
            event.axis = e.jhat.hat;
            event.value = HatAngle(e.jhat.value);
            return true;
        default: break;
        }
    }
    return false;
}

bool SdlBackend::WaitEvent(int milliseconds)
{
    if (Backend::WaitEvent(milliseconds)) return true;
    if (!m_videoStarted) return false;
    return SDL_WaitEventTimeout(nullptr, milliseconds) != 0;
}

void SdlBackend::SetTitle(const char* title)
{
    if (m_window) SDL_SetWindowTitle(m_window, title ? title : "");
}

void SdlBackend::SetIcon(const uint32_t* pixels, int width, int height)
{
    if (!m_window || !pixels) return;
    SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(pixels), width, height, 32,
                                                           width * 4, SDL_PIXELFORMAT_ARGB8888);
    if (!icon) return;
    SDL_SetWindowIcon(m_window, icon);
    SDL_FreeSurface(icon);
}

void SdlBackend::SetWindowSize(int width, int height)
{
    m_width = width;
    m_height = height;
    if (m_window && !m_fullScreen) SDL_SetWindowSize(m_window, width, height);
}

void SdlBackend::ShowMessageBox(const char* caption, const char* text)
{
    std::fprintf(stderr, "%s\n", text ? text : "");
    if (StartVideo()) SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, caption ? caption : "", text ? text : "", m_window);
}

void SdlBackend::ConfineMouse(bool confine)
{
    if (m_window) SDL_SetWindowGrab(m_window, confine ? SDL_TRUE : SDL_FALSE);
}

void SdlBackend::SetRelativeMouse(bool relative)
{
    // SDL hides the cursor itself while the mode is on.
    if (m_videoStarted && (m_window || !relative)) SDL_SetRelativeMouseMode(relative ? SDL_TRUE : SDL_FALSE);
}

int SdlBackend::DesktopWidth() const
{
    return m_width;
}

int SdlBackend::DesktopHeight() const
{
    return m_height;
}
}  // namespace platform
